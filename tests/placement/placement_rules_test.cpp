#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "placement/capture_size.h"
#include "placement/resolution_parser.h"
#include "placement/title_prefix.h"

namespace tallowin {
namespace {

constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
constexpr auto kMin = std::numeric_limits<std::int64_t>::min();

TEST(ParseResolution, TwoSignedDecimalPiecesSplitAtEveryStandaloneX) {
    const std::tuple<const char*, std::int64_t, std::int64_t> accepted[] = {
        {"1920x1080", 1920, 1080},
        {"007x08", 7, 8},
        {"+1920x+1080", 1920, 1080},
        {"-1920x-0", -1920, 0},
        {"xx1920xxx1080xx", 1920, 1080},
        {"9223372036854775807x-9223372036854775808", kMax, kMin},
        {"00000000000000000000009223372036854775807x1", kMax, 1},
    };
    for (const auto& [text, width, height] : accepted) {
        const auto parsed = parseResolution(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(std::pair(parsed->width, parsed->height), std::pair(width, height)) << text;
    }
    // "x" with a combining acute is one character, not an "x".
    for (const char* text :
         {"9223372036854775808x1", "1x-9223372036854775809", "1x99999999999999999999", "", "xxx", "1920x1080x720",
          "1920X1080", "1920\uFF581080", "1920x\u03011080", "1920x\u0301x1080", " 1920x1080", "+x1080", "19-20x1080",
          "1920x1080.0", "1920x10:0", "\u0661\u0669x1080", "19\xC0x1080"}) {
        EXPECT_FALSE(parseResolution(text)) << ::testing::PrintToString(std::string(text));
    }
}

TEST(TitlePrefix, UserPerceivedCharactersUpToCanonicalEquivalence) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"Report", "Report - Editor", true},
        {"", "Report - Editor", true},
        {"Report - Editor", "Report - Editor", true},
        {"Report - Editor (2)", "Report - Editor", false},
        {"report", "Report - Editor", false},
        {"Repost", "Report - Editor", false},
        {" Report", "Report - Editor", false},
        {"Caf\u00E9", "Cafe\u0301 - Notes", true},
        {"Cafe\u0301", "Caf\u00E9 - Notes", true},
        {"Cafe", "Caf\u00E9 - Notes", false},
        {"Cafe", "Cafe\u0301 - Notes", false},
        {"\U0001F468\u200D\U0001F469", "\U0001F468\u200D\U0001F469\u200D\U0001F467 - Family", false},
        {"a\u0323\u0307", "a\u0307\u0323 x", true},
        {"\uD55C", "\u1112\u1161\u11AB\uAE00", true},
        {"Doc\xFF", "Doc\xFF - App", true},
    };
    for (const auto& [window, entry, prefix] : cases) {
        EXPECT_EQ(isTitlePrefix(window, entry), prefix) << window << " / " << entry;
    }
}

TEST(CaptureSize, TruncatesTowardZeroAndSaturatesBeyondTheRange) {
    const std::pair<double, std::int64_t> cases[] = {
        {1920.0, 1920},
        {-1919.9, -1919},
        {1919.9, 1919},
        {9007199254740992.0, 9007199254740992},
        {9223372036854775808.0, kMax},
        {-9223372036854775808.0, kMin},
        {-INFINITY, kMin},
        {std::nan(""), 0},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(toCaptureInteger(value), expected) << value;
    }
}

}  // namespace
}  // namespace tallowin
