#pragma once

#include <cstdint>

namespace tallowin::platform {
class LineOutput;
class MainWindowSource;
class Preferences;
class Workspace;
}  // namespace tallowin::platform

namespace tallowin {

// Stores X left, Y top, width and height as the screenshot tool's last
// selection, replacing the whole earlier value. When the domain cannot be
// opened or written, says so: the tool would otherwise record the old one.
void storeCaptureSelection(platform::Preferences& preferences, std::int64_t left, std::int64_t top, std::int64_t width,
                           std::int64_t height, platform::LineOutput& output);

// Miniaturizes the application's main window and says so, or says there is none.
void minimizeApplicationWindow(platform::MainWindowSource& application, platform::LineOutput& output);

// Asks the system to open the screenshot tool; the outcome is not examined.
void openScreenshotToolIn(platform::Workspace& workspace);

}  // namespace tallowin
