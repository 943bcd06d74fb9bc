#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "app/standard_output.h"
#include "discovery/menubar_probe.h"
#include "discovery/window_filter.h"
#include "discovery/window_snapshot.h"
#include "discovery/window_title.h"
#include "platform/number_text.h"
#include "platform/value.h"
#include "tests/doubles/doubles.h"

namespace tallowin {
namespace {

using doubles::WindowEntry;
using platform::Value;
using Lines = std::vector<std::string>;

Value boundsOnly(Value bounds, std::pair<const char*, Value> extra) {
    return Value::dictionary({{platform::kWindowBoundsKey, std::move(bounds)}, std::move(extra)});
}

TEST(WindowFilter, SizePositionOpacityAndOwner) {
    const std::pair<WindowEntry, bool> cases[] = {
        {{}, true},
        {{.x = 0, .y = 0, .width = 50, .height = 50}, true},
        {{.width = 49.99}, false},
        {{.height = 49.99}, false},
        {{.x = -0.01}, false},
        {{.y = -0.01}, false},
        {{.width = std::nan("")}, false},
        {{.x = std::nullopt}, false},
        {{.y = std::nullopt}, false},
        {{.width = std::nullopt}, false},
        {{.height = std::nullopt}, false},
        {{.alpha = 0.5}, true},
        {{.alpha = 0.49}, false},
        {{.alpha = std::nullopt}, true},
        {{.owner = std::nullopt}, true},
        {{.owner = "dock"}, true},
        {{.owner = "Screenshot "}, true},
        {{.owner = "Tallowin"}, true},
    };
    for (const char* owner : {"Control Center", "TextInputMenuAgent", "SystemUIServer", "Window Server", "Dock",
                              "Spotlight", "System Information", "Screenshot"}) {
        EXPECT_FALSE(shouldIncludeWindow(doubles::windowEntry({.owner = owner}))) << owner;
    }
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(shouldIncludeWindow(doubles::windowEntry(cases[i].first)), cases[i].second) << "case " << i;
    }
    const Value square = *doubles::windowEntry({}).find(platform::kWindowBoundsKey);
    EXPECT_FALSE(shouldIncludeWindow(boundsOnly(Value::text("0 0 800 600"), {"", Value()})));
    EXPECT_TRUE(shouldIncludeWindow(boundsOnly(square, {platform::kWindowAlphaKey, Value::text("0")})))
        << "an alpha that is no number is a missing one";
    EXPECT_TRUE(shouldIncludeWindow(boundsOnly(square, {platform::kWindowOwnerNameKey, Value::integer(5)})));
}

TEST(WindowSnapshot, ListedWindowsNeedAnInt32PidAndAUInt32Number) {
    const auto windows = visibleWindowsFrom(doubles::windowList({
        {.number = 4294967295LL, .pid = -2147483648LL, .name = " Inbox\n", .owner = "Mail", .x = 0.5, .height = 720.25},
        {.number = 2, .pid = std::nullopt},
        {.number = 3, .pid = 2147483648LL},
        {.number = std::nullopt},
        {.number = -5},
        {.number = 4294967296LL},
    }));
    ASSERT_EQ(windows.size(), 1U);
    const VisibleWindow& window = windows[0];
    EXPECT_EQ(window.windowID, 4294967295U);
    EXPECT_EQ(window.pid, -2147483648LL);
    EXPECT_EQ(window.title, "Inbox - Mail");
    EXPECT_EQ(std::vector<double>({window.x, window.y, window.width, window.height}),
              std::vector<double>({0.5, 40, 800, 720.25}));
}

TEST(WindowTitle, TrimmedNameAndOwner) {
    const std::string name = " Inbox ", blank = " \t", empty, owner = "Mail", padded = " Pages ";
    EXPECT_EQ(displayTitle(&name, &owner), "Inbox - Mail");
    EXPECT_EQ(displayTitle(&name, &padded), "Inbox -  Pages ");
    EXPECT_EQ(displayTitle(&name, &empty), "Inbox - ");
    EXPECT_EQ(displayTitle(&blank, &owner), "Mail");
    EXPECT_EQ(displayTitle(&empty, &owner), "Mail");
    EXPECT_EQ(displayTitle(nullptr, &owner), "Mail");
    EXPECT_EQ(displayTitle(&name, nullptr), "");
    EXPECT_EQ(displayTitle(nullptr, nullptr), "");
}

TEST(WindowTitle, TrimsSeparatorsTabAndLineEndsOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"\t\n\v\f\r x \r\n\t", "x"},
        {"\u00A0\u2028\u2029x\u3000\u202F", "x"},  // Zs, Zl, Zp
        {"\u0085x\u0085", "x"},
        {" a  b ", "a  b"},
        {"\u001Cx\u001F", "\u001Cx\u001F"},  // information separators are no white space here
        {"\x0E\u200Bx\u200B\x01", "\x0E\u200Bx\u200B\x01"},
        {"\xFF x \xE2\x80", "\xFF x \xE2\x80"},  // malformed bytes are content
        {"   ", ""},
    };
    for (const auto& [input, trimmed] : cases) {
        EXPECT_EQ(trimWhitespaceAndNewlines(input), trimmed) << ::testing::PrintToString(std::string(input));
    }
}

