#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "discovery/window_snapshot.h"
#include "placement/window_geometry.h"
#include "placement/window_lookup.h"
#include "platform/accessibility.h"
#include "platform/line_output.h"
#include "platform/window_list_source.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_platform.h"
#include "tests/x11/x_session.h"

namespace tallowin::x11 {
namespace {

using namespace std::chrono_literals;
using platform::Value;
using testing::XSession;

constexpr platform::WindowListOption kOptions = 17;

struct Listed {
    std::uint32_t number = 0;
    std::int32_t pid = 0;
    std::string owner;
    std::string name;
    double x = 0, y = 0, width = 0, height = 0;
};

std::vector<Listed> entriesOf(const platform::WindowList& list) {
    std::vector<Listed> entries;
    for (const Value& entry : list) {
        Listed listed;
        listed.number = entry.find(platform::kWindowNumberKey)->asUInt32().value_or(0);
        if (const Value* pid = entry.find(platform::kWindowOwnerPIDKey)) {
            listed.pid = pid->asInt32().value_or(0);
        }
        if (const Value* owner = entry.find(platform::kWindowOwnerNameKey); owner && owner->asText()) {
            listed.owner = *owner->asText();
        }
        if (const Value* name = entry.find(platform::kWindowNameKey); name && name->asText()) {
            listed.name = *name->asText();
        }
        const Value* bounds = entry.find(platform::kWindowBoundsKey);
        listed.x = *bounds->find("X")->asDouble();
        listed.y = *bounds->find("Y")->asDouble();
        listed.width = *bounds->find("Width")->asDouble();
        listed.height = *bounds->find("Height")->asDouble();
        entries.push_back(listed);
    }
    return entries;
}

class X11ProviderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        session = new XSession();
        if (!session->ready()) {
            return;
        }
        pids["XTerm"] = session->start({"xterm", "-T", "Tallowin term", "-geometry", "80x24+300+300"});
        pids["XClock"] = session->start({"xclock", "-geometry", "200x200+100+100"});
        pids["XEyes"] = session->start({"xeyes", "-geometry", "150x100+700+100"});
        pids["XLogo"] = session->start({"xlogo", "-title", "xl\xe9go", "-geometry", "120x120+900+500"});
    }
    static void TearDownTestSuite() {
        delete session;
        session = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(session->ready()) << "Xvfb and openbox did not start";
        x11 = X11Platform::connect(session->display().c_str());
        ASSERT_NE(x11, nullptr);
        // Clients map their windows in their own time: seconds on a loaded machine.
        for (int i = 0; i < 750 && clientsListed() < pids.size(); ++i) {
            std::this_thread::sleep_for(20ms);
        }
    }

    std::size_t clientsListed() {
        auto list = x11->windowList().copyWindowInfo(kOptions, 0);
        std::size_t found = 0;
        for (const auto& entry : entriesOf(list.value_or(platform::WindowList{}))) {
            found += pids.contains(entry.owner) ? 1U : 0U;
        }
        return found;
    }

    Listed listedOf(const std::string& owner) {
        for (const auto& entry :
             entriesOf(x11->windowList().copyWindowInfo(kOptions, 0).value_or(platform::WindowList{}))) {
            if (entry.owner == owner) {
                return entry;
            }
        }
        ADD_FAILURE() << owner << " not listed";
        return {};
    }

    platform::AXElementPtr windowOf(pid_t pid) {
        auto& ax = x11->accessibility();
        auto application = ax.createApplication(pid);
        auto windows = ax.copyAttributeValue(*application, platform::kAXWindowsAttributeName);
        EXPECT_EQ(windows.error, platform::AxError::success);
        auto* array = std::get_if<platform::AXElementArray>(&windows.value);
        if (array == nullptr || array->empty()) {
            return nullptr;
        }
        return std::move(array->front());
    }

    void place(pid_t pid, double width, double height) {
        auto& ax = x11->accessibility();
        auto window = windowOf(pid);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(ax.setAttributeValue(*window, platform::kAXPositionAttributeName,
                                       *ax.createValue(platform::AxValueKind::point, 0, 0)),
                  platform::AxError::success);
        EXPECT_EQ(ax.setAttributeValue(*window, platform::kAXSizeAttributeName,
                                       *ax.createValue(platform::AxValueKind::size, width, height)),
                  platform::AxError::success);
    }

    static XSession* session;
    static std::map<std::string, pid_t> pids;
    std::unique_ptr<X11Platform> x11;
};

