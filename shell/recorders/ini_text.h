#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tallowin::recorders {

// INI text read and edited line by line, for files of other programs: every
// line an edit does not concern stays byte for byte, comments and order
// included (a QSettings rewrite would drop comments and reorder keys).
// Keys are matched exactly, around trimmed blanks; a value in double
// quotes is read without them.
std::optional<std::string> iniValue(std::string_view text, std::string_view section, std::string_view key);

// The text with key = value in the section: the key's line is rewritten in
// place, or a line is added after the section's last key, or the section is
// added at the end.
std::string withIniValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value);

}  // namespace tallowin::recorders
