#include "shell/recorders/wf_recorder.h"

#include <array>
#include <ctime>

namespace tallowin::recorders {

namespace {

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace

std::string wfRecorderCommand(const platform::CaptureRectangle& rectangle, const std::filesystem::path& file) {
    const std::string geometry = std::to_string(rectangle.x) + "," + std::to_string(rectangle.y) + " " +
                                 std::to_string(rectangle.width) + "x" + std::to_string(rectangle.height);
    return "wf-recorder -g " + shellQuoted(geometry) + " -f " + shellQuoted(file.string());
}

std::filesystem::path wfRecorderFile(const std::filesystem::path& videos, const std::filesystem::path& home) {
    std::error_code error;
    const auto& folder = !videos.empty() && std::filesystem::is_directory(videos, error) ? videos : home;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::array<char, 32> name{};
    std::strftime(name.data(), name.size(), "tallowin-%Y%m%d-%H%M%S.mp4", &local);
    return folder / name.data();
}

std::string wfRecorderLine(const platform::CaptureRectangle& rectangle, const std::filesystem::path& file) {
    return "wf-recorder records from the moment it starts, so Tallowin leaves starting it to you; to record " +
           std::to_string(rectangle.width) + "x" + std::to_string(rectangle.height) + " at " +
           std::to_string(rectangle.x) + "," + std::to_string(rectangle.y) +
           ", run this and stop it with Ctrl+C: " + wfRecorderCommand(rectangle, file);
}

}  // namespace tallowin::recorders