XSession* X11ProviderTest::session = nullptr;
std::map<std::string, pid_t> X11ProviderTest::pids;

// The first entry is the menu bar band (empty without a panel); options with
// no X11 counterpart are refused rather than answered with a wrong list.
TEST_F(X11ProviderTest, ListsTheMenubarThenClientsWithOwnersPidsTitlesAndFrames) {
    const auto entries = entriesOf(x11->windowList().copyWindowInfo(kOptions, 0).value());
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(std::tie(entries.front().name, entries.front().owner), std::make_tuple("Menubar", "Window Server"));
    EXPECT_EQ(std::tie(entries.front().x, entries.front().width, entries.front().height),
              std::make_tuple(0.0, 2560.0, 0.0));
    EXPECT_FALSE(x11->windowList().copyWindowInfo(kOptions | 2, 0).has_value());
    struct Expected {
        std::string owner;
        std::string name;
    };
    // Xt titles are Latin-1 STRINGs; the list carries them as UTF-8.
    for (const auto& [owner, name] : std::vector<Expected>{
             {"XTerm", "Tallowin term"}, {"XClock", "xclock"}, {"XEyes", "xeyes"}, {"XLogo", "xl\xc3\xa9go"}}) {
        SCOPED_TRACE(owner);
        const Listed entry = listedOf(owner);
        EXPECT_EQ(entry.name, name);
        EXPECT_EQ(entry.pid, pids[owner]);  // xeyes and xlogo only through X-Resource
        const auto frame = testing::frameByXwininfo(*session, entry.number);
        EXPECT_EQ(entry.x, frame.x);
        EXPECT_EQ(entry.y, frame.y);
        EXPECT_EQ(entry.width, frame.width);
        EXPECT_EQ(entry.height, frame.height);
    }
}

TEST_F(X11ProviderTest, PlacesFramesExactlyAsAnOutsideToolSeesThem) {
    struct Case {
        std::string owner;
        double width;
        double height;
    };
    for (const auto& [owner, width, height] :
         std::vector<Case>{{"XClock", 1920, 1080}, {"XLogo", 1280, 720}, {"XTerm", 1920, 1080}}) {
        SCOPED_TRACE(owner);
        place(pids[owner], width, height);
        const auto frame = testing::frameByXwininfo(*session, listedOf(owner).number);
        EXPECT_EQ(frame.x, 0);
        EXPECT_EQ(frame.y, 0);
        EXPECT_EQ(frame.width, static_cast<int>(width));
        EXPECT_EQ(frame.height, static_cast<int>(height));
        // The accessibility view agrees with the list, so the lookup finds it again.
        const Listed entry = listedOf(owner);
        EXPECT_EQ(entry.width, width);
        EXPECT_EQ(entry.height, height);
    }
}

TEST_F(X11ProviderTest, RaiseLeavesTheWindowOnTopOfTheStacking) {
    auto& ax = x11->accessibility();
    for (const std::string owner : {"XEyes", "XClock", "XLogo", "XEyes"}) {
        SCOPED_TRACE(owner);
        auto window = windowOf(pids[owner]);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(ax.performAction(*window, platform::kAXRaiseActionName), platform::AxError::success);
        const auto stacking = session->run("xprop -root _NET_CLIENT_LIST_STACKING");
        const auto top = stacking.substr(stacking.rfind(' ') + 1);
        EXPECT_EQ(std::stoul(top, nullptr, 16), listedOf(owner).number);
    }
}

// The first Place is exact whatever state the window was in: maximized or
// fullscreen (left first), or with the window manager stopped for a second
// across the Place (the size request must not carry the old position).
TEST_F(X11ProviderTest, FirstPlaceIsExactFromAnyStateAndPastALateWindowManager) {
    struct Case {
        std::string name;
        std::string wmctrlBefore;  // run on the window first
        double reachedWidth;       // the frame width once that took effect
        bool stopWindowManager;
    };
    for (const auto& [name, before, reachedWidth, stopWindowManager] :
         std::vector<Case>{{"maximized", "-b add,maximized_vert,maximized_horz", 2560, false},
                           {"fullscreen", "-b add,fullscreen", 2560, false},
                           {"late window manager", "-e 0,700,400,300,200", 302, true}}) {
        SCOPED_TRACE(name);
        const unsigned id = listedOf("XClock").number;
        session->run("wmctrl -i -r " + std::to_string(id) + " " + before);
        for (int i = 0; i < 250 && listedOf("XClock").width != reachedWidth; ++i) {
            std::this_thread::sleep_for(20ms);
        }
        if (stopWindowManager) {
            ::kill(session->windowManager(), SIGSTOP);
        }
        std::thread resume([&] {
            if (stopWindowManager) {
                std::this_thread::sleep_for(1s);
                ::kill(session->windowManager(), SIGCONT);
            }
        });
        place(pids["XClock"], 1920, 1080);  // expects no failure
        resume.join();
        const auto frame = testing::frameByXwininfo(*session, id);
        EXPECT_EQ(frame.x, 0);
        EXPECT_EQ(frame.y, 0);
        EXPECT_EQ(frame.width, 1920);
        EXPECT_EQ(frame.height, 1080);
    }
}

