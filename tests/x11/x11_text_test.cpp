#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <tuple>

#include "platform/x11/x11_call.h"
#include "platform/x11/x11_client_windows.h"
#include "platform/x11/x11_text.h"

namespace tallowin::x11 {
namespace {

TEST(X11Text, DecodesEachEncodingToValidUtf8) {
    const std::vector<std::tuple<TextEncoding, std::string, std::optional<std::string>>> cases{
        {TextEncoding::Utf8, "caf\xc3\xa9", "caf\xc3\xa9"},
        {TextEncoding::Utf8, "bad\xff", "bad\xef\xbf\xbd"},                              // stray byte
        {TextEncoding::Utf8, "cut\xe2\x82", "cut\xef\xbf\xbd"},                          // truncated sequence
        {TextEncoding::Utf8, "\xed\xa0\x80x", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbdx"},  // surrogate
        {TextEncoding::Latin1, "t\xe9rm", "t\xc3\xa9rm"},
        {TextEncoding::Latin1, "\xff", "\xc3\xbf"},
        {TextEncoding::CompoundText, "plain \xe9", "plain \xc3\xa9"},
        {TextEncoding::CompoundText, "\x1b$(Bkanji", std::nullopt},
        {TextEncoding::Unknown, "anything", std::nullopt},
    };
    for (const auto& [encoding, bytes, expected] : cases) {
        EXPECT_EQ(decodeTextProperty(encoding, bytes), expected) << ::testing::PrintToString(bytes);
    }
}

TEST(X11Frame, OuterFrameAddsDecorationsAndRemovesClientSideShadows) {
    // openbox: left 1, right 1, top 20, bottom 5; client at (101, 120) sized 200x200.
    EXPECT_EQ(outerFrame(101, 120, 200, 200, {1, 1, 20, 5}, {}), (FrameRect{100, 100, 202, 225}));
    // A client-side-decorated client with 10 px of shadow on each side.
    EXPECT_EQ(outerFrame(0, 0, 220, 220, {}, {10, 10, 10, 10}), (FrameRect{10, 10, 200, 200}));
}

// Each failing call is named once, whatever the number of failures.
TEST(X11CallLog, ReportsEachCallAndErrorOnceOnItsOwnLine) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* sink = ::open_memstream(&text, &size);
    ASSERT_NE(sink, nullptr);
    {
        XCallLog log(sink);
        xcb_generic_error_t badWindow{}, badMatch{};
        badWindow.error_code = 3;
        badMatch.error_code = 8;
        for (const auto* error : {&badWindow, &badWindow, &badWindow, &badMatch}) {
            log.record("GetProperty", error);
        }
        log.record("QueryTree", nullptr);
        log.record("QueryTree", nullptr);
        EXPECT_EQ(log.count(), 6);
    }
    std::fclose(sink);
    EXPECT_EQ(std::string(text, size),
              "tallowin: X request GetProperty failed: BadWindow (3)\n"
              "tallowin: X request GetProperty failed: BadMatch (8)\n"
              "tallowin: X request QueryTree failed: connection lost\n");
    std::free(text);  // NOLINT(cppcoreguidelines-no-malloc)
}

}  // namespace
}  // namespace tallowin::x11
