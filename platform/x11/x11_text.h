#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tallowin::x11 {

// Pure text conversions for X text properties; no X calls.

// Invalid sequences become U+FFFD, so what leaves the provider is always UTF-8.
std::string repairUtf8(std::string_view bytes);

// STRING properties are ISO 8859-1.
std::string latin1ToUtf8(std::string_view bytes);

enum class TextEncoding { Utf8, Latin1, CompoundText, Unknown };

// A text property's value as UTF-8, or nothing when its encoding cannot be
// decoded without Xlib (COMPOUND_TEXT that switches character sets).
std::optional<std::string> decodeTextProperty(TextEncoding encoding, std::string_view bytes);

}  // namespace tallowin::x11
