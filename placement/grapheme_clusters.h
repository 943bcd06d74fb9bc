#pragma once

#include <string_view>
#include <vector>

#include <unicode/unistr.h>

namespace tallowin {

// The user-perceived characters (extended grapheme clusters) of a UTF-8
// text; malformed bytes become U+FFFD.
std::vector<icu::UnicodeString> graphemeClusters(std::string_view text);

}  // namespace tallowin
