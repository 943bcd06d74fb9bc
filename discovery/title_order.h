#pragma once

#include <string>
#include <string_view>

namespace tallowin {

// The key titles are ordered by: the locale-independent lowercase mapping,
// then NFC, as UTF-8. Comparing keys byte by byte is comparing them by
// Unicode scalar value, a prefix first.
std::string titleSortKey(std::string_view title);

}  // namespace tallowin
