#pragma once

#include <optional>
#include <utility>

namespace tallowin::platform {
class AccessibilityServices;
class AXElement;
class LineOutput;
}  // namespace tallowin::platform

namespace tallowin {

// Moves the window to the origin, then gives it the size; each failure is
// reported and the next step still runs.
void setWindowFrame(platform::AccessibilityServices& accessibility, const platform::AXElement& window, double width,
                    double height, platform::LineOutput& output);

// Where the window is once its frame has settled, as read back: position
// (when readable) and size (when readable).
struct PlacedFrame {
    std::optional<std::pair<double, double>> position;
    std::optional<std::pair<double, double>> size;
};

// Reads the frame back after the size step. When it is not the asked size,
// or the platform names what keeps it from being placed whole, prints one
// line that says where the window is and, when known, why.
PlacedFrame reportPlacedFrame(platform::AccessibilityServices& accessibility, const platform::AXElement& window,
                              double width, double height, platform::LineOutput& output);

// Raises the window and reports the outcome either way.
void raiseWindow(platform::AccessibilityServices& accessibility, const platform::AXElement& window,
                 platform::LineOutput& output);

}  // namespace tallowin
