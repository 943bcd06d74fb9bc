#include <gtest/gtest.h>

#include <map>

#include "platform/desktop_session.h"
#include "platform/kwin/kwin_script.h"

namespace tallowin::kwin {
namespace {

using platform::WindowFrame;

constexpr const char* kWindow =
    R"({"id":"{a}","pid":41,"caption":"Notes","resourceClass":"yad","frame":[1,2,300,200],"opacity":0.5,"active":true})";

TEST(KWinScriptAnswer, AWindowIsReadWithEveryValueItHas) {
    const auto answer = parseAnswer(std::string(R"({"window":)") + kWindow + "}");
    ASSERT_TRUE(answer && std::holds_alternative<ScriptWindow>(*answer));
    const auto& [id, window, active] = std::get<ScriptWindow>(*answer);
    EXPECT_EQ(std::tie(id, window.pid, window.title, window.owner, window.frame, window.opacity, active),
              std::tuple("{a}", 41, "Notes", "yad", WindowFrame{1, 2, 300, 200}, 0.5, true));
}

// Broken windows are skipped, not the listing; what is not an answer is none.
TEST(KWinScriptAnswer, BadValuesSkipTheirWindowOrTheAnswer) {
    const std::string listing = std::string(R"({"area":[0,30,2560,1410],"windows":[)") + kWindow +
                                R"(,{"id":"{b}","frame":[0,0,1]},{"frame":[0,0,1,1]},)"
                                R"({"id":"{c}","pid":0,"frame":[0,0,5,5],"caption":7}]})";
    const auto answer = parseAnswer(listing);
    ASSERT_TRUE(answer && std::holds_alternative<Listing>(*answer));
    const auto& seen = std::get<Listing>(*answer);
    EXPECT_EQ(seen.placementArea, (WindowFrame{0, 30, 2560, 1410}));
    ASSERT_EQ(seen.windows.size(), 2U);
    EXPECT_EQ(seen.windows[1].internalId, "{c}");
    EXPECT_FALSE(seen.windows[1].window.pid);  // KWin's own windows have pid 0
    EXPECT_FALSE(seen.windows[1].window.title);
    EXPECT_FALSE(seen.windows[1].active);
    EXPECT_TRUE(std::holds_alternative<Gone>(*parseAnswer(R"({"gone":true})")));
    EXPECT_EQ(std::get<ScriptError>(*parseAnswer(R"({"error":"TypeError: x"})")).text, "TypeError: x");
    for (const char* none : {"", "[]", "{", R"({"gone":1})", R"({"area":[0,0,1,1]})", R"({"window":{"id":"x"}})"}) {
        EXPECT_FALSE(parseAnswer(none)) << none;
    }
}

TEST(KWinScript, IdsAndNamesStayLiteralsInTheScript) {
    const std::string script = placeScript("svc\"", "7", "\"); evil(); (\"", {0, 30, 1919.6, 1080});
    EXPECT_NE(script.find(R"(find("\"); evil(); (\""))"), std::string::npos);
    EXPECT_NE(script.find(R"(SERVICE = "svc\"")"), std::string::npos);
    EXPECT_NE(script.find("{x: 0, y: 30, width: 1920, height: 1080}"), std::string::npos);
}

// KWin is asked for only under Wayland, and sway's socket comes first.
TEST(KWinSession, KWinOnTheSessionBusUnderWaylandGivesTheKWinProvider) {
    using platform::DesktopSession;
    for (const auto& [named, wayland, sway, kwin, expected, asked] :
         {std::tuple{false, "w", "", true, DesktopSession::kwin, 1},
          std::tuple{false, "w", "", false, DesktopSession::unsupportedWayland, 1},
          std::tuple{false, "w", "/s", true, DesktopSession::sway, 0},
          std::tuple{true, "w", "", true, DesktopSession::x11, 0},
          std::tuple{false, "", "", true, DesktopSession::x11, 0}}) {
        const std::map<std::string, std::string> variables{{"WAYLAND_DISPLAY", wayland}, {"SWAYSOCK", sway}};
        int asks = 0;
        const bool owned = kwin;  // a lambda cannot capture a structured binding
        const auto session = platform::desktopSession(
            named, [&](const char* name) { return variables.contains(name) ? variables.at(name).c_str() : nullptr; },
            [&](const char* name) { return ++asks, owned && std::string(name) == "org.kde.KWin"; });
        EXPECT_EQ(session, expected) << wayland << sway << kwin;
        EXPECT_EQ(asks, asked) << wayland << sway << kwin;
    }
}

}  // namespace
}  // namespace tallowin::kwin
