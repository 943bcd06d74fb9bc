#include "placement/window_geometry.h"

#include <string_view>

#include "placement/ax_error_text.h"
#include "platform/accessibility.h"
#include "platform/line_output.h"

namespace tallowin {

namespace {

// Sets one geometry attribute from a value made for this call alone.
void setGeometry(platform::AccessibilityServices& accessibility, const platform::AXElement& window,
                 std::string_view attribute, platform::AxValueKind type, double first, double second,
                 platform::LineOutput& output, std::string_view failurePrefix) {
    const platform::AXValuePtr value = accessibility.createValue(type, first, second);
    if (!value) {
        return;
    }
    const platform::AxError error = accessibility.setAttributeValue(window, attribute, *value);
    if (error != platform::AxError::success) {
        output.writeLine(std::string(failurePrefix) + axErrorText(error));
    }
}

}  // namespace

void setWindowFrame(platform::AccessibilityServices& accessibility, const platform::AXElement& window, double width,
                    double height, platform::LineOutput& output) {
    setGeometry(accessibility, window, platform::kAXPositionAttributeName, platform::AxValueKind::point, 0.0, 0.0,
                output, "Failed to set window position. AXError: ");
    setGeometry(accessibility, window, platform::kAXSizeAttributeName, platform::AxValueKind::size, width, height,
                output, "Failed to set window size. AXError: ");
}

void raiseWindow(platform::AccessibilityServices& accessibility, const platform::AXElement& window,
                 platform::LineOutput& output) {
    const platform::AxError error = accessibility.performAction(window, platform::kAXRaiseActionName);
    if (error == platform::AxError::success) {
        output.writeLine("Window successfully brought to front.");
    } else {
        output.writeLine("Failed to bring window to front. AXError: " + axErrorText(error));
    }
}

}  // namespace tallowin
