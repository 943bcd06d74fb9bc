#include "shell/recorders/user_files.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/plist/file_replacement.h"

namespace tallowin::recorders {

FileText readSettingsFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        if (error == std::errc::no_such_file_or_directory) {
            return {.missing = true, .text = std::string{}, .reason = {}};
        }
        return {.missing = false, .text = std::nullopt, .reason = error.message()};
    }
    if (size > kLargestSettingsBytes) {
        return {.missing = false, .text = std::nullopt, .reason = "larger than 4 MiB"};
    }
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return {.missing = false, .text = std::nullopt, .reason = std::strerror(errno)};
    }
    std::ostringstream contents;
    contents << stream.rdbuf();
    if (stream.bad()) {
        return {.missing = false, .text = std::nullopt, .reason = "read error"};
    }
    return {.missing = false, .text = contents.str(), .reason = {}};
}

bool rewriteSettingsFile(const std::filesystem::path& path, const std::function<std::string(std::string_view)>& edit) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    return plist::replaceFile(path, kLargestSettingsBytes, [&](std::optional<std::string_view> current) {
        if (!current) {
            return plist::Replacement{};
        }
        return plist::Replacement{.bytes = edit(*current), .setAside = false};
    });
}

}  // namespace tallowin::recorders
