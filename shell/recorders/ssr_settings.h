#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/workspace.h"

namespace tallowin::recorders {

// The user's SimpleScreenRecorder settings: ~/.ssr/settings.conf.
std::filesystem::path ssrUserSettingsFile();

// Tallowin's own copy, which SimpleScreenRecorder is started with.
std::filesystem::path ssrOwnSettingsFile();

// The user's settings with the fixed area set to the rectangle, under the
// keys of 0.4 (video_area, video_x ...) and of later releases (video_backend,
// video_x11_area, video_x11_x ...); every other line kept.
std::string ssrSettingsWithArea(std::string_view userSettings, const platform::CaptureRectangle& rectangle);

}  // namespace tallowin::recorders
