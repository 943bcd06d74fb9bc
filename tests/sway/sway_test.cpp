#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/sway/sway_window_system.h"
#include "tests/doubles/doubles.h"
#include "tests/sway/sway_session.h"

namespace tallowin::sway {
namespace {

using nlohmann::json;
using platform::WindowFrame;
using platform::WindowOutcome;
using Lines = std::vector<std::string>;

testing::SwaySession* session = nullptr;

using Colour = std::array<unsigned char, 3>;
constexpr Colour kFootFill{255, 0, 255};
constexpr Colour kXtermFill{0, 255, 255};

// Where the screen shows colour, as grim takes it: the bounding box.
WindowFrame whereScreenShows(const Colour& colour) {
    std::string command = "exec env -i";
    for (const std::string& variable : session->clientEnvironment()) {
        command += " " + variable;
    }
    FILE* picture = ::popen((command + " grim -t ppm - 2>/dev/null").c_str(), "r");
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels(std::size_t{2560} * 1440 * 3);
    const bool read = std::fscanf(picture, "P6 %d %d 255", &width, &height) == 2 && std::fgetc(picture) != EOF;
    pixels.resize(read ? std::fread(pixels.data(), 1, pixels.size(), picture) : 0);
    ::pclose(picture);
    int left = width, top = height, right = -1, bottom = -1;  // NOLINT(readability-isolate-declaration)
    for (std::size_t at = 0; at + 3 <= pixels.size(); at += 3) {
        if (std::equal(colour.begin(), colour.end(), pixels.begin() + static_cast<std::ptrdiff_t>(at))) {
            const auto pixel = static_cast<int>(at / 3);
            left = std::min(left, pixel % width);
            right = std::max(right, pixel % width);
            top = std::min(top, pixel / width);
            bottom = std::max(bottom, pixel / width);
        }
    }
    return {double(left), double(top), double(right - left + 1), double(bottom - top + 1)};
}

// Whether the screen shows the client's fill where the tree puts its
// content: a client draws its new size a moment after the tree has it.
bool drawnWhereTheTreeSays(const std::string& title, const Colour& fill) {
    for (int i = 0; i < 100; ++i) {
        const auto view = session->waitForView(title);
        const auto& rect = view["rect"];
        const auto& content = view["window_rect"];
        const WindowFrame drawn{rect["x"].get<double>() + content["x"].get<double>(),
                                rect["y"].get<double>() + content["y"].get<double>(), content["width"].get<double>(),
                                content["height"].get<double>()};
        if (whereScreenShows(fill) == drawn) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// One compositor for the whole suite, with a Wayland client (foot) and an
// XWayland one (xterm), each filled with its own colour.
class SwayEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        std::string why;
        owned_ = testing::SwaySession::start(why);
        ASSERT_TRUE(owned_) << why;
        session = owned_.get();
        session->ask(I3Message::runCommand,
                     "exec foot -o colors.background=ff00ff -T FootWin; exec xterm -bg cyan -T XtermWin");
        ASSERT_FALSE(session->waitForView("FootWin").is_null());
        ASSERT_FALSE(session->waitForView("XtermWin").is_null());
        // A client still drawing its first frame may take its first size
        // back after a Place; a user picks a window long on screen.
        ASSERT_TRUE(drawnWhereTheTreeSays("FootWin", kFootFill));
        ASSERT_TRUE(drawnWhereTheTreeSays("XtermWin", kXtermFill));
    }

private:
    std::unique_ptr<testing::SwaySession> owned_;
};
const auto* const registered = ::testing::AddGlobalTestEnvironment(new SwayEnvironment);

WindowFrame visibleFrame(const json& view) {
    const auto& rect = view["rect"];
    const double title = view["deco_rect"]["height"].get<double>();
    return {rect["x"].get<double>(), rect["y"].get<double>() - title, rect["width"].get<double>(),
            rect["height"].get<double>() + title};
}

std::unique_ptr<SwayWindowSystem> connected(platform::LineOutput& status) {
    std::string error;
    auto system = SwayWindowSystem::connect(session->socketPath(), status, error);
    EXPECT_TRUE(system) << error;
    return system;
}

TEST(SwayProvider, TheListingIsWhatGetTreeSaysOnScreen) {
    doubles::RecordingOutput output;
    const auto seen = connected(output)->snapshot();
    ASSERT_TRUE(seen);
    std::size_t views = 0;
    testing::forEachView(session->ask(I3Message::getTree), [&](const json& view) {
        ++views;
        const auto found =
            std::ranges::find(seen->windows, view["id"].get<std::uint32_t>(), &platform::SystemWindow::id);
        ASSERT_NE(found, seen->windows.end()) << view["name"];
        EXPECT_EQ(found->title, view["name"].get<std::string>());
        EXPECT_EQ(found->owner, view["app_id"].is_string() ? view["app_id"] : view["window_properties"]["class"]);
        EXPECT_EQ(found->frame, visibleFrame(view)) << view["name"];
        EXPECT_EQ(found->pid, view["pid"].get<pid_t>());
    });
    EXPECT_EQ(seen->windows.size(), views);
    EXPECT_EQ(seen->placementArea, (WindowFrame{0, 30, 2560, 1410}));  // below the 30 px bar
    EXPECT_TRUE(output.lines.empty());
}

TEST(SwayProvider, PlaceGivesTheExactFrameBelowTheBarAndTheFocus) {
    for (const auto& [title, row, preset, frame, colour] :
         {std::tuple{"FootWin", "FootWin - foot", 0, WindowFrame{0, 30, 1920, 1080}, kFootFill},
          std::tuple{"XtermWin", "XtermWin - XTerm", 1, WindowFrame{0, 30, 1280, 720}, kXtermFill}}) {
        doubles::WindowSystemRig rig(connected);
        rig.resolutions->selected = preset;
        rig.place(row);
        ASSERT_EQ(rig.output.lines.size(), 6U) << ::testing::PrintToString(rig.output.lines);
        EXPECT_EQ(rig.output.lines[4], "Window successfully brought to front.");
        const json view = session->waitForView(title);
        EXPECT_EQ(visibleFrame(view), frame) << title;
        EXPECT_TRUE(view["focused"].get<bool>()) << title;
        // The pixels agree: the window's own fill is where the tree says its
        // content is, inside the frame, less the title bar and borders.
        EXPECT_TRUE(drawnWhereTheTreeSays(title, colour)) << title;
        EXPECT_EQ(visibleFrame(session->waitForView(title)), frame) << title << ", once drawn";
    }
}

TEST(SwayProvider, AClampedSizeIsAFailureLineThatSaysWhatSwayDid) {
    ASSERT_EQ(session->ask(I3Message::runCommand, "floating_maximum_size 1600 x 900")[0]["success"], true);
    ASSERT_EQ(session->ask(I3Message::runCommand, "[title=FootWin] floating enable, resize set 800 600")[0]["success"],
              true);
    // The tree shows a new size once the client has taken it.
    for (int i = 0; i < 100 && visibleFrame(session->waitForView("FootWin")).width != 800; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    doubles::WindowSystemRig rig(connected);
    rig.place("FootWin - foot");
    session->ask(I3Message::runCommand, "floating_maximum_size 0 x 0");
    const std::string id = std::to_string(session->waitForView("FootWin")["id"].get<int>());
    // The move keeps the size, which sway allows; the size it clamps.
    EXPECT_EQ(Lines(rig.output.lines.begin() + 4, rig.output.lines.begin() + 6),
              (Lines{"sway gave window " + id +
                         " the frame x=0.0 y=30.0 width=1600.0 height=900.0, not x=0.0 y=30.0 width=1920.0 "
                         "height=1080.0",
                     "Failed to set window size. AXError: kAXErrorCannotComplete (-25204)"}));
}

TEST(SwayProvider, ARefusedCommandCarriesSwaysOwnWords) {
    doubles::RecordingOutput output;
    auto system = connected(output);
    EXPECT_EQ(system->setFrame(999999, {0, 30, 100, 100}), WindowOutcome::windowGone);
    EXPECT_EQ(system->raise(999999), WindowOutcome::windowGone);
    EXPECT_EQ(output.lines,
              (Lines{"sway refused \"[con_id=999999] fullscreen disable, floating enable, resize set 100 100, move "
                     "absolute position 0 30\": No matching node.",
                     "sway refused \"[con_id=999999] focus\": No matching node."}));
}

TEST(SwayProvider, AClientKilledMidPlaceGivesClearLinesAndNoCrash) {
    session->ask(I3Message::runCommand, "exec foot -T Doomed");
    const auto victim = session->waitForView("Doomed");
    ASSERT_FALSE(victim.is_null());
    doubles::WindowSystemRig rig(connected);
    rig.output.lines.clear();
    auto& ax = rig.provider->accessibility();
    const auto application = ax.createApplication(victim["pid"].get<pid_t>());
    const auto windows = ax.copyAttributeValue(*application, platform::kAXWindowsAttributeName);
    const auto& window = *std::get<platform::AXElementArray>(windows.value).at(0);
    session->ask(I3Message::runCommand, "exec kill -9 " + std::to_string(victim["pid"].get<int>()));
    for (int i = 0; i < 100 && !session->waitForView("Doomed", 0).is_null(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(ax.setAttributeValue(window, platform::kAXPositionAttributeName,
                                   *ax.createValue(platform::AxValueKind::point, 0, 0)),
              platform::AxError::invalidUIElement);
    EXPECT_EQ(ax.performAction(window, platform::kAXRaiseActionName), platform::AxError::invalidUIElement);
    const std::string id = std::to_string(victim["id"].get<int>());
    ASSERT_EQ(rig.output.lines.size(), 2U) << ::testing::PrintToString(rig.output.lines);
    EXPECT_TRUE(rig.output.lines[0].starts_with("sway refused \"[con_id=" + id + "] fullscreen disable"));
    EXPECT_TRUE(rig.output.lines[0].ends_with(", move absolute position 0 30\": No matching node."));
    EXPECT_EQ(rig.output.lines[1], "sway refused \"[con_id=" + id + "] focus\": No matching node.");
}

TEST(SwayProvider, ALostSocketIsSaidOnceAndTheNextCallReconnects) {
    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    ::close(ends[1]);  // the far end is gone, as when the compositor drops us
    doubles::RecordingOutput output;
    SwayWindowSystem system(session->socketPath(), output, std::make_unique<I3IpcSocket>(x11::UniqueFd(ends[0])));
    EXPECT_FALSE(system.snapshot());
    EXPECT_TRUE(system.snapshot());
    EXPECT_EQ(output.lines, (Lines{"Lost the connection to sway at " + session->socketPath() + ": send: Broken pipe",
                                   "Connected to sway again at " + session->socketPath()}));
}

#if defined(TALLOWIN_BINARY)
// The application, a native Wayland client, finds sway from the session,
// lists through it and measures the bar. Where it cannot move windows it says
// why in a window as well, for a user with no terminal. Closing the window
// ends it, with status 1 then.
TEST(SwayProvider, TallowinRunsNativelyOrSaysWhyInAWindow) {
    using Row = std::tuple<std::string_view, std::string_view, std::string_view, int>;
    for (const auto& [setting, dropped, said, status] :
         {Row{"QT_QPA_PLATFORM=wayland", "", "Menubar height updated to: 30 pixels.\n", 0},
          Row{"XDG_CURRENT_DESKTOP=GNOME", "SWAYSOCK=", "Tallowin cannot move windows on this Wayland desktop (GNOME).",
              1}}) {
        // Qt's Wayland plugin leaves libwayland-client's allocations at exit,
        // which a sanitizer build's leak checker would make exit status 1.
        std::string command = "exec env -i ASAN_OPTIONS=detect_leaks=0 " + std::string(setting);
        for (const std::string& variable : session->clientEnvironment()) {
            command += !dropped.empty() && variable.starts_with(dropped) ? "" : " " + variable;
        }
        FILE* output = ::popen((command + " " TALLOWIN_BINARY " 2>/dev/null").c_str(), "r");
        std::array<char, 512> line{};
        EXPECT_TRUE(
            std::string_view(std::fgets(line.data(), line.size(), output) ? line.data() : "").starts_with(said));
        EXPECT_EQ(session->waitForView("Tallowin").value("app_id", ""), "tallowin");  // not an XWayland window
        session->ask(I3Message::runCommand, "[app_id=tallowin] kill");
        const int ended = ::pclose(output);
        EXPECT_TRUE(WIFEXITED(ended) && WEXITSTATUS(ended) == status) << said;
    }
}
#endif

// Last: nothing runs after the compositor is gone.
TEST(SwayProvider, ZKilledCompositorGivesOneClearLineAndNoCrash) {
    doubles::RecordingOutput output;
    auto system = connected(output);
    session->kill();
    EXPECT_FALSE(system->snapshot() || system->snapshot());  // the second one tries again, quietly
    EXPECT_EQ(system->setFrame(1, {0, 30, 100, 100}), WindowOutcome::disconnected);
    ASSERT_EQ(output.lines.size(), 1U) << ::testing::PrintToString(output.lines);
    EXPECT_TRUE(output.lines[0].starts_with("Lost the connection to sway at " + session->socketPath() + ": "));
}

}  // namespace
}  // namespace tallowin::sway
