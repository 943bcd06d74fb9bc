#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tallowin::plist {

// What a file is to hold next.
struct Replacement {
    std::string bytes;      // empty: leave the file alone and fail
    bool setAside = false;  // keep what the file holds now under a new name beside it
};

// Given what the file holds now: empty when it is missing, nothing when it
// is larger than the caller's limit.
using Rewrite = std::function<Replacement(std::optional<std::string_view> current)>;

// Replaces, under an exclusive lock, the file that `path` finally names once
// its symbolic links are followed; the links stay links. The new file takes
// the old one's permissions and, where allowed, its owner, and appears whole
// or not at all. False when any step fails.
bool replaceFile(const std::filesystem::path& path, std::size_t largestBytes, const Rewrite& rewrite);

}  // namespace tallowin::plist
