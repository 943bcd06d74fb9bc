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
constexpr const char* kScreenshotToolPath = "/System/Applications/Utilities/Screenshot.app";
}  // namespace

void storeCaptureSelection(platform::Preferences& preferences, std::int64_t left, std::int64_t top, std::int64_t width,
                           std::int64_t height, platform::LineOutput& output) {
    const auto domain = preferences.openSuite(kScreenCaptureDomain);
    if (!domain) {
        output.writeLine(std::string("Capture selection not stored: the preferences domain ") + kScreenCaptureDomain +
                         " could not be opened.");
        return;
    }
    domain->setObject({{"X", left}, {"Y", top}, {"Width", width}, {"Height", height}}, kLastSelectionKey);
    if (!domain->synchronize()) {
        output.writeLine(std::string("Capture selection not stored: the preferences domain ") + kScreenCaptureDomain +
                         " could not be written.");
    }
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

}  // namespace tallowin
