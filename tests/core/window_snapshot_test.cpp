#include <gtest/gtest.h>

#include "platform/window_list_source.h"
#include "tests/doubles/controller_rig.h"
#include "tests/doubles/window_entries.h"

namespace tallowin {
namespace {

using doubles::WindowEntry;
using doubles::windowEntry;
using platform::Value;

Value menubar(std::int64_t height) {
    return Value::dictionary({{platform::kWindowNameKey, Value::text("Menubar")},
                              {platform::kWindowOwnerNameKey, Value::text("Window Server")},
                              {platform::kWindowBoundsKey, Value::dictionary({{"X", Value::integer(0)},
                                                                              {"Y", Value::integer(0)},
                                                                              {"Width", Value::integer(1440)},
                                                                              {"Height", Value::integer(height)}})}});
}

class WindowSnapshotTest : public ::testing::Test {
protected:
    doubles::ControllerRig rig;

    void snapshot(platform::WindowList list) { rig.windowList.list = std::move(list); }
    std::vector<std::string> titles() {
        std::vector<std::string> result;
        for (const auto& window : rig.vc().visibleWindows()) {
            result.push_back(window.title);
        }
        return result;
    }
};

TEST_F(WindowSnapshotTest, AsksForOnScreenWindowsWithoutDesktopElements) {
    rig.vc().fetchVisibleWindows();
    ASSERT_EQ(rig.windowList.calls.size(), 1U);
    EXPECT_EQ(rig.windowList.calls[0].first, 17U);
    EXPECT_EQ(rig.windowList.calls[0].second, 0U);
}

TEST_F(WindowSnapshotTest, RecordCarriesTheEntryUnchanged) {
    snapshot({windowEntry({.number = 4242,
                           .pid = 77,
                           .name = " Inbox\n",
                           .owner = "Mail",
                           .x = 0.5,
                           .y = 25,
                           .width = 1280.25,
                           .height = 720})});
    rig.vc().fetchVisibleWindows();
    ASSERT_EQ(rig.vc().visibleWindows().size(), 1U);
    const VisibleWindow& window = rig.vc().visibleWindows()[0];
    EXPECT_EQ(window.windowID, 4242U);
    EXPECT_EQ(window.pid, 77);
    EXPECT_EQ(window.title, "Inbox - Mail");
    EXPECT_EQ(window.x, 0.5);
    EXPECT_EQ(window.y, 25.0);
    EXPECT_EQ(window.width, 1280.25);
    EXPECT_EQ(window.height, 720.0);
}

TEST_F(WindowSnapshotTest, EntriesWithoutUsableIdentityAreLeftOut) {
    snapshot({
        windowEntry({.number = 1, .owner = "Kept"}),
        windowEntry({.number = 2, .pid = std::nullopt, .owner = "No pid"}),
        windowEntry({.number = std::nullopt, .owner = "No number"}),
        windowEntry({.number = -5, .owner = "Negative number"}),
        windowEntry({.number = 4294967296LL, .owner = "Number out of range"}),
        windowEntry({.number = 3, .pid = 2147483648LL, .owner = "Pid out of range"}),
        windowEntry({.number = 4, .owner = "Dock"}),
    });
    rig.vc().fetchVisibleWindows();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Window - Kept"}));
}

TEST_F(WindowSnapshotTest, NoListLeavesEverythingAsItWas) {
    snapshot({menubar(30), windowEntry({.number = 1, .owner = "Mail"})});
    rig.vc().fetchVisibleWindows();
    ASSERT_EQ(rig.vc().menubarHeight(), 30);

    rig.windowList.list.reset();
    rig.vc().fetchVisibleWindows();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Window - Mail"}));
    EXPECT_EQ(rig.vc().menubarHeight(), 30);
}

TEST_F(WindowSnapshotTest, ListWithANonDictionaryElementIsNoList) {
    snapshot({windowEntry({.number = 1, .owner = "Mail"})});
    rig.vc().fetchVisibleWindows();
    snapshot({menubar(40), windowEntry({.number = 2, .owner = "Notes"}), Value::text("junk")});
    rig.vc().fetchVisibleWindows();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Window - Mail"}));
    EXPECT_EQ(rig.vc().menubarHeight(), 24) << "the probe must not see a list that did not convert";
    EXPECT_TRUE(rig.output.lines.empty());
}

TEST_F(WindowSnapshotTest, ProbeSeesTheUnfilteredSnapshotFirst) {
    // The menu bar entry is owned by "Window Server", which the filter rejects.
    snapshot({windowEntry({.number = 1, .owner = "Mail"}), menubar(37)});
    rig.vc().fetchVisibleWindows();
    EXPECT_EQ(rig.vc().menubarHeight(), 37);
    EXPECT_EQ(rig.output.lines, (std::vector<std::string>{"Menubar height updated to: 37 pixels."}));
    EXPECT_EQ(titles(), (std::vector<std::string>{"Window - Mail"}));
}

TEST_F(WindowSnapshotTest, EmptySnapshotEmptiesTheList) {
    snapshot({windowEntry({.number = 1})});
    rig.vc().fetchVisibleWindows();
    snapshot({});
    rig.vc().fetchVisibleWindows();
    EXPECT_TRUE(rig.vc().visibleWindows().empty());
}

TEST_F(WindowSnapshotTest, CopiedRecordOutlivesTheNextSnapshot) {
    snapshot({windowEntry({.number = 1, .owner = "Mail"})});
    rig.vc().fetchVisibleWindows();
    const VisibleWindow copy = rig.vc().visibleWindows()[0];
    snapshot({windowEntry({.number = 2, .owner = "Notes"})});
    rig.vc().fetchVisibleWindows();
    EXPECT_EQ(copy.windowID, 1U);
    EXPECT_EQ(copy.title, "Window - Mail");
}

}  // namespace
}  // namespace tallowin
