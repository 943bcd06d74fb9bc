#include "app/view_controller.h"
#include "placement/capture_handoff.h"
#include "placement/capture_size.h"
#include "placement/placement_request.h"
#include "placement/window_geometry.h"
#include "placement/window_lookup.h"
#include "platform/list_control.h"
#include "platform/provider.h"

namespace tallowin {

void ViewController::handlePlaceButtonClick() {
    const auto request =
        placementRequestFrom(windowListComboBox().get(), resolutionComboBox().get(), visibleWindows_, platform_.output);
    if (request) {
        placeWindow(request->window, request->width, request->height);
    }
}

void ViewController::placeWindow(const VisibleWindow& window, double width, double height) {
    auto& accessibility = platform_.system.accessibility();
    const auto match = findListedWindow(accessibility, window, platform_.output, &platform_.system.windowList());
    if (!match) {
        return;
    }
    setWindowFrame(accessibility, *match->window, width, height, platform_.output);
    saveCaptureSelection(toCaptureInteger(width), toCaptureInteger(height));
    bringWindowToFront(*match->window);
    minimizeMainWindow();
    openScreenshotTool();
}

void ViewController::bringWindowToFront(const platform::AXElement& window) {
    raiseWindow(platform_.system.accessibility(), window, platform_.output);
}

void ViewController::saveCaptureSelection(std::int64_t width, std::int64_t height) {
    storeCaptureSelection(platform_.system.preferences(), menubarHeight_, width, height, platform_.output);
}

void ViewController::minimizeMainWindow() { minimizeApplicationWindow(platform_.application, platform_.output); }

void ViewController::openScreenshotTool() { openScreenshotToolIn(platform_.workspace); }

}  // namespace tallowin
