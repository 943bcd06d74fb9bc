#include <gtest/gtest.h>

#include "platform/number_text.h"
#include "platform/window_system_adapter.h"
#include "tests/doubles/doubles.h"

namespace tallowin {
namespace {

using platform::WindowFrame;
using platform::WindowOutcome;
using Lines = std::vector<std::string>;

// A window system that answers from a script and logs every request.
struct ScriptedWindowSystem final : platform::WindowSystem {
    ScriptedWindowSystem(doubles::CallLog& into, platform::LineOutput& lines) : log(into), status(lines) {}
    std::optional<platform::WindowSystemSnapshot> snapshot() override {
        log.push_back("snapshot");
        return seen;
    }
    WindowOutcome setFrame(std::uint32_t window, const WindowFrame& frame) override {
        using platform::formatDouble;
        log.push_back("setFrame " + std::to_string(window) + " " + formatDouble(frame.x) + "," + formatDouble(frame.y) +
                      " " + formatDouble(frame.width) + "x" + formatDouble(frame.height));
        return answer(frameOutcomes);
    }
    WindowOutcome raise(std::uint32_t window) override {
        log.push_back("raise " + std::to_string(window));
        return answer(raiseOutcomes);
    }
    WindowOutcome answer(std::vector<WindowOutcome>& script) {
        const WindowOutcome outcome = script.empty() ? WindowOutcome::done : script.front();
        if (!script.empty()) {
            script.erase(script.begin());
        }
        if (outcome != WindowOutcome::done) {
            status.writeLine("window system: no");
        }
        return outcome;
    }
    doubles::CallLog& log;
    platform::LineOutput& status;
    std::optional<platform::WindowSystemSnapshot> seen;
    std::vector<WindowOutcome> frameOutcomes;
    std::vector<WindowOutcome> raiseOutcomes;
};

// The core over the adapter, with "Report" (pid 42, id 7) and "Alpha" (pid
// 43) below a 30 pixel bar; "Report" and "1280x720" are picked.
struct AdapterRig {
    doubles::CallLog log;
    doubles::VirtualTimerFactory timers;
    doubles::FakeMainWindowSource application{&log};
    doubles::FakeWorkspace workspace{&log};
    doubles::RecordingOutput output{&log};
    ScriptedWindowSystem* system = nullptr;
    std::unique_ptr<platform::WindowSystemProvider> provider;
    std::shared_ptr<doubles::FakeListControl> windows = std::make_shared<doubles::FakeListControl>();
    std::shared_ptr<doubles::FakeListControl> resolutions = std::make_shared<doubles::FakeListControl>();
    std::unique_ptr<ViewController> controller;

    AdapterRig() {
        auto status = std::make_unique<platform::StatusLines>();
        auto scripted = std::make_unique<ScriptedWindowSystem>(log, *status);
        system = scripted.get();
        system->seen = platform::WindowSystemSnapshot{
            {{.id = 7, .pid = 42, .title = "Report", .owner = "Editor", .frame = {10, 40, 800, 600}, .opacity = {}},
             {.id = 8, .pid = 43, .title = "Alpha", .owner = "Apps", .frame = {0, 30, 600, 400}, .opacity = 0.4},
             {.id = 9, .pid = 42, .title = "Report", .owner = "Editor", .frame = {5, 40, 800, 600}, .opacity = {}}},
            {0, 30, 2560, 1410}};
        provider = std::make_unique<platform::WindowSystemProvider>(std::move(status), std::move(scripted),
                                                                    std::make_unique<doubles::FakePreferences>(&log));
        provider->reportTo(output);
        controller =
            std::make_unique<ViewController>(PlatformServices{*provider, timers, application, workspace, output});
        controller->setWindowListComboBox(windows);
        controller->setResolutionComboBox(resolutions);
        controller->setMessage(std::make_shared<doubles::FakeTextControl>());
        controller->viewDidLoad();
        windows->selected = 0;
        resolutions->selected = 1;
    }
};

TEST(WindowSystemAdapter, APlaceGoesThroughTheWindowSystemInTheCoresOrder) {
    AdapterRig rig;
    // Alpha is too transparent to be listed; the menu bar comes from the area.
    EXPECT_EQ(rig.windows->rows, (Lines{"Report - Editor", "Report - Editor"}));
    rig.log.clear();
    rig.controller->handlePlaceButtonClick();
    EXPECT_EQ(rig.log, (Lines{"snapshot", "out: Window title: Report", "out: x=10.0 y=40.0", "out: w.x=10.0 w.y=40.0",
                              "out: width=800.0 height=600.0",
                              // (0, 0) is the area's origin; the size step keeps the new position.
                              "setFrame 7 0.0,30.0 800.0x600.0", "setFrame 7 0.0,30.0 1280.0x720.0",
                              "prefs set: com.apple.screencapture last-selection X=0 Y=30 Width=1280 Height=720",
                              "prefs synchronize: com.apple.screencapture", "raise 7",
                              "out: Window successfully brought to front.", "miniaturize", "out: Main window minimized",
                              "open: /System/Applications/Utilities/Screenshot.app"}));
}

TEST(WindowSystemAdapter, EachOutcomeIsTheCoresFailureLineAfterTheWindowSystemsOwn) {
    struct Case {
        std::vector<WindowOutcome> frames;
        std::vector<WindowOutcome> raises;
        Lines lines;
    };
    const std::vector<Case> cases = {
        {{WindowOutcome::refused},
         {},
         {"window system: no", "Failed to set window position. AXError: kAXErrorFailure (-25200)"}},
        {{WindowOutcome::done, WindowOutcome::notExact},
         {},
         {"window system: no", "Failed to set window size. AXError: kAXErrorCannotComplete (-25204)"}},
        {{WindowOutcome::disconnected, WindowOutcome::disconnected},
         {},
         {"window system: no", "Failed to set window position. AXError: kAXErrorCannotComplete (-25204)",
          "window system: no", "Failed to set window size. AXError: kAXErrorCannotComplete (-25204)"}},
        {{},
         {WindowOutcome::windowGone},
         {"window system: no", "Failed to bring window to front. AXError: kAXErrorInvalidUIElement (-25202)"}},
    };
    for (const auto& each : cases) {
        AdapterRig rig;
        rig.system->frameOutcomes = each.frames;
        rig.system->raiseOutcomes = each.raises;
        rig.output.lines.clear();
        rig.controller->handlePlaceButtonClick();
        // Past the four lookup lines, before the handoff's.
        Lines failures(rig.output.lines.begin() + 4, rig.output.lines.end() - 1);
        std::erase(failures, "Window successfully brought to front.");
        EXPECT_EQ(failures, each.lines);
        // Later steps still run: the handoff always follows.
        EXPECT_EQ(rig.output.lines.back(), "Main window minimized");
    }
}

TEST(WindowSystemAdapter, NoSnapshotKeepsTheListAndFailsTheLookup) {
    AdapterRig rig;
    rig.system->seen.reset();
    rig.timers.advanceSeconds(5);
    EXPECT_EQ(rig.windows->rows.size(), 2U);
    EXPECT_EQ(rig.windows->selected, 0);
    rig.output.lines.clear();
    rig.controller->handlePlaceButtonClick();
    EXPECT_EQ(rig.output.lines,
              (Lines{"Could not retrieve windows for PID 42. Error: kAXErrorCannotComplete (-25204)"}));
    EXPECT_FALSE(rig.provider->windowList().copyWindowInfo(2, 0));  // ordering options: no list rather than a wrong one
}

}  // namespace
}  // namespace tallowin
