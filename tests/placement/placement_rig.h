#pragma once

#include "tests/doubles/controller_rig.h"
#include "tests/doubles/window_entries.h"

namespace tallowin::testing {

// A controller with one listed window (pid 42, number 7, "Report - Editor"
// at 10,40 sized 800x600) and a matching Accessibility window.
struct PlacementRig : doubles::ControllerRig {
    static constexpr pid_t kPid = 42;

    PlacementRig() {
        windowList.list = platform::WindowList{doubles::windowEntry({.number = 7,
                                                                     .pid = kPid,
                                                                     .name = "Report",
                                                                     .owner = "Editor",
                                                                     .x = 10,
                                                                     .y = 40,
                                                                     .width = 800,
                                                                     .height = 600})};
        controller->fetchAndUpdateWindows();
        log.entries.clear();
    }

    static doubles::FakeAXWindow matchingWindow() {
        doubles::FakeAXWindow window;
        window.title = doubles::ScriptedAttribute::title("Report");
        window.position = doubles::ScriptedAttribute::point(10, 40);
        window.size = doubles::ScriptedAttribute::size(800, 600);
        return window;
    }

    const VisibleWindow& entry() const { return controller->visibleWindows().at(0); }

    void expectAllReleased() const {
        EXPECT_EQ(accessibility.liveElements(), 0);
        EXPECT_EQ(accessibility.liveValues(), 0);
    }
};

}  // namespace tallowin::testing
