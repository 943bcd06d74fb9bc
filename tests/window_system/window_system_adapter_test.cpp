#include <gtest/gtest.h>

#include "platform/number_text.h"
#include "tests/doubles/doubles.h"

namespace tallowin {
namespace {

using platform::WindowOutcome;
using Lines = std::vector<std::string>;

// Answers from a script, logs every request, and says "no" in its own words
// before each failure.
struct ScriptedWindowSystem final : platform::WindowSystem {
    ScriptedWindowSystem(doubles::CallLog& into, platform::LineOutput& lines) : log(into), status(lines) {}
    std::optional<platform::WindowSystemSnapshot> snapshot() override {
        log.push_back("snapshot");
        return seen;
    }
    WindowOutcome setFrame(std::uint32_t window, const platform::WindowFrame& frame) override {
        using platform::formatDouble;
        log.push_back("setFrame " + std::to_string(window) + " " + formatDouble(frame.x) + "," + formatDouble(frame.y) +
                      " " + formatDouble(frame.width) + "x" + formatDouble(frame.height));
        const WindowOutcome outcome = answer();
        for (auto& each : seen->windows) {
            if (each.id == window && outcome == WindowOutcome::done) each.frame = frame;
        }
        return outcome;
    }
    WindowOutcome raise(std::uint32_t window) override {
        log.push_back("raise " + std::to_string(window));
        return answer();
    }
    WindowOutcome answer() {
        const WindowOutcome outcome = next < outcomes.size() ? outcomes[next++] : WindowOutcome::done;
        if (outcome != WindowOutcome::done) status.writeLine("window system: no");
        stuck = stuck || outcome == WindowOutcome::notExact;
        return outcome;
    }
    std::string shortfall(std::uint32_t /*window*/) override { return stuck ? "it would not" : ""; }
    doubles::CallLog& log;
    platform::LineOutput& status;
    // A too transparent "Alpha" (pid 43) in front of "Report" (pid 42, id 7,
    // then a twin at x 5), below a 30 pixel bar.
    std::optional<platform::WindowSystemSnapshot> seen = platform::WindowSystemSnapshot{
        {{.id = 8, .pid = 43, .title = "Alpha", .owner = "Apps", .frame = {0, 30, 600, 400}, .opacity = 0.4},
         {.id = 7, .pid = 42, .title = "Report", .owner = "Editor", .frame = {10, 40, 800, 600}, .opacity = {}},
         {.id = 9, .pid = 42, .title = "Report", .owner = "Editor", .frame = {5, 40, 800, 600}, .opacity = {}}},
        {0, 30, 2560, 1410}};
    std::vector<WindowOutcome> outcomes;  // of the requests in turn; done once used up
    std::size_t next = 0;
    bool stuck = false;
};

// The pointer is set while the rig is made, so it lives in a base made first.
struct Made {
    ScriptedWindowSystem* system = nullptr;
};
struct Rig : Made, doubles::WindowSystemRig {
    Rig()
        : WindowSystemRig([this](platform::LineOutput& status) {
              auto made = std::make_unique<ScriptedWindowSystem>(log, status);
              system = made.get();
              return made;
          }) {
        resolutions->selected = 1;
    }
};

TEST(WindowSystemAdapter, APlaceGoesThroughTheWindowSystemInTheCoresOrder) {
    Rig rig;
    EXPECT_EQ(rig.windows->rows, (Lines{"Report - Editor", "Report - Editor"}));
    EXPECT_EQ(rig.output.lines, (Lines{"Menubar height updated to: 30 pixels."}));
    EXPECT_FALSE(rig.provider->windowList().copyWindowInfo(2, 0));  // ordering options: no list, not a wrong one
    EXPECT_EQ(rig.provider->windowList().copyWindowInfo(platform::kWindowListOptionIncludingWindow, 9)->size(), 1U);
    rig.place("Report - Editor");
    EXPECT_EQ(
        rig.log,
        (Lines{"snapshot", "out: Window title: Report", "out: x=10.0 y=40.0", "out: w.x=10.0 w.y=40.0",
               "out: width=800.0 height=600.0",
               // (0, 0) is the area's origin; the size step keeps the new position.
               "setFrame 7 0.0,30.0 800.0x600.0", "snapshot", "setFrame 7 0.0,30.0 1280.0x720.0", "snapshot",
               "prefs set: com.apple.screencapture last-selection X=0 Y=30 Width=1280 Height=720",
               "prefs set: com.apple.screencapture last-selection-display 0",
               "prefs synchronize: com.apple.screencapture", "raise 7", "out: Window successfully brought to front.",
               "miniaturize", "out: Main window minimized", "open: /System/Applications/Utilities/Screenshot.app"}));
}

TEST(WindowSystemAdapter, EachOutcomeIsTheCoresFailureLineAfterTheWindowSystemsOwn) {
    const std::string no = "window system: no";
    const std::vector<std::pair<std::vector<WindowOutcome>, Lines>> cases = {
        {{WindowOutcome::refused}, {no, "Failed to set window position. AXError: kAXErrorFailure (-25200)"}},
        {{WindowOutcome::done, WindowOutcome::notExact},
         {no, "Failed to set window size. AXError: kAXErrorCannotComplete (-25204)",
          "Window is at 0,30 with size 800x600, not 1280x720: it would not."}},
        {{WindowOutcome::badFrame}, {no, "Failed to set window position. AXError: kAXErrorIllegalArgument (-25201)"}},
        {{WindowOutcome::disconnected, WindowOutcome::done},
         {no, "Failed to set window position. AXError: kAXErrorCannotComplete (-25204)"}},
        {{WindowOutcome::done, WindowOutcome::done, WindowOutcome::windowGone},
         {no, "Failed to bring window to front. AXError: kAXErrorInvalidUIElement (-25202)"}},
    };
    for (const auto& [outcomes, expected] : cases) {
        Rig rig;
        rig.system->outcomes = outcomes;
        rig.place("Report - Editor");
        // Past the four lookup lines, before the handoff's, which always runs.
        const Lines& lines = rig.output.lines;
        ASSERT_EQ(lines.back(), "Main window minimized");
        Lines failures(lines.begin() + 4, lines.end() - 1);
        std::erase(failures, "Window successfully brought to front.");
        EXPECT_EQ(failures, expected);
    }
}

TEST(WindowSystemAdapter, NoSnapshotKeepsTheListAndFailsTheLookup) {
    Rig rig;
    rig.system->seen.reset();
    rig.timers.advanceSeconds(5);
    EXPECT_EQ(rig.windows->rows.size(), 2U);
    rig.place("Report - Editor");
    EXPECT_EQ(rig.output.lines,
              (Lines{"Could not retrieve windows for PID 42. Error: kAXErrorCannotComplete (-25204)"}));
}

}  // namespace
}  // namespace tallowin
