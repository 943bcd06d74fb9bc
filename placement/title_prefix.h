#pragma once

#include <string_view>

namespace tallowin {

// Whether entryTitle begins with windowTitle, comparing user-perceived
// characters up to canonical equivalence.
bool isTitlePrefix(std::string_view windowTitle, std::string_view entryTitle);

}  // namespace tallowin