// Entries titled exactly by their owner name, numbered in list order.
std::vector<std::uint32_t> orderOf(const std::vector<std::string>& owners) {
    std::vector<WindowEntry> entries;
    for (const auto& owner : owners) {
        entries.push_back(
            {.number = static_cast<std::int64_t>(entries.size() + 1), .name = std::nullopt, .owner = owner});
    }
    std::vector<std::uint32_t> order;
    for (const auto& window : visibleWindowsFrom(doubles::windowList(entries))) {
        order.push_back(window.windowID);
    }
    return order;
}

TEST(TitleOrder, LowercasedComposedScalarValuesWithEqualKeysInListOrder) {
    using Order = std::vector<std::uint32_t>;
    EXPECT_EQ(orderOf({"beta", "Alpha", "gamma", "", "alp"}), (Order{4, 5, 2, 1, 3}));
    EXPECT_EQ(orderOf({"\u00C9cole", "\u00E9cola", "Ecole", "\u0130", "i"}), (Order{3, 5, 4, 2, 1}));
    // Canonically equivalent titles are equal keys.
    EXPECT_EQ(orderOf({"caf\u00E9", "CAF\u00C9", "Cafe\u0301", "cafe"}), (Order{4, 1, 2, 3}));
    // U+FF41 is below U+1F600 as a scalar value, above it in UTF-16 code units.
    EXPECT_EQ(orderOf({"\U0001F600", "\uFF41", "\u03A3", "\u03C2"}), (Order{4, 3, 2, 1}));
    // Enough equal keys, interleaved, that only a stable sort keeps them in order.
    std::vector<std::string> owners;
    Order bees, notes;
    for (std::uint32_t i = 1; i <= 40; ++i) {
        owners.emplace_back(i % 2 == 1 ? "B" : (i % 4 == 0 ? "Notes" : "notes"));
        (i % 2 == 1 ? bees : notes).push_back(i);
    }
    bees.insert(bees.end(), notes.begin(), notes.end());
    EXPECT_EQ(orderOf(owners), bees);
}

TEST(MenubarProbe, EveryQualifyingEntryUpdatesTheHeightAndSaysSo) {
    const auto bar = [](double x, double height, const char* name = "Menubar") {
        return doubles::windowEntry({.name = name, .x = x, .y = 0, .width = 1440, .height = height});
    };
    const auto line = [](int h) { return "Menubar height updated to: " + std::to_string(h) + " pixels."; };
    const Value m = Value::text("Menubar");
    const Value integral = Value::dictionary(
        {{platform::kWindowNameKey, m},
         {platform::kWindowBoundsKey, Value::dictionary({{"X", Value::integer(0)}, {"Height", Value::integer(24)}})}});
    const std::tuple<platform::WindowList, std::int64_t, Lines> cases[] = {
        {{integral}, 24, {line(24)}},  // unchanged, still said
        {{bar(0, 37)}, 37, {line(37)}},
        {{bar(0, 30), bar(0, 25)}, 25, {line(30), line(25)}},
        {{bar(1440, 30)}, 24, {}},
        {{bar(0.5, 30)}, 24, {}},
        {{bar(0, 37.5)}, 24, {}},
        {{bar(0, 30, "menubar")}, 24, {}},
        {{bar(0, 30, "Menubar ")}, 24, {}},
        {{Value::dictionary({{platform::kWindowNameKey, m}, {platform::kWindowBoundsKey, Value::text("0")}})}, 24, {}},
        {{Value::dictionary({{platform::kWindowNameKey, m}})}, 24, {}},
    };
    for (const auto& [snapshot, height, lines] : cases) {
        doubles::RecordingOutput output;
        std::int64_t probed = 24;
        probeMenubarHeight(snapshot, probed, output);
        EXPECT_EQ(probed, height);
        EXPECT_EQ(output.lines, lines);
    }
}

