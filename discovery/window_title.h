#pragma once

#include <string>
#include <string_view>

namespace tallowin {

// Strips Unicode separators (Zs, Zl, Zp), tab, U+000A..U+000D and U+0085
// from both ends of a UTF-8 text.
std::string_view trimWhitespaceAndNewlines(std::string_view text);

// "<window name> - <owner name>" with the name trimmed; the owner alone when
// the name is missing or blank; empty without an owner.
std::string displayTitle(const std::string* windowName, const std::string* ownerName);

}  // namespace tallowin
