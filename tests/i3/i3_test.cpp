#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <thread>

#include "platform/desktop_session.h"
#include "platform/i3/i3_window_system.h"
#include "platform/window_system_adapter.h"
#include "platform/x11/x11_connection.h"
#include "tests/doubles/doubles.h"
#include "tests/sway/sway_session.h"
#include "tests/x11/x_session.h"

namespace tallowin::i3 {
namespace {

using nlohmann::json;
using platform::WindowFrame;

// One i3 for the whole suite, with a 30 px bar at the top and two tiled
// xterms side by side; all of it ends with the process.
std::unique_ptr<x11::testing::XSession> x;
std::unique_ptr<sway::I3IpcSocket> ipc;  // our own: what i3 says is true
std::map<std::string, pid_t> xterms;

// Every client window of a workspace by title; the bar's dock is none.
std::map<std::string, json> windows() {
    std::map<std::string, json> found;
    const auto reply = ipc->request(sway::I3Message::getTree, {});
    sway::testing::forEachView(reply ? json::parse(*reply) : json(), [&](const json& node) {
        if (node["window_properties"].value("class", "") == "XTerm") {
            found[node["name"]] = node;
        }
    });
    return found;
}

json waitForWindow(const std::string& title) {
    for (int i = 0; i < 300 && !windows().contains(title); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return windows()[title];
}

class I3Environment final : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("SHELL", "/bin/sh", 1);
        x = std::make_unique<x11::testing::XSession>(true, "2560x1440x24",
                                                     std::vector<std::string>{"i3", "-c", TALLOWIN_I3_CONFIG});
        ASSERT_TRUE(x->ready);
        std::string why;
        ipc = sway::I3IpcSocket::connect(socketOnRoot(*x11::X11Connection::open(nullptr)), why);
        ASSERT_TRUE(ipc) << why;
        for (const char* title : {"Left", "Right"}) {
            xterms[title] = x->start({"xterm", "-T", title});
            ASSERT_FALSE(waitForWindow(title).is_null()) << title;
        }
    }
};
const auto* const registered = ::testing::AddGlobalTestEnvironment(new I3Environment);

WindowFrame rectOf(const json& node) {
    const auto& r = node["rect"];
    return {r["x"].get<double>(), r["y"].get<double>(), r["width"].get<double>(), r["height"].get<double>()};
}

std::unique_ptr<platform::WindowSystem> connected(platform::LineOutput& status) {
    auto system = connectI3(nullptr, nullptr, status);
    EXPECT_TRUE(system);
    return system;
}

TEST(I3Provider, TheListingIsWhatGetTreeSaysWithPidsFromTheDisplay) {
    doubles::RecordingOutput output;
    const auto seen = connected(output)->snapshot();
    ASSERT_TRUE(seen);
    const auto tree = windows();
    ASSERT_EQ(seen->windows.size(), tree.size());  // the bar is no window to place
    for (const auto& window : seen->windows) {
        const json& node = tree.at(window.title.value_or(""));
        EXPECT_EQ(window.id, node["window"].get<std::uint32_t>());
        EXPECT_EQ(window.owner, "XTerm");
        EXPECT_EQ(window.frame, rectOf(node));  // the title bar lies inside rect
        EXPECT_EQ(window.pid, xterms.at(*window.title));
    }
    EXPECT_EQ(seen->placementArea, (WindowFrame{0, 30, 2560, 1410}));  // below the bar
    EXPECT_TRUE(output.lines.empty());
}

// xterm asks for its size in character cells, which i3 would round a floating
// window to (1920x1079): the frame must still be exact, through i3 and X.
TEST(I3Provider, PlaceGivesATiledXtermItsExactFrameAndAFloatingOneAfterwards) {
    ASSERT_EQ(waitForWindow("Left")["floating"], "auto_off");
    for (const auto& [preset, frame] :
         {std::pair{0, WindowFrame{0, 30, 1920, 1080}}, std::pair{1, WindowFrame{0, 30, 1280, 720}}}) {
        doubles::WindowSystemRig rig(connected);
        rig.resolutions->selected = preset;
        rig.place("Left - XTerm");
        ASSERT_EQ(rig.output.lines.size(), 6U) << ::testing::PrintToString(rig.output.lines);
        EXPECT_EQ(rig.output.lines[4], "Window successfully brought to front.");
        const json node = waitForWindow("Left");
        EXPECT_EQ(rectOf(node), frame);
        EXPECT_TRUE(node["focused"].get<bool>());
        const auto [left, top, width, height] = x->frame(node["window"].get<unsigned>());
        EXPECT_EQ((WindowFrame{double(left), double(top), double(width), double(height)}), frame);
    }
}

TEST(I3Provider, ARefusedCommandCarriesI3sOwnWords) {
    doubles::RecordingOutput output;
    EXPECT_EQ(connected(output)->raise(999999), platform::WindowOutcome::windowGone);
    EXPECT_EQ(output.lines,
              std::vector<std::string>{"i3 refused \"[id=999999] focus\": No window matches given criteria"});
}

// I3SOCK, or the root window when it is unset or stale, or on a display named
// on the command line, leads to i3.
TEST(I3Provider, TheSessionFindsI3WhereverItIsNamed) {
    for (const auto& [i3sock, named, session] : {std::tuple{"", false, platform::DesktopSession::x11},
                                                 std::tuple{"/stale", false, platform::DesktopSession::i3},
                                                 std::tuple{"/stale", true, platform::DesktopSession::x11}}) {
        ::setenv("I3SOCK", i3sock, 1);
        EXPECT_EQ(platform::desktopSession(named, [](const char* name) { return std::getenv(name); }), session);
        const auto provider = platform::openNativeProvider(named ? x->display.c_str() : nullptr);
        EXPECT_TRUE(dynamic_cast<platform::WindowSystemProvider*>(provider.get())) << i3sock << named;
    }
    ::unsetenv("I3SOCK");
}

}  // namespace
}  // namespace tallowin::i3
