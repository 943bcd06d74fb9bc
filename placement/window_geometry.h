#pragma once

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

// Raises the window and reports the outcome either way.
void raiseWindow(platform::AccessibilityServices& accessibility, const platform::AXElement& window,
                 platform::LineOutput& output);

}  // namespace tallowin
