#include <gtest/gtest.h>

#include <limits>

#include "placement/resolution_parser.h"

namespace tallowin {
namespace {

struct Accepted {
    const char* text;
    std::int64_t width;
    std::int64_t height;
};

TEST(ParseResolution, AcceptedForms) {
    const Accepted cases[] = {
        {"1920x1080", 1920, 1080},   {"1280x720", 1280, 720},     {"0x0", 0, 0},  {"007x08", 7, 8},
        {"+1920x+1080", 1920, 1080}, {"-1920x1080", -1920, 1080}, {"1x-0", 1, 0},
    };
    for (const auto& c : cases) {
        const auto parsed = parseResolution(c.text);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(parsed->width, c.width) << c.text;
        EXPECT_EQ(parsed->height, c.height) << c.text;
    }
}

TEST(ParseResolution, EmptyPiecesAreDropped) {
    for (const char* text : {"x1920x1080", "1920xx1080", "1920x1080x", "xx1920xxx1080xx"}) {
        const auto parsed = parseResolution(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(parsed->width, 1920);
        EXPECT_EQ(parsed->height, 1080);
    }
}

TEST(ParseResolution, WrongNumberOfPieces) {
    for (const char* text : {"", "x", "xxx", "1920", "1920x", "1920x1080x720"}) {
        EXPECT_FALSE(parseResolution(text)) << text;
    }
}

TEST(ParseResolution, CapitalsAndLookAlikesDoNotSplit) {
    for (const char* text : {"1920X1080", "1920\u00D71080", "1920\uFF581080", "1920\u04451080",
                             "1920x\u03011080",  // x with a combining acute is one character, not an "x"
                             "1920x\u200D1080"}) {
        EXPECT_FALSE(parseResolution(text)) << text;
    }
}

TEST(ParseResolution, WhiteSpaceIsNeverTrimmed) {
    for (const char* text :
         {" 1920x1080", "1920x1080 ", "1920 x 1080", "1920x1080\n", "1920\tx1080", "1920x\u00A01080"}) {
        EXPECT_FALSE(parseResolution(text)) << text;
    }
}

TEST(ParseResolution, SignsAndDigits) {
    for (const char* text :
         {"+x1080", "-x1080", "1920x+", "++1920x1080", "+-1920x1080", "19-20x1080", "1,920x1080", "1920x1080.0",
          "0x10x20", "\u0661\u0669x1080", "\uFF11x1080", "1920x\xFF", "19\xC0x1080"}) {
        EXPECT_FALSE(parseResolution(text)) << text;
    }
}

TEST(ParseResolution, OverflowAtBothEnds) {
    const auto max = parseResolution("9223372036854775807x1");
    ASSERT_TRUE(max);
    EXPECT_EQ(max->width, std::numeric_limits<std::int64_t>::max());
    const auto min = parseResolution("-9223372036854775808x1");
    ASSERT_TRUE(min);
    EXPECT_EQ(min->width, std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(parseResolution("1x-9223372036854775808")->height, std::numeric_limits<std::int64_t>::min());
    for (const char* text : {"9223372036854775808x1", "-9223372036854775809x1", "1x99999999999999999999",
                             "00000000000000000000009223372036854775808x1"}) {
        EXPECT_FALSE(parseResolution(text)) << text;
    }
    EXPECT_TRUE(parseResolution("00000000000000000000009223372036854775807x1"));
}

}  // namespace
}  // namespace tallowin
