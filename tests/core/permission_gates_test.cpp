#include <gtest/gtest.h>

#include "tests/doubles/controller_rig.h"
#include "tests/doubles/window_entries.h"

namespace tallowin {
namespace {

using doubles::windowEntry;

class PermissionGatesTest : public ::testing::Test {
protected:
    doubles::ControllerRig rig;

    void SetUp() override {
        rig.windowList.list = platform::WindowList{windowEntry({.number = 7, .name = "Doc", .owner = "Pages"})};
    }
    std::size_t snapshots() const { return rig.windowList.calls.size(); }
    std::vector<std::int64_t> firingTimes(std::size_t timer) const {
        std::vector<std::int64_t> times;
        for (const auto& [at, which] : rig.timers.firings) {
            if (which == timer) {
                times.push_back(at);
            }
        }
        return times;
    }
};

TEST_F(PermissionGatesTest, ResolutionPresetsWhateverTheGatesDecide) {
    for (const bool screenRecording : {true, false}) {
        doubles::ControllerRig fresh;
        fresh.screenCapture.preflightAnswer = false;
        fresh.screenCapture.requestAnswer = screenRecording;
        fresh.vc().viewDidLoad();
        EXPECT_EQ(fresh.resolutionComboBox->rows(), (std::vector<std::string>{"1920x1080", "1280x720"}));
        EXPECT_EQ(fresh.resolutionComboBox->addCalls, 1);
        EXPECT_EQ(fresh.resolutionComboBox->objectValueOfSelectedItem(), "1920x1080");
    }
}

TEST_F(PermissionGatesTest, ScreenRecordingAlreadyGrantedPrintsNothing) {
    rig.vc().viewDidLoad();
    EXPECT_EQ(rig.screenCapture.requestCalls, 0);
    EXPECT_TRUE(rig.output.lines.empty());
    EXPECT_EQ(rig.accessibility.trustPrompts, (std::vector<bool>{true}));
}

TEST_F(PermissionGatesTest, ScreenRecordingGrantedOnRequest) {
    rig.screenCapture.preflightAnswer = false;
    rig.vc().viewDidLoad();
    EXPECT_EQ(rig.output.lines, (std::vector<std::string>{"Screen recording granted, thank you."}));
    EXPECT_EQ(rig.accessibility.trustPrompts, (std::vector<bool>{true}));
    EXPECT_EQ(rig.message->text(), "");
}

TEST_F(PermissionGatesTest, ScreenRecordingRefusedIsFinal) {
    rig.screenCapture.preflightAnswer = false;
    rig.screenCapture.requestAnswer = false;
    rig.vc().viewDidLoad();
    EXPECT_EQ(rig.output.lines, (std::vector<std::string>{"Not granted! Bye-bye..."}));
    EXPECT_EQ(rig.message->text(), "Screen Recording Permission not granted");
    EXPECT_TRUE(rig.accessibility.trustPrompts.empty());
    EXPECT_EQ(rig.timers.timers().size(), 0U);
    rig.timers.advanceSeconds(60);
    EXPECT_EQ(snapshots(), 0U);
    EXPECT_TRUE(rig.windowListComboBox->rows().empty());
    EXPECT_EQ(rig.screenCapture.requestCalls, 1);
    rig.vc().viewDidDisappear();
}

TEST_F(PermissionGatesTest, TrustedAtStartFillsAtOnceThenEveryFiveSeconds) {
    rig.vc().viewDidLoad();
    EXPECT_EQ(rig.message->text(), "");
    EXPECT_EQ(rig.message->writes, 1);
    EXPECT_EQ(snapshots(), 1U);
    EXPECT_EQ(rig.windowListComboBox->rows(), (std::vector<std::string>{"Doc - Pages"}));
    ASSERT_EQ(rig.timers.timers().size(), 1U);
    EXPECT_EQ(rig.timers.timers()[0]->intervalSeconds, 5.0);

    rig.timers.advanceSeconds(15);
    EXPECT_EQ(firingTimes(0), (std::vector<std::int64_t>{5000, 10000, 15000}));
    EXPECT_EQ(snapshots(), 4U);
    EXPECT_EQ(rig.accessibility.trustPrompts, (std::vector<bool>{true})) << "the refresh tests no permission";
}

TEST_F(PermissionGatesTest, AccessibilityGrantedTwelveSecondsAfterStart) {
    rig.accessibility.trusted = false;
    rig.vc().viewDidLoad();
    EXPECT_EQ(rig.message->text(), "Accessibility Permission not granted");
    EXPECT_EQ(snapshots(), 0U);

    rig.timers.advanceSeconds(12);
    EXPECT_EQ(firingTimes(0), (std::vector<std::int64_t>{5000, 10000}));
    EXPECT_EQ(rig.message->text(), "Accessibility Permission not granted");
    EXPECT_EQ(rig.message->writes, 1);
    EXPECT_EQ(snapshots(), 0U);

    rig.accessibility.trusted = true;
    rig.timers.advanceSeconds(3);  // the poll at 15 s
    EXPECT_EQ(rig.message->text(), "");
    EXPECT_EQ(snapshots(), 1U);
    EXPECT_EQ(rig.windowListComboBox->rows(), (std::vector<std::string>{"Doc - Pages"}));
    EXPECT_FALSE(rig.timers.timers()[0]->valid) << "the poll stops";
    ASSERT_EQ(rig.timers.timers().size(), 2U);

    rig.timers.advanceSeconds(10);
    EXPECT_EQ(firingTimes(0), (std::vector<std::int64_t>{5000, 10000, 15000}));
    EXPECT_EQ(firingTimes(1), (std::vector<std::int64_t>{20000, 25000}));
    EXPECT_EQ(snapshots(), 3U);
    // Only the first check may prompt.
    EXPECT_EQ(rig.accessibility.trustPrompts, (std::vector<bool>{true, false, false, false}));
}

TEST_F(PermissionGatesTest, DisappearingStopsTheRefreshForGood) {
    rig.vc().viewDidLoad();
    rig.vc().viewDidDisappear();
    rig.timers.advanceSeconds(30);
    EXPECT_EQ(snapshots(), 1U);
    EXPECT_EQ(rig.timers.liveTimers(), 0);
}

TEST_F(PermissionGatesTest, DisappearingWhilePollingLeavesThePollRunning) {
    rig.accessibility.trusted = false;
    rig.vc().viewDidLoad();
    rig.vc().viewDidDisappear();
    rig.timers.advanceSeconds(5);
    EXPECT_EQ(rig.accessibility.trustPrompts.size(), 2U);

    rig.accessibility.trusted = true;
    rig.timers.advanceSeconds(5);
    EXPECT_EQ(snapshots(), 1U);
    rig.timers.advanceSeconds(5);
    EXPECT_EQ(snapshots(), 2U) << "the refresh starts all the same";
}

TEST_F(PermissionGatesTest, DestroyingTheControllerStopsItsTimers) {
    rig.accessibility.trusted = false;
    rig.vc().viewDidLoad();
    EXPECT_EQ(rig.timers.liveTimers(), 1);
    rig.controller.reset();
    EXPECT_EQ(rig.timers.liveTimers(), 0);
    rig.timers.advanceSeconds(20);  // would call into a freed controller
    EXPECT_TRUE(rig.timers.firings.empty());
}

TEST_F(PermissionGatesTest, FailedSnapshotKeepsTheRefreshGoing) {
    rig.vc().viewDidLoad();
    rig.windowList.list.reset();
    rig.timers.advanceSeconds(10);
    EXPECT_EQ(rig.windowListComboBox->rows(), (std::vector<std::string>{"Doc - Pages"}));
    EXPECT_EQ(rig.windowListComboBox->removeCalls, 3) << "the same list is shown again on every tick";
}

}  // namespace
}  // namespace tallowin
