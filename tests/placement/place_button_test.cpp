#include <gtest/gtest.h>

#include "tests/placement/placement_rig.h"

namespace tallowin {
namespace {

class PlaceButtonTest : public ::testing::Test {
protected:
    testing::PlacementRig rig;

    void SetUp() override {
        rig.resolutionComboBox->addItemsWithObjectValues({"1920x1080", "1280x720"});
        rig.resolutionComboBox->selectItemAtIndex(0);
        rig.message->setStringValue("before");
        rig.accessibility.applications[testing::PlacementRig::kPid].windows = {testing::PlacementRig::matchingWindow()};
    }
    void resolutionRow(std::string text) {
        rig.resolutionComboBox->removeAllItems();
        rig.resolutionComboBox->addItemsWithObjectValues({std::move(text)});
        rig.resolutionComboBox->selectItemAtIndex(0);
    }
    void expectNothingPlaced(const std::string& line) {
        EXPECT_EQ(rig.output.lines, (std::vector<std::string>{line}));
        EXPECT_EQ(rig.accessibility.isProcessTrustedCalls, 0) << "placeWindow must not run";
        EXPECT_EQ(rig.accessibility.elementsCreated(), 0);
        EXPECT_EQ(rig.message->text(), "before");
        EXPECT_EQ(rig.vc().selectedWindowId(), 7U);
    }
};

TEST_F(PlaceButtonTest, NoWindowSelected) {
    rig.windowListComboBox->userSelects(-1);
    rig.vc().handlePlaceButtonClick();
    expectNothingPlaced("No selection.");
}

TEST_F(PlaceButtonTest, EmptyWindowListIsNoSelectionWhateverTheResolution) {
    rig.windowList.list = platform::WindowList{};
    rig.vc().fetchAndUpdateWindows();
    resolutionRow("garbage");
    rig.vc().handlePlaceButtonClick();
    EXPECT_EQ(rig.output.lines, (std::vector<std::string>{"No selection."}));
}

TEST_F(PlaceButtonTest, RowBeyondTheListIsNoSelection) {
    rig.windowListComboBox->addItemsWithObjectValues({"stray row"});
    rig.windowListComboBox->userSelects(1);
    rig.vc().handlePlaceButtonClick();
    expectNothingPlaced("No selection.");
}

TEST_F(PlaceButtonTest, NoResolutionSelected) {
    rig.resolutionComboBox->userSelects(-1);
    rig.vc().handlePlaceButtonClick();
    expectNothingPlaced("Invalid selection or value.");
}

TEST_F(PlaceButtonTest, ResolutionThatDoesNotParse) {
    for (const char* text : {"1920X1080", " 1920x1080", "1920", "", "9223372036854775808x1"}) {
        rig.output.lines.clear();
        resolutionRow(text);
        rig.vc().handlePlaceButtonClick();
        expectNothingPlaced("Resolution parsing error.");
    }
}

TEST_F(PlaceButtonTest, ChosenRowAndResolutionArePlaced) {
    rig.resolutionComboBox->selectItemAtIndex(1);
    rig.vc().handlePlaceButtonClick();
    const auto& window = rig.accessibility.applications[testing::PlacementRig::kPid].windows[0];
    EXPECT_EQ(window.sizesSet, (std::vector<std::pair<double, double>>{{1280.0, 720.0}}));
    const auto& stored = rig.preferences.stored["com.apple.screencapture"]["last-selection"];
    EXPECT_EQ(stored, (platform::IntegerDictionary{{"X", 0}, {"Y", 24}, {"Width", 1280}, {"Height", 720}}));
    EXPECT_EQ(rig.message->text(), "before");
    rig.expectAllReleased();
}

TEST_F(PlaceButtonTest, RecordIsTakenAtTheSelectedRow) {
    rig.windowList.list =
        platform::WindowList{doubles::windowEntry({.number = 8, .pid = 43, .name = "Alpha", .owner = "A"}),
                             doubles::windowEntry({.number = 7,
                                                   .pid = 42,
                                                   .name = "Report",
                                                   .owner = "Editor",
                                                   .x = 10,
                                                   .y = 40,
                                                   .width = 800,
                                                   .height = 600})};
    rig.vc().fetchAndUpdateWindows();
    rig.windowListComboBox->userSelects(1);
    rig.vc().handlePlaceButtonClick();
    EXPECT_EQ(rig.accessibility.applications[42].windows[0].raises, 1);
    EXPECT_EQ(rig.accessibility.applications.count(43), 0U);
}

}  // namespace
}  // namespace tallowin