TEST(ValueReadingRules, IntegersOnlyFromWholeNumbersInRangeAndDoublesOnlyWhenExact) {
    constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();
    constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();
    const std::nullopt_t no = std::nullopt;
    // A value, then what it reads as: int32, uint32, int64, double.
    const std::tuple<Value, std::optional<std::int32_t>, std::optional<std::uint32_t>, std::optional<std::int64_t>,
                     std::optional<double>>
        cases[] = {
            {Value::integer(7), 7, 7U, 7, 7.0},
            {Value::floating(37.0), 37, 37U, 37, 37.0},
            {Value::floating(37.5), no, no, no, 37.5},
            {Value::integer(-1), -1, no, -1, -1.0},
            {Value::integer(2147483648), no, 2147483648U, 2147483648, 2147483648.0},
            {Value::floating(2147483648.0), no, 2147483648U, 2147483648, 2147483648.0},
            {Value::integer(4294967296LL), no, no, 4294967296LL, 4294967296.0},
            {Value::floating(4294967296.0), no, no, 4294967296LL, 4294967296.0},
            {Value::floating(9223372036854775808.0), no, no, no, 9223372036854775808.0},
            {Value::floating(-9223372036854775808.0), no, no, int64Min, -9223372036854775808.0},
            {Value::integer(int64Min), no, no, int64Min, -9223372036854775808.0},
            {Value::integer(9007199254740993LL), no, no, 9007199254740993LL, no},  // no double of its own
            {Value::integer(int64Max), no, no, int64Max, no},
            {Value::floating(std::nan("")), no, no, no, std::nan("")},
            {Value::floating(INFINITY), no, no, no, INFINITY},
            {Value::text("7"), no, no, no, no},
        };
    for (const auto& [value, int32, uint32, int64, real] : cases) {
        SCOPED_TRACE(::testing::PrintToString(int64) + " " + ::testing::PrintToString(real));
        EXPECT_EQ(std::tuple(value.asInt32(), value.asUInt32(), value.asInt64()), std::tuple(int32, uint32, int64));
        const auto read = value.asDouble();
        EXPECT_TRUE(read == real || (read && real && std::isnan(*read) && std::isnan(*real)));
    }
}

TEST(ValueReadingRules, TextAndDictionaryOnlyAsThemselves) {
    const Value bounds =
        Value::dictionary({{"X", Value::integer(0)}, {"Height", Value::floating(24)}, {"X", Value::integer(5)}});
    const Value mail = Value::text("Mail");
    EXPECT_EQ(*mail.asText(), "Mail");
    EXPECT_TRUE(!mail.isDictionary() && mail.find("X") == nullptr && mail.entries().empty());
    EXPECT_TRUE(bounds.isDictionary() && bounds.asText() == nullptr && Value::integer(1).asText() == nullptr);
    EXPECT_EQ(bounds.find("X")->asInt64(), 0) << "the first of a repeated key counts";
    EXPECT_EQ(bounds.find("Height")->asInt64(), 24);
    EXPECT_EQ(bounds.find("height"), nullptr);
    EXPECT_EQ(bounds.entries().size(), 3U);
}

TEST(FormatDouble, ShortestRoundTripWithOneFractionalZeroForWholeValues) {
    const std::pair<double, const char*> cases[] = {
        {1920.0, "1920.0"},
        {0.0, "0.0"},
        {-0.0, "-0.0"},
        {0.5, "0.5"},
        {1.0 / 3.0, "0.3333333333333333"},
        {1e16, "10000000000000000.0"},
        {-1e20, "-100000000000000000000.0"},
        {1e-5, "0.00001"},
        {1.5e-6, "1.5e-06"},
        {5e-324, "5e-324"},
        {std::nan(""), "nan"},
        {INFINITY, "inf"},
        {-INFINITY, "-inf"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(platform::formatDouble(value), text);
    }
}

TEST(EscapeControlCharacters, ATitleCannotForgeOrBreakALine) {
    using namespace std::string_literals;
    const std::pair<std::string, const char*> cases[] = {
        {"Line one\nnot matched", "Line one\\nnot matched"},
        {"a\0b"s, "a\\x00b"},
        {"tab\tcr\r\x1b[2J\x7f", "tab\\tcr\\r\\x1b[2J\\x7f"},
        {"next\u0085line\u2028sep\u2029", "next\\u0085line\\u2028sep\\u2029"},
        {"bad \xff\xc3 byte", "bad \\xff\\xc3 byte"},
        {"r\u00e9sum\u00e9 \u65e5\u672c \\path \U0001F389", "r\u00e9sum\u00e9 \u65e5\u672c \\path \U0001F389"},
    };
    for (const auto& [text, escaped] : cases) {
        EXPECT_EQ(escapeControlCharacters(text), escaped);
    }
}

// `tallowin | head -n 1`: once the reader is gone the next line must not end
// the process (SIGPIPE), and no line is written after a failed one, even to
// a standard output that works again.
TEST(StandardOutputOnAClosedPipe, StopsWritingAndTheProcessGoesOn) {
    int closed[2];
    int later[2];
    ASSERT_EQ(::pipe(closed), 0);
    ASSERT_EQ(::pipe(later), 0);
    ::close(closed[0]);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGPIPE, SIG_DFL);  // as a process starts
        ::dup2(closed[1], STDOUT_FILENO);
        StandardOutput output;
        output.writeLine("fails");
        ::dup2(later[1], STDOUT_FILENO);
        output.writeLine("not written");
        ::_exit(42);  // no flush at exit: only writeLine itself may write
    }
    ::close(closed[1]);
    ::close(later[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 42) << "ended by a signal";
    char c = 0;
    EXPECT_EQ(::read(later[0], &c, 1), 0) << "a line was written after a write had failed";
    ::close(later[0]);
}

}  // namespace
}  // namespace tallowin
