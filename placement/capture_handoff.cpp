#include "placement/capture_handoff.h"

#include <string>

#include "platform/line_output.h"
#include "platform/main_window.h"
#include "platform/preferences.h"
#include "platform/workspace.h"

namespace tallowin {

namespace {
constexpr const char* kScreenCaptureDomain = "com.apple.screencapture";
constexpr const char* kLastSelectionKey = "last-selection";
// The display the selection belongs to, 0 the main one, which the placed
// window is on: a selection left on another display would open there.
constexpr const char* kLastSelectionDisplayKey = "last-selection-display";
constexpr const char* kScreenshotToolPath = "/System/Applications/Utilities/Screenshot.app";
}  // namespace

platform::CaptureRectangle storeCaptureSelection(platform::Preferences& preferences, std::int64_t left,
                                                 std::int64_t top, std::int64_t width, std::int64_t height,
                                                 platform::LineOutput& output) {
    const platform::CaptureRectangle rectangle{left, top, width, height};
    const auto domain = preferences.openSuite(kScreenCaptureDomain);
    if (!domain) {
        output.writeLine(std::string("Capture selection not stored: the preferences domain ") + kScreenCaptureDomain +
                         " could not be opened.");
        return rectangle;
    }
    domain->setObject(
        {{"X", rectangle.x}, {"Y", rectangle.y}, {"Width", rectangle.width}, {"Height", rectangle.height}},
        kLastSelectionKey);
    domain->setInteger(0, kLastSelectionDisplayKey);
    if (!domain->synchronize()) {
        output.writeLine(std::string("Capture selection not stored: the preferences domain ") + kScreenCaptureDomain +
                         " could not be written.");
    }
    return rectangle;
}

void minimizeApplicationWindow(platform::MainWindowSource& application, platform::LineOutput& output) {
    if (platform::MainWindow* window = application.mainWindow()) {
        window->miniaturize();
        output.writeLine("Main window minimized");
    } else {
        output.writeLine("No main window found to minimize.");
    }
}

void openScreenshotToolIn(platform::Workspace& workspace) { workspace.openURL(platform::FileURL{kScreenshotToolPath}); }

void openScreenshotToolIn(platform::Workspace& workspace, const platform::CaptureRectangle& rectangle,
                          std::uint32_t windowNumber) {
    workspace.openCaptureTool({platform::FileURL{kScreenshotToolPath}, rectangle, windowNumber});
}

}  // namespace tallowin
