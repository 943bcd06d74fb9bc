#include <gtest/gtest.h>

#include "tests/doubles/doubles.h"

namespace tallowin {
namespace {

using doubles::windowEntry;
using Lines = std::vector<std::string>;

platform::Value menubar(double height) {
    return windowEntry({.name = "Menubar", .owner = "Window Server", .x = 0, .y = 0, .width = 1440, .height = height});
}

class RefreshTest : public ::testing::Test {
protected:
    doubles::ControllerRig rig;

    // Windows given as (number, owner); each owner is its whole title.
    void refreshWith(const std::vector<std::pair<std::int64_t, std::string>>& windows) {
        std::vector<doubles::WindowEntry> entries;
        for (const auto& [number, owner] : windows) {
            entries.push_back({.number = number, .name = std::nullopt, .owner = owner});
        }
        rig.windowList.list = doubles::windowList(entries);
        rig.controller.fetchAndUpdateWindows();
    }
    void userPicks(std::ptrdiff_t row) {
        rig.windowListComboBox->selected = row;
        rig.controller.windowSelectionChanged(*rig.windowListComboBox);
    }
    void expectShown(const Lines& rows, std::ptrdiff_t row, std::optional<std::uint32_t> id) {
        EXPECT_EQ(rig.windowListComboBox->rows, rows);
        EXPECT_EQ(rig.windowListComboBox->indexOfSelectedItem(), row);
        EXPECT_EQ(rig.controller.selectedWindowId(), id);
    }
};

TEST_F(RefreshTest, ProbeSeesTheWholeSnapshotBeforeTheListIsReplaced) {
    std::vector<std::size_t> listedAtEachLine;
    rig.output.onLine = [&] { listedAtEachLine.push_back(rig.controller.visibleWindows().size()); };
    rig.windowList.list = {menubar(30), windowEntry({.number = 1})};
    rig.controller.fetchVisibleWindows();
    rig.windowList.list = {windowEntry({.number = 1}), windowEntry({.number = 2}), menubar(30)};
    rig.controller.fetchVisibleWindows();
    EXPECT_EQ(listedAtEachLine, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(rig.controller.visibleWindows().size(), 2U);
    EXPECT_EQ(rig.controller.menubarHeight(), 30);
    ASSERT_EQ(rig.windowList.calls.size(), 2U);
    EXPECT_EQ(rig.windowList.calls[1], (std::pair<platform::WindowListOption, std::uint32_t>{17, 0}));
}

TEST_F(RefreshTest, NoListOrANonDictionaryElementChangesNothing) {
    EXPECT_EQ(rig.controller.menubarHeight(), 24);
    rig.windowList.list = {menubar(30), windowEntry({.number = 1, .owner = "Mail"})};
    rig.controller.fetchAndUpdateWindows();
    for (auto& broken :
         {std::optional<platform::WindowList>(),
          std::optional<platform::WindowList>({menubar(40), windowEntry({.number = 2}), platform::Value::text("")})}) {
        rig.windowList.list = broken;
        rig.controller.fetchAndUpdateWindows();
        EXPECT_EQ(rig.output.lines, (Lines{"Menubar height updated to: 30 pixels."}));
        EXPECT_EQ(rig.controller.menubarHeight(), 30);
        expectShown({"Window - Mail"}, 0, 1U);
    }
}

TEST_F(RefreshTest, ThePickFollowsTheFirstEntryOfItsWindowElseRowZero) {
    refreshWith({{11, "W1"}, {12, "W2"}, {13, "W3"}});
    expectShown({"W1", "W2", "W3"}, 0, 11U);
    userPicks(2);
    userPicks(-1);
    userPicks(5);
    EXPECT_EQ(rig.controller.selectedWindowId(), 13U);
    refreshWith({{13, "A3"}, {11, "W1"}, {12, "W2"}});
    expectShown({"A3", "W1", "W2"}, 0, 13U);
    refreshWith({{20, "K0"}, {13, "K1"}, {13, "K2"}});
    expectShown({"K0", "K1", "K2"}, 1, 13U);
    userPicks(0);
    EXPECT_EQ(rig.controller.selectedWindowId(), 20U);
    refreshWith({{11, "W1"}, {12, ""}});
    expectShown({"", "W1"}, 0, 12U);
    refreshWith({});
    expectShown({}, -1, std::nullopt);
    refreshWith({{14, "W4"}});
    expectShown({"W4"}, 0, 14U);
    EXPECT_EQ(rig.windowListComboBox->addCalls, 6) << "all titles in one call";
}

TEST_F(RefreshTest, DisconnectedOutletsAreSkipped) {
    rig.windowListComboBox.reset();
    rig.resolutionComboBox.reset();
    rig.message.reset();
    rig.windowList.list = {windowEntry({})};
    rig.controller.viewDidLoad();
    rig.controller.handlePlaceButtonClick();
    EXPECT_EQ(rig.controller.visibleWindows().size(), 1U);
    EXPECT_EQ(rig.output.lines, (Lines{"No selection."}));
}

TEST(PermissionGates, WhatTheStartDecides) {
    const Lines shown = {"Doc - Pages"};
    const struct {
        bool preflight, request, trusted;
        Lines lines;
        const char* message;
        std::vector<bool> prompts;
        Lines rows;
    } cases[] = {
        {true, false, true, {}, "", {true}, shown},
        {false, true, true, {"Screen recording granted, thank you."}, "", {true}, shown},
        {false, false, true, {"Not granted! Bye-bye..."}, "Screen Recording Permission not granted", {}, {}},
        {true, true, false, {}, "Accessibility Permission not granted", {true}, {}},
    };
    for (const auto& c : cases) {
        doubles::ControllerRig rig;
        rig.windowList.list = platform::WindowList{doubles::windowEntry({.name = "Doc", .owner = "Pages"})};
        rig.screenCapture.preflightAnswer = c.preflight;
        rig.screenCapture.requestAnswer = c.request;
        rig.accessibility.trusted = c.trusted;
        rig.controller.viewDidLoad();
        EXPECT_EQ(rig.resolutionComboBox->rows, (Lines{"1920x1080", "1280x720"}));
        EXPECT_EQ(rig.resolutionComboBox->addCalls, 1);
        EXPECT_EQ(rig.resolutionComboBox->indexOfSelectedItem(), 0);
        EXPECT_EQ(rig.output.lines, c.lines);
        EXPECT_EQ(rig.message->text, c.message);
        EXPECT_EQ(rig.accessibility.trustPrompts, c.prompts);
        EXPECT_EQ(rig.windowListComboBox->rows, c.rows);
        EXPECT_EQ(rig.windowList.calls.size(), c.rows.size()) << "one snapshot when trusted, none otherwise";
        EXPECT_EQ(rig.timers.liveTimers(), c.prompts.empty() ? 0 : 1);
    }
}

TEST_F(RefreshTest, PollWithoutPromptUntilTrustedThenEveryFiveSecondsUntilTheViewDisappears) {
    rig.windowList.list = {doubles::windowEntry({.name = "Doc", .owner = "Pages"})};
    const auto snapshots = [this] { return rig.windowList.calls.size(); };
    rig.accessibility.trusted = false;
    rig.controller.viewDidLoad();
    rig.timers.advanceSeconds(12);
    EXPECT_EQ(rig.message->text, "Accessibility Permission not granted");
    EXPECT_EQ(snapshots(), 0U);

    rig.controller.viewDidDisappear();  // stops only the refresh, which has not started
    rig.accessibility.trusted = true;
    rig.timers.advanceSeconds(3);  // the poll at 15 s
    EXPECT_EQ(rig.message->text, "");
    EXPECT_EQ(rig.windowListComboBox->rows, (Lines{"Doc - Pages"}));
    EXPECT_EQ(snapshots(), 1U);
    EXPECT_EQ(rig.timers.liveTimers(), 1) << "the poll stops";

    rig.timers.advanceMs(9999);
    EXPECT_EQ(snapshots(), 2U);
    rig.timers.advanceMs(1);
    EXPECT_EQ(snapshots(), 3U);
    rig.controller.viewDidDisappear();
    rig.timers.advanceSeconds(30);
    EXPECT_EQ(snapshots(), 3U);
    EXPECT_EQ(rig.accessibility.trustPrompts, (std::vector<bool>{true, false, false, false}))
        << "the refresh asks for no permission";
}

}  // namespace
}  // namespace tallowin