// A panel is never listed, yet its strut sets the menu bar band that placed
// frames stay below.
TEST_F(X11ProviderTest, PanelIsNotListedButItsStrutSetsTheMenubarAndKeepsPlacedFramesBelowIt) {
    session->start({TALLOWIN_TEST_CLIENT, "panel", "30"});
    std::vector<Listed> entries;
    for (int i = 0; i < 200 && (entries.empty() || entries.front().height != 30); ++i) {
        std::this_thread::sleep_for(20ms);
        entries = entriesOf(*x11->windowList().copyWindowInfo(kOptions, 0));
    }
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front().height, 30);
    for (const auto& entry : entries) {
        EXPECT_NE(entry.owner, "StrutPanel");
    }
    place(pids["XLogo"], 1280, 720);
    const auto frame = testing::frameByXwininfo(*session, listedOf("XLogo").number);
    EXPECT_EQ(frame.x, 0);
    EXPECT_EQ(frame.y, 30);
    EXPECT_EQ(frame.width, 1280);
    EXPECT_EQ(frame.height, 720);
    auto window = windowOf(pids["XLogo"]);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(x11->accessibility().performAction(*window, platform::kAXRaiseActionName), platform::AxError::success);
}

TEST_F(X11ProviderTest, AWindowClosedAfterListingFailsWithoutEndingTheProcess) {
    const pid_t doomed = session->start({"xlogo", "-geometry", "100x100+50+600", "-title", "doomed"});
    platform::AXElementPtr window;
    for (int i = 0; i < 200 && !window; ++i) {
        std::this_thread::sleep_for(20ms);
        window = windowOf(doomed);
    }
    ASSERT_NE(window, nullptr);
    session->stop(doomed);
    std::this_thread::sleep_for(100ms);
    auto& ax = x11->accessibility();
    EXPECT_EQ(ax.copyAttributeValue(*window, platform::kAXTitleAttributeName).error,
              platform::AxError::invalidUIElement);
    EXPECT_EQ(ax.setAttributeValue(*window, platform::kAXPositionAttributeName,
                                   *ax.createValue(platform::AxValueKind::point, 0, 0)),
              platform::AxError::invalidUIElement);
    EXPECT_EQ(ax.performAction(*window, platform::kAXRaiseActionName), platform::AxError::invalidUIElement);
    auto application = ax.createApplication(doomed);
    auto windows = ax.copyAttributeValue(*application, platform::kAXWindowsAttributeName);
    EXPECT_EQ(windows.error, platform::AxError::success);
    EXPECT_TRUE(std::get<platform::AXElementArray>(windows.value).empty());
    EXPECT_TRUE(ax.isProcessTrusted());  // the connection survived the errors
}

