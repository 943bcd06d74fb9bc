#include <gtest/gtest.h>

#include "tests/doubles/doubles.h"

namespace tallowin {
namespace {

using doubles::ControllerRig;
using doubles::FakeAXWindow;
using doubles::ScriptedAttribute;

// "Report - Editor" (pid 42, number 7) under a 30 pixel menu bar, placed at
// the resolution of row `resolution`.
void place(ControllerRig& rig, int resolution) {
    rig.windowList.list = {
        doubles::windowEntry({.name = "Menubar", .owner = "Window Server", .x = 0, .height = 30}),
        doubles::windowEntry({.number = 7, .pid = 42, .name = "Report", .owner = "Editor"}),
    };
    rig.controller.viewDidLoad();
    rig.windowListComboBox->selected = 0;
    rig.resolutionComboBox->selected = resolution;
    rig.accessibility.applications[42].windows = {FakeAXWindow{.title = ScriptedAttribute::title("Report"),
                                                               .position = ScriptedAttribute::point(10, 40),
                                                               .size = ScriptedAttribute::size(800, 600)}};
    rig.controller.handlePlaceButtonClick();
}

TEST(CaptureHandoff, TheToolGetsTheRectangleStoredAndThePlacedWindow) {
    ControllerRig rig;
    place(rig, 1);  // 1280x720 where the window reads back: the origin it was given
    ASSERT_EQ(rig.workspace.handoffs.size(), 1U);
    const auto& handoff = rig.workspace.handoffs[0];
    EXPECT_EQ(handoff.tool.path, "/System/Applications/Utilities/Screenshot.app");
    EXPECT_EQ(handoff.rectangle.x, 0);
    EXPECT_EQ(handoff.rectangle.y, 0);
    EXPECT_EQ(handoff.rectangle.width, 1280);
    EXPECT_EQ(handoff.rectangle.height, 720);
    EXPECT_EQ(handoff.windowNumber, 7U);
}

TEST(CaptureHandoff, EachPlacementHandsOverItsOwnRectangleOnce) {
    ControllerRig rig;
    place(rig, 0);
    place(rig, 1);
    ASSERT_EQ(rig.workspace.handoffs.size(), 2U);
    EXPECT_EQ(rig.workspace.handoffs[0].rectangle.width, 1920);
    EXPECT_EQ(rig.workspace.handoffs[0].rectangle.height, 1080);
    EXPECT_EQ(rig.workspace.handoffs[1].rectangle.width, 1280);
    EXPECT_EQ(rig.workspace.handoffs[1].rectangle.height, 720);
}

TEST(CaptureHandoff, TheToolOpenedAloneHasNoRectangleToHandOver) {
    ControllerRig rig;
    place(rig, 0);
    rig.controller.openScreenshotTool();
    EXPECT_EQ(rig.workspace.handoffs.size(), 1U) << "the earlier rectangle is not handed over twice";
    EXPECT_EQ(rig.workspace.opened.size(), 2U);
}

}  // namespace
}  // namespace tallowin
