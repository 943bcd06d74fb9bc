#pragma once

#include <optional>

#include "discovery/visible_window.h"
#include "platform/accessibility.h"

namespace tallowin::platform {
class LineOutput;
class WindowListSource;
}  // namespace tallowin::platform

namespace tallowin {

// Whether one Accessibility window is the listed one: its title begins the
// entry's title, and its position (when readable) and size equal the entry's.
// Traces every stage on output.
bool windowMatchesEntry(platform::AccessibilityServices& accessibility, const platform::AXElement& window,
                        const VisibleWindow& entry, platform::LineOutput& output);

// The listed window found among its owner's Accessibility windows. The
// application element is kept with it: both go when the placement ends.
struct MatchedWindow {
    platform::AXElementPtr application;
    platform::AXElementPtr window;
};

// Checks the permission, then visits the owner's windows in their order until
// one matches; every failure is reported as its one line.
//
// The entry may be up to a refresh old. Given the window list, a lookup that
// finds no match takes a fresh listing of that one window; when the window
// moved, was resized or retitled since, it looks once more with the fresh
// entry. A window that is gone, or listed as it was, ends as before.
std::optional<MatchedWindow> findListedWindow(platform::AccessibilityServices& accessibility,
                                              const VisibleWindow& entry, platform::LineOutput& output,
                                              platform::WindowListSource* windowList = nullptr);

}  // namespace tallowin
