#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tallowin::recorders {

// Settings files of other programs are small; anything larger is refused.
inline constexpr std::size_t kLargestSettingsBytes = 4U << 20U;

struct FileText {
    bool missing = false;
    std::optional<std::string> text;  // nothing: unreadable (then `reason` says why)
    std::string reason;
};

FileText readSettingsFile(const std::filesystem::path& path);

// Rewrites the file atomically under a lock, keeping its mode and its
// symbolic link (the folder is made when missing); `edit` gets what the file
// holds now (empty when missing). False when any step fails.
bool rewriteSettingsFile(const std::filesystem::path& path, const std::function<std::string(std::string_view)>& edit);

}  // namespace tallowin::recorders
