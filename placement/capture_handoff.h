#pragma once

#include <cstdint>

#include "platform/workspace.h"

namespace tallowin::platform {
class LineOutput;
class MainWindowSource;
class Preferences;
}  // namespace tallowin::platform

namespace tallowin {

// Stores X left, Y top, width and height as the screenshot tool's last
// selection, replacing the whole earlier value, on the main display. When
// the domain cannot be opened or written, says so: the tool would otherwise
// record the old one. Yields the rectangle it stored (or would have stored):
// the one place that decides it, so the handoff takes it from here.
platform::CaptureRectangle storeCaptureSelection(platform::Preferences& preferences, std::int64_t left,
                                                 std::int64_t top, std::int64_t width, std::int64_t height,
                                                 platform::LineOutput& output);

// Miniaturizes the application's main window and says so, or says there is none.
void minimizeApplicationWindow(platform::MainWindowSource& application, platform::LineOutput& output);

// Asks the system to open the screenshot tool; the outcome is not examined.
void openScreenshotToolIn(platform::Workspace& workspace);

// The same, with the rectangle just stored and the window placed there, so
// a platform whose recorder takes the rectangle directly can hand it over.
void openScreenshotToolIn(platform::Workspace& workspace, const platform::CaptureRectangle& rectangle,
                          std::uint32_t windowNumber);

}  // namespace tallowin
