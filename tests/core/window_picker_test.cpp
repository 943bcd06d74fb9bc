#include <gtest/gtest.h>

#include "tests/doubles/controller_rig.h"
#include "tests/doubles/window_entries.h"

namespace tallowin {
namespace {

using doubles::windowEntry;

class WindowPickerTest : public ::testing::Test {
protected:
    doubles::ControllerRig rig;

    // Windows given as (number, owner); each owner is its whole title.
    void refreshWith(std::vector<std::pair<std::int64_t, std::string>> windows) {
        platform::WindowList list;
        for (auto& [number, owner] : windows) {
            list.push_back(windowEntry({.number = number, .name = std::nullopt, .owner = owner}));
        }
        rig.windowList.list = std::move(list);
        rig.vc().fetchAndUpdateWindows();
    }
    std::ptrdiff_t selectedRow() { return rig.windowListComboBox->indexOfSelectedItem(); }
    void userPicks(std::ptrdiff_t row) {
        rig.windowListComboBox->userSelects(row);
        rig.vc().windowSelectionChanged(*rig.windowListComboBox);
    }
};

TEST_F(WindowPickerTest, StartsEmpty) {
    EXPECT_TRUE(rig.vc().visibleWindows().empty());
    EXPECT_EQ(rig.vc().selectedWindowId(), std::nullopt);
    EXPECT_EQ(rig.vc().menubarHeight(), 24);
}

TEST_F(WindowPickerTest, FirstFillSelectsRowZero) {
    refreshWith({{11, "W1"}, {12, "W2"}, {13, "W3"}});
    EXPECT_EQ(rig.windowListComboBox->rows(), (std::vector<std::string>{"W1", "W2", "W3"}));
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(rig.vc().selectedWindowId(), 11U);
}

TEST_F(WindowPickerTest, PickFollowsTheWindowWhenRowsMove) {
    refreshWith({{11, "W1"}, {12, "W2"}, {13, "W3"}});
    userPicks(2);
    EXPECT_EQ(rig.vc().selectedWindowId(), 13U);
    refreshWith({{13, "A3"}, {11, "W1"}, {12, "W2"}});
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(rig.vc().selectedWindowId(), 13U);
}

TEST_F(WindowPickerTest, VanishedPickFallsBackToRowZero) {
    refreshWith({{11, "W1"}, {12, "W2"}, {13, "W3"}});
    userPicks(2);
    refreshWith({{11, "W1"}, {12, "W2"}});
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(rig.vc().selectedWindowId(), 11U);
}

TEST_F(WindowPickerTest, EmptyRefreshClearsTheChoiceUntilWindowsReturn) {
    refreshWith({{11, "W1"}});
    refreshWith({});
    EXPECT_TRUE(rig.windowListComboBox->rows().empty());
    EXPECT_EQ(selectedRow(), -1);
    EXPECT_EQ(rig.vc().selectedWindowId(), std::nullopt);
    refreshWith({{12, "W2"}, {13, "W3"}});
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(rig.vc().selectedWindowId(), 12U);
}

TEST_F(WindowPickerTest, SameTitlesAreToldApartByWindowNumber) {
    refreshWith({{21, "Untitled"}, {22, "Untitled"}});
    EXPECT_EQ(rig.windowListComboBox->rows(), (std::vector<std::string>{"Untitled", "Untitled"}));
    userPicks(1);
    refreshWith({{23, "Untitled"}, {21, "Untitled"}, {22, "Untitled"}});
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_EQ(rig.vc().selectedWindowId(), 22U);
}

TEST_F(WindowPickerTest, EmptyTitlesAreRowsToo) {
    refreshWith({{31, ""}, {32, "B"}});
    EXPECT_EQ(rig.windowListComboBox->rows(), (std::vector<std::string>{"", "B"}));
}

TEST_F(WindowPickerTest, NoRowSelectedChangesNothing) {
    refreshWith({{11, "W1"}, {12, "W2"}});
    userPicks(1);
    userPicks(-1);
    EXPECT_EQ(rig.vc().selectedWindowId(), 12U);
}

TEST_F(WindowPickerTest, RowBeyondTheListIsIgnored) {
    refreshWith({{11, "W1"}});
    userPicks(5);
    EXPECT_EQ(rig.vc().selectedWindowId(), 11U);
}

TEST_F(WindowPickerTest, EachRefillIsOneClearAndOneAppend) {
    refreshWith({{11, "W1"}, {12, "W2"}});
    refreshWith({{11, "W1"}});
    EXPECT_EQ(rig.windowListComboBox->removeCalls, 2);
    EXPECT_EQ(rig.windowListComboBox->addCalls, 2);
    EXPECT_EQ(rig.windowListComboBox->rows(), (std::vector<std::string>{"W1"}));
}

TEST_F(WindowPickerTest, DisconnectedOutletsAreSkipped) {
    rig.windowListComboBox.reset();
    rig.resolutionComboBox.reset();
    rig.message.reset();
    rig.vc().viewDidLoad();
    refreshWith({{11, "W1"}});
    EXPECT_EQ(rig.vc().windowListComboBox(), nullptr);
    EXPECT_EQ(rig.vc().visibleWindows().size(), 1U);
}

}  // namespace
}  // namespace tallowin