class KeptLines final : public platform::LineOutput {
public:
    void writeLine(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

// A Place as the core runs it, minus the preferences and the shell: the
// status lines, or nothing when the row's window was not found.
std::optional<std::vector<std::string>> placeRow(platform::AccessibilityServices& ax, const VisibleWindow& row) {
    KeptLines output;
    const auto match = findListedWindow(ax, row, output);
    if (!match) {
        return std::nullopt;
    }
    setWindowFrame(ax, *match->window, 1280, 720, output);
    raiseWindow(ax, *match->window, output);
    return output.lines;
}

// The rows of the window list as the core makes them, once there are count.
std::vector<VisibleWindow> rowsOnceThereAre(X11Platform& x11, std::size_t count) {
    std::vector<VisibleWindow> rows;
    for (int i = 0; i < 250 && rows.size() < count; ++i) {
        std::this_thread::sleep_for(20ms);
        rows = visibleWindowsFrom(takeWindowSnapshot(x11.windowList()).value());
    }
    return rows;
}

// Without WM_CLASS the row is named after the owning process, found through
// _NET_WM_PID or else the X-Resource extension; the core then finds and
// places the window as it would any other.
TEST_F(X11ProviderTest, WindowsWithoutClassAreNamedAfterTheirProcessAndPlaced) {
    for (const auto& [title, pidProperty] :
         std::vector<std::pair<std::string, std::string>>{{"bare with pid", "pid"}, {"bare without pid", "none"}}) {
        SCOPED_TRACE(title);
        const pid_t client = session->start({TALLOWIN_TEST_CLIENT, "bare", title, pidProperty});
        const auto rows = rowsOnceThereAre(*x11, pids.size() + 1);
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.title.starts_with(title); });
        ASSERT_NE(row, rows.end());
        EXPECT_EQ(row->title, title + " - x_test_client");
        EXPECT_EQ(row->pid, client);
        EXPECT_TRUE(placeRow(x11->accessibility(), *row).has_value());
        const auto frame = testing::frameByXwininfo(*session, row->windowID);
        EXPECT_EQ(std::tie(frame.x, frame.y, frame.width, frame.height), std::make_tuple(0, 0, 1280, 720));
        session->stop(client);
    }
}

// The server may drop the provider's connection (xkill here): the next call
// connects again and carries on.
TEST_F(X11ProviderTest, ADroppedConnectionIsOpenedAgain) {
    const std::string ours = session->run("xdotool search --name '^tallowin connection$'");
    ASSERT_FALSE(ours.empty());
    session->run("xkill -id " + ours.substr(0, ours.find('\n')));
    EXPECT_EQ(listedOf("XClock").name, "xclock");
    EXPECT_TRUE(x11->accessibility().isProcessTrusted());
    place(pids["XLogo"], 1280, 720);
}

// With the server gone for good the process ends with a message, before the
// core could take the broken connection for a missing permission.
TEST(X11LostServer, EndsTheProcessWithAClearMessage) {
    GTEST_FLAG_SET(death_test_style, "fast");
    XSession session;
    ASSERT_TRUE(session.ready());
    auto x11 = X11Platform::connect(session.display().c_str());
    ASSERT_NE(x11, nullptr);
    session.stopServer();
    EXPECT_EXIT(x11->accessibility().isProcessTrusted(), ::testing::ExitedWithCode(1),
                "tallowin: lost the connection to the X server on " + session.display() + " and could not reconnect\n");
}

// Without a window manager the top-level windows are listed, placed with
// plain configure requests and raised; with none to list, standard error says
// why, once.
TEST(X11WithoutWindowManager, ListsPlacesAndRaisesTopLevelWindows) {
    XSession session(false);
    ASSERT_TRUE(session.ready());
    auto x11 = X11Platform::connect(session.display().c_str());
    ASSERT_NE(x11, nullptr);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(visibleWindowsFrom(takeWindowSnapshot(x11->windowList()).value()).empty());
    EXPECT_TRUE(visibleWindowsFrom(takeWindowSnapshot(x11->windowList()).value()).empty());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "tallowin: no EWMH window manager (the root has no _NET_CLIENT_LIST_STACKING) and no top-level window: "
              "nothing to list\n");

    // xlogo maps last, so xclock starts below it.
    session.start({"xclock", "-geometry", "200x150+300+200"});
    ASSERT_EQ(rowsOnceThereAre(*x11, 1).size(), 1U);
    session.start({"xlogo", "-title", "bare logo", "-geometry", "200x150+300+200"});
    const auto rows = rowsOnceThereAre(*x11, 2);
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0].title, "bare logo - XLogo");
    // The window's own border is part of its outer frame.
    EXPECT_EQ(std::tie(rows[0].x, rows[0].y, rows[0].width, rows[0].height),
              std::make_tuple(300.0, 200.0, 202.0, 152.0));
    const auto lines = placeRow(x11->accessibility(), rows[1]);
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(lines->back(), "Window successfully brought to front.");
    const std::string info = session.run("xwininfo -id " + std::to_string(rows[1].windowID));
    EXPECT_NE(info.find("Corners:  +0+0  -1280+0  -1280-720  +0-720\n"), std::string::npos) << info;
    const std::string topFirst = session.run("xwininfo -root -children");
    EXPECT_LT(topFirst.find("\"xclock\""), topFirst.find("\"bare logo\"")) << topFirst;
}

TEST(X11PlatformConnect, NoServerGivesNull) { EXPECT_EQ(X11Platform::connect(":65000"), nullptr); }

}  // namespace
}  // namespace tallowin::x11
