#include "shell/recorders/ssr_settings.h"

#include <cstdlib>
#include <utility>

#include "shell/recorders/ini_text.h"
#include "shell/recorders/recorder_choice.h"

namespace tallowin::recorders {

std::filesystem::path ssrUserSettingsFile() {
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "") / ".ssr" / "settings.conf";
}

std::filesystem::path ssrOwnSettingsFile() { return tallowinConfigFolder() / "simplescreenrecorder.conf"; }

std::string ssrSettingsWithArea(std::string_view userSettings, const platform::CaptureRectangle& rectangle) {
    const std::pair<const char*, std::string> entries[] = {
        {"video_area", "fixed"},
        {"video_x", std::to_string(rectangle.x)},
        {"video_y", std::to_string(rectangle.y)},
        {"video_w", std::to_string(rectangle.width)},
        {"video_h", std::to_string(rectangle.height)},
        {"video_backend", "x11"},
        {"video_x11_area", "fixed"},
        {"video_x11_x", std::to_string(rectangle.x)},
        {"video_x11_y", std::to_string(rectangle.y)},
        {"video_x11_width", std::to_string(rectangle.width)},
        {"video_x11_height", std::to_string(rectangle.height)},
    };
    std::string text(userSettings);
    for (const auto& [key, value] : entries) {
        text = withIniValue(text, "input", key, value);
    }
    return text;
}

}  // namespace tallowin::recorders
