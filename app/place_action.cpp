#include <utility>

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
    placedWindowNumber_ = window.windowID;
    setWindowFrame(accessibility, *match->window, width, height, platform_.output);
    // The platform keeps the window inside the area windows may take (below
    // the menu bar, beside a panel): the rectangle goes where the window went.
    const PlacedFrame placed = reportPlacedFrame(accessibility, *match->window, width, height, platform_.output);
    saveCaptureSelection(toCaptureInteger(width), toCaptureInteger(height), placed.position);
    bringWindowToFront(*match->window);
    minimizeMainWindow();
    openScreenshotTool();
}

void ViewController::bringWindowToFront(const platform::AXElement& window) {
    raiseWindow(platform_.system.accessibility(), window, platform_.output);
}

void ViewController::saveCaptureSelection(std::int64_t width, std::int64_t height,
                                          std::optional<std::pair<double, double>> placedAt) {
    const std::int64_t left = placedAt ? toCaptureInteger(placedAt->first) : 0;
    const std::int64_t top = placedAt ? toCaptureInteger(placedAt->second) : menubarHeight_;
    captureSelection_ =
        storeCaptureSelection(platform_.system.preferences(), left, top, width, height, platform_.output);
}

void ViewController::minimizeMainWindow() { minimizeApplicationWindow(platform_.application, platform_.output); }

void ViewController::openScreenshotTool() {
    if (captureSelection_) {
        openScreenshotToolIn(platform_.workspace, *std::exchange(captureSelection_, std::nullopt), placedWindowNumber_);
    } else {
        openScreenshotToolIn(platform_.workspace);
    }
}

}  // namespace tallowin
