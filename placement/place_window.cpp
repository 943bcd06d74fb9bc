#include <string>
#include <variant>

#include "app/view_controller.h"
#include "placement/ax_error_text.h"
#include "placement/capture_size.h"
#include "placement/window_lookup.h"
#include "platform/accessibility.h"
#include "platform/line_output.h"

namespace tallowin {

namespace {

// Sets one geometry attribute from a value made for this call alone.
void setGeometry(platform::AccessibilityServices& accessibility, const platform::AXElement& window,
                 std::string_view attribute, platform::AxValueKind type, double first, double second,
                 platform::LineOutput& output, const char* failurePrefix) {
    const platform::AXValuePtr value = accessibility.createValue(type, first, second);
    if (!value) {
        return;
    }
    const platform::AxError error = accessibility.setAttributeValue(window, attribute, *value);
    if (error != platform::AxError::success) {
        output.writeLine(failurePrefix + axErrorText(error));
    }
}

}  // namespace

void ViewController::placeWindow(const VisibleWindow& window, double width, double height) {
    auto& accessibility = platform_.accessibility;
    auto& output = platform_.output;
    if (!accessibility.isProcessTrusted()) {
        output.writeLine(
            "Accessibility permissions not granted. Please enable in System Settings > Privacy & Security > "
            "Accessibility.");
        return;
    }
    const platform::AXElementPtr application = accessibility.createApplication(window.pid);
    platform::AXCopyResult windows = accessibility.copyAttributeValue(*application, platform::kAXWindowsAttributeName);
    auto* candidates = std::get_if<platform::AXElementArray>(&windows.value);
    if (windows.error != platform::AxError::success || candidates == nullptr) {
        // A success without a list of windows is as useless as a failure.
        const platform::AxError error =
            windows.error != platform::AxError::success ? windows.error : platform::AxError::noValue;
        output.writeLine("Could not retrieve windows for PID " + std::to_string(window.pid) +
                         ". Error: " + axErrorText(error));
        return;
    }

    platform::AXElementPtr match;
    for (platform::AXElementPtr& candidate : *candidates) {
        if (candidate && windowMatchesEntry(accessibility, *candidate, window, output)) {
            match = std::move(candidate);
            break;
        }
    }
    windows.value = std::monostate{};  // the other windows are done with
    if (!match) {
        output.writeLine("No matching AXUIElement for windowID " + std::to_string(window.windowID) + ".");
        return;
    }

    setGeometry(accessibility, *match, platform::kAXPositionAttributeName, platform::AxValueKind::point, 0.0, 0.0,
                output, "Failed to set window position. AXError: ");
    setGeometry(accessibility, *match, platform::kAXSizeAttributeName, platform::AxValueKind::size, width, height,
                output, "Failed to set window size. AXError: ");
    saveCaptureSelection(toCaptureInteger(width), toCaptureInteger(height));
    bringWindowToFront(*match);
    minimizeMainWindow();
    openScreenshotTool();
}

void ViewController::bringWindowToFront(const platform::AXElement& window) {
    const platform::AxError error = platform_.accessibility.performAction(window, platform::kAXRaiseActionName);
    if (error == platform::AxError::success) {
        platform_.output.writeLine("Window successfully brought to front.");
    } else {
        platform_.output.writeLine("Failed to bring window to front. AXError: " + axErrorText(error));
    }
}

}  // namespace tallowin
