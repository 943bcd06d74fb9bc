#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cstdio>
#include <thread>

#include "platform/kwin/kwin_window_system.h"
#include "tests/doubles/doubles.h"
#include "tests/kwin/kwin_session.h"

namespace tallowin::kwin {
namespace {

using platform::WindowFrame;
using platform::WindowOutcome;
using Lines = std::vector<std::string>;

// One compositor for the whole suite, with two GTK clients, one maximized
// and one fullscreen.
testing::KWinSession* session = nullptr;
pid_t plain = 0;
pid_t fullscreen = 0;

std::unique_ptr<KWinWindowSystem> connected(platform::LineOutput& status) {
    std::string error;
    auto system = KWinWindowSystem::connect(status, error);
    EXPECT_TRUE(system) << error;
    return system;
}

// The listed window with this title, waiting for the client to map it.
std::optional<platform::SystemWindow> waitForWindow(KWinWindowSystem& system, const std::string& title) {
    for (int i = 0; i < 300; ++i) {
        if (const auto seen = system.snapshot()) {
            const auto found = std::ranges::find(seen->windows, title, &platform::SystemWindow::title);
            if (found != seen->windows.end()) {
                return *found;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::nullopt;
}

WindowFrame frameOf(const QVariantMap& info) {
    return {info["x"].toDouble(), info["y"].toDouble(), info["width"].toDouble(), info["height"].toDouble()};
}

class KWinEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        std::string why;
        owned_ = testing::KWinSession::start(why);
        ASSERT_TRUE(owned_) << why;
        session = owned_.get();
        plain = session->client({"yad", "--title=YadPlain", "--text=plain", "--maximized"});
        fullscreen = session->client({"yad", "--title=YadFull", "--text=full", "--fullscreen"});
        doubles::RecordingOutput output;
        auto system = connected(output);
        ASSERT_TRUE(waitForWindow(*system, "YadPlain"));
        ASSERT_TRUE(waitForWindow(*system, "YadFull"));
    }
    void TearDown() override { owned_.reset(); }

private:
    std::unique_ptr<testing::KWinSession> owned_;
};
const auto* const registered = ::testing::AddGlobalTestEnvironment(new KWinEnvironment);

struct KWinRig : doubles::WindowSystemRig {
    KWinRig() : WindowSystemRig(connected), system(dynamic_cast<KWinWindowSystem*>(&provider->windowSystem())) {}
    KWinWindowSystem* system;
};

TEST(KWinProvider, TheListingIsWhatKWinSaysOfEachWindow) {
    doubles::RecordingOutput output;
    auto system = connected(output);
    const auto seen = system->snapshot();
    ASSERT_TRUE(seen);
    ASSERT_EQ(seen->windows.size(), 2U);
    for (const auto& window : seen->windows) {
        const auto info = testing::KWinSession::windowInfo(system->internalId(window.id).value_or(""));
        EXPECT_EQ(window.title, info["caption"].toString().toStdString());
        EXPECT_EQ(window.owner, info["resourceClass"].toString().toStdString());
        EXPECT_EQ(window.frame, frameOf(info)) << *window.title;
        EXPECT_EQ(window.pid, *window.title == "YadPlain" ? plain : fullscreen);
        EXPECT_EQ(window.opacity, 1.0);
    }
    EXPECT_EQ(seen->placementArea, (WindowFrame{0, 0, 2560, 1440}));  // no panel on the virtual output
    // The script is gone once it has answered.
    auto loaded =
        QDBusMessage::createMethodCall("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "isScriptLoaded");
    loaded << QStringLiteral("tallowin-%1-1").arg(::getpid());
    EXPECT_EQ(QDBusConnection::sessionBus().call(loaded).arguments().value(0), QVariant(false));
    EXPECT_TRUE(output.lines.empty()) << ::testing::PrintToString(output.lines);
}

TEST(KWinProvider, PlaceLeavesFullscreenAndMaximizedAndReadsTheExactFrameBack) {
    for (const auto& [title, preset, frame] : {std::tuple{"YadFull", 0, WindowFrame{0, 0, 1920, 1080}},
                                               std::tuple{"YadPlain", 1, WindowFrame{0, 0, 1280, 720}}}) {
        KWinRig rig;
        const auto window = waitForWindow(*rig.system, title);
        ASSERT_TRUE(window);
        rig.resolutions->selected = preset;
        rig.place(std::string(title) + " - yad");
        // At once: KWin has the frame when Place says it does.
        const auto info = testing::KWinSession::windowInfo(*rig.system->internalId(window->id));
        ASSERT_EQ(rig.output.lines.size(), 6U) << ::testing::PrintToString(rig.output.lines);
        EXPECT_EQ(rig.output.lines[4], "Window successfully brought to front.");
        EXPECT_EQ(frameOf(info), frame) << title;
        EXPECT_FALSE(info["fullscreen"].toBool() || info["maximizeHorizontal"].toInt() != 0 ||
                     info["maximizeVertical"].toInt() != 0)
            << title;
    }
}

TEST(KWinProvider, AClientKilledMidPlaceGivesClearLinesAndNoCrash) {
    const pid_t doomed = session->client({"yad", "--title=Doomed", "--text=doomed"});
    KWinRig rig;
    const auto victim = waitForWindow(*rig.system, "Doomed");
    ASSERT_TRUE(victim);
    EXPECT_EQ(rig.system->snapshot()->windows.front().id, victim->id);  // the newest is in front
    rig.output.lines.clear();
    auto& ax = rig.provider->accessibility();
    const auto application = ax.createApplication(doomed);
    const auto windows = ax.copyAttributeValue(*application, platform::kAXWindowsAttributeName);
    const auto& window = *std::get<platform::AXElementArray>(windows.value).at(0);
    ::kill(doomed, SIGKILL);
    ::waitpid(doomed, nullptr, 0);
    for (int i = 0; i < 100 && rig.system->snapshot()->windows.size() > 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(ax.setAttributeValue(window, platform::kAXPositionAttributeName,
                                   *ax.createValue(platform::AxValueKind::point, 0, 0)),
              platform::AxError::invalidUIElement);
    EXPECT_EQ(ax.performAction(window, platform::kAXRaiseActionName), platform::AxError::invalidUIElement);
    const std::string line = "KWin has no window " + std::to_string(victim->id) + " any more";
    EXPECT_EQ(rig.output.lines, (Lines{line, line}));
}

#if defined(TALLOWIN_BINARY)
// The application, a native Wayland client, finds KWin on the session bus
// and lists through it: itself among the rest.
TEST(KWinProvider, TallowinFindsKWinOnTheBusAndListsThroughIt) {
    std::string command =
        "exec env -i QT_QPA_PLATFORM=wayland ASAN_OPTIONS=detect_leaks=0 WAYLAND_DISPLAY=tallowin-kwin";
    for (const char* variable : {"XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS"}) {
        command +=
            std::string(" ") + variable + "=" + (variable[0] == 'X' ? session->runtime() : std::getenv(variable));
    }
    FILE* output = ::popen((command + " " TALLOWIN_BINARY " 2>/dev/null").c_str(), "r");
    std::array<char, 64> line{};
    EXPECT_STREQ(std::fgets(line.data(), line.size(), output), "Menubar height updated to: 0 pixels.\n");
    doubles::RecordingOutput status;
    const auto tallowin = waitForWindow(*connected(status), "Tallowin");
    ASSERT_TRUE(tallowin && tallowin->pid);
    ::kill(*tallowin->pid, SIGTERM);
    ::pclose(output);
}
#endif

// Last: nothing runs after the compositor is gone.
TEST(KWinProvider, ZKilledKWinGivesOneClearLineAndNoCrash) {
    doubles::RecordingOutput output;
    auto system = connected(output);
    const auto seen = system->snapshot();
    ASSERT_TRUE(seen && !seen->windows.empty());
    session->killKWin();
    EXPECT_FALSE(system->snapshot() || system->snapshot());  // the second one tries again, quietly
    EXPECT_EQ(system->setFrame(seen->windows[0].id, {0, 0, 100, 100}), WindowOutcome::disconnected);
    ASSERT_EQ(output.lines.size(), 1U) << ::testing::PrintToString(output.lines);
    EXPECT_TRUE(output.lines[0].starts_with("KWin is not answering on the session bus: ")) << output.lines[0];
    session->kill();  // the bus too
    EXPECT_FALSE(system->snapshot());
    EXPECT_EQ(output.lines.size(), 1U);
}

}  // namespace
}  // namespace tallowin::kwin

// The scripts answer on a thread with an event loop, which needs an application.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
