#include "app/view_controller.h"
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

void ViewController::saveCaptureSelection(std::int64_t width, std::int64_t height) {
    const auto domain = platform_.preferences.openSuite(kScreenCaptureDomain);
    if (!domain) {
        return;
    }
    domain->setObject({{"X", 0}, {"Y", menubarHeight_}, {"Width", width}, {"Height", height}}, kLastSelectionKey);
    domain->synchronize();
}

void ViewController::minimizeMainWindow() {
    if (platform::MainWindow* window = platform_.application.mainWindow()) {
        window->miniaturize();
        platform_.output.writeLine("Main window minimized");
    } else {
        platform_.output.writeLine("No main window found to minimize.");
    }
}

void ViewController::openScreenshotTool() { platform_.workspace.openURL(platform::FileURL{kScreenshotToolPath}); }

}  // namespace tallowin
