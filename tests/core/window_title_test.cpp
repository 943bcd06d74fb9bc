#include <gtest/gtest.h>

#include <optional>

#include "discovery/window_title.h"

namespace tallowin {
namespace {

struct TitleCase {
    const char* what;
    std::optional<std::string> name;
    std::optional<std::string> owner;
    std::string title;
};

TEST(DisplayTitle, NameAndOwnerRule) {
    const TitleCase cases[] = {
        {"padded name", "  Inbox \n", "Mail", "Inbox - Mail"},
        {"blank name", "   ", "Finder", "Finder"},
        {"no name", std::nullopt, "Finder", "Finder"},
        {"no owner", "Report", std::nullopt, ""},
        {"neither", std::nullopt, std::nullopt, ""},
        {"empty name", "", "Finder", "Finder"},
        {"owner kept as it comes", "Doc", " Pages ", "Doc -  Pages "},
        {"inner spaces kept", " a  b ", "X", "a  b - X"},
        {"empty owner", "Doc", "", "Doc - "},
    };
    for (const auto& c : cases) {
        const std::string* name = c.name ? &*c.name : nullptr;
        const std::string* owner = c.owner ? &*c.owner : nullptr;
        EXPECT_EQ(displayTitle(name, owner), c.title) << c.what;
    }
}

TEST(TrimWhitespaceAndNewlines, UnicodeSeparatorsAndControls) {
    const std::pair<const char*, const char*> cases[] = {
        {"\t\n\v\f\r x \r\n", "x"},
        {"\u00A0x\u00A0", "x"},              // no-break space (Zs)
        {"\u2028\u2029x\u3000", "x"},        // line and paragraph separators, ideographic space
        {"\u0085x\u202F", "x"},              // next line, narrow no-break space
        {"\u200Bx\u200B", "\u200Bx\u200B"},  // zero width space is Cf, not a separator
        {"\u0001x", "\u0001x"},              // other controls stay
        {"\u00E9t\u00E9 ", "\u00E9t\u00E9"},
        {"\xFF x", "\xFF x"},          // malformed bytes are content
        {"x \xE2\x80", "x \xE2\x80"},  // truncated sequence at the end
        {"   ", ""},
        {"", ""},
    };
    for (const auto& [input, trimmed] : cases) {
        EXPECT_EQ(trimWhitespaceAndNewlines(input), trimmed) << input;
    }
}

}  // namespace
}  // namespace tallowin
