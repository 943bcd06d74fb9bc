#pragma once

#include "discovery/visible_window.h"
#include "platform/accessibility.h"

namespace tallowin::platform {
class LineOutput;
}

namespace tallowin {

// Whether one Accessibility window is the listed one: its title begins the
// entry's title, and its position (when readable) and size equal the entry's.
// Traces every stage on output.
bool windowMatchesEntry(platform::AccessibilityServices& accessibility, const platform::AXElement& window,
                        const VisibleWindow& entry, platform::LineOutput& output);

}  // namespace tallowin
