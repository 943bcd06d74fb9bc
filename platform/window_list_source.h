#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/value.h"

namespace tallowin::platform {

using WindowListOption = std::uint32_t;
inline constexpr WindowListOption kWindowListOnScreenOnly = 1;
inline constexpr WindowListOption kWindowListExcludeDesktopElements = 16;
// Only the window named as the relative window, wherever it is.
inline constexpr WindowListOption kWindowListOptionIncludingWindow = 8;
inline constexpr std::uint32_t kNullWindowID = 0;

// Keys of a window-list entry, spelled as the window server spells them.
inline constexpr const char* kWindowNumberKey = "kCGWindowNumber";
inline constexpr const char* kWindowOwnerPIDKey = "kCGWindowOwnerPID";
inline constexpr const char* kWindowNameKey = "kCGWindowName";
inline constexpr const char* kWindowOwnerNameKey = "kCGWindowOwnerName";
inline constexpr const char* kWindowBoundsKey = "kCGWindowBounds";
inline constexpr const char* kWindowAlphaKey = "kCGWindowAlpha";

// The window server's own conventions, which every provider follows and the
// core relies on: the menu bar is a window of this name, owned by this owner,
// whose height is the band at the top of the screen that windows stay below.
inline constexpr std::string_view kMenubarWindowName = "Menubar";
inline constexpr std::string_view kWindowServerOwnerName = "Window Server";

class WindowListSource {
public:
    virtual ~WindowListSource() = default;

    // The on-screen windows, front to back, or nothing when no list can be had.
    virtual std::optional<WindowList> copyWindowInfo(WindowListOption options, std::uint32_t relativeToWindow) = 0;
};

}  // namespace tallowin::platform
