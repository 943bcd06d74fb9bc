#include <gtest/gtest.h>

#include "placement/title_prefix.h"

namespace tallowin {
namespace {

struct PrefixCase {
    const char* window;
    const char* entry;
    bool prefix;
};

TEST(TitlePrefix, UserPerceivedCharactersUpToCanonicalEquivalence) {
    const PrefixCase cases[] = {
        {"Report", "Report - Editor", true},
        {"Report - Editor (2)", "Report - Editor", false},
        {"", "Report - Editor", true},
        {"", "", true},
        {"Report - Editor", "Report - Editor", true},
        {"report", "Report - Editor", false},
        {" Report", "Report - Editor", false},
        {"Caf\u00E9", "Cafe\u0301 - Notes", true},  // composed against decomposed
        {"Cafe\u0301", "Caf\u00E9 - Notes", true},
        {"Cafe", "Caf\u00E9 - Notes", false},   // e is not a beginning of é
        {"Cafe", "Cafe\u0301 - Notes", false},  // nor of e + combining acute
        {"\U0001F468\u200D\U0001F469", "\U0001F468\u200D\U0001F469\u200D\U0001F467 - Family", false},
        {"\U0001F468\u200D\U0001F469\u200D\U0001F467", "\U0001F468\u200D\U0001F469\u200D\U0001F467 - Family", true},
        {"a\u0323\u0307", "a\u0307\u0323 x", true},    // marks in another canonical order
        {"\uD55C", "\u1112\u1161\u11AB\uAE00", true},  // Hangul syllable against its jamo
        {"Doc\xFF", "Doc\xFF - App", true},            // malformed bytes compare as U+FFFD, safely
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isTitlePrefix(c.window, c.entry), c.prefix) << c.window << " / " << c.entry;
    }
}

}  // namespace
}  // namespace tallowin
