#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "app/standard_output.h"
#include "platform/number_text.h"
#include "platform/value.h"

namespace tallowin {
namespace {

using platform::Value;

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
