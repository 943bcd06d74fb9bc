#include <gtest/gtest.h>

#include <cmath>

#include "app/standard_output.h"
#include "platform/number_text.h"

namespace tallowin {
namespace {

TEST(FormatDouble, ShortestRoundTripWithOneFractionalZeroForWholeValues) {
    const std::pair<double, const char*> cases[] = {
        {1920.0, "1920.0"},
        {0.0, "0.0"},
        {-0.0, "-0.0"},
        {-25.0, "-25.0"},
        {0.5, "0.5"},
        {0.1, "0.1"},
        {1.0 / 3.0, "0.3333333333333333"},
        {1919.9999999999998, "1919.9999999999998"},
        {123456789.5, "123456789.5"},
        {9007199254740993.0, "9007199254740992.0"},
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

}  // namespace
}  // namespace tallowin
