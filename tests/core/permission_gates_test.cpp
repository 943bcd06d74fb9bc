#include <gtest/gtest.h>

#include "tests/doubles/doubles.h"

namespace tallowin {
namespace {

using Lines = std::vector<std::string>;

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

TEST(PermissionGates, PollWithoutPromptUntilTrustedThenRefreshEveryFiveSecondsUntilTheViewDisappears) {
    doubles::ControllerRig rig;
    rig.windowList.list = {doubles::windowEntry({.name = "Doc", .owner = "Pages"})};
    const auto snapshots = [&rig] { return rig.windowList.calls.size(); };
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
