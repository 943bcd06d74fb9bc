#pragma once

#include <cstdint>
#include <optional>

#include "platform/value.h"

namespace tallowin::platform {

using WindowListOption = std::uint32_t;
inline constexpr WindowListOption kCGWindowListOptionOnScreenOnly = 1;
inline constexpr WindowListOption kCGWindowListExcludeDesktopElements = 16;
inline constexpr std::uint32_t kCGNullWindowID = 0;

// Keys of a window-list entry, spelled as the window server spells them.
inline constexpr const char* kCGWindowNumber = "kCGWindowNumber";
inline constexpr const char* kCGWindowOwnerPID = "kCGWindowOwnerPID";
inline constexpr const char* kCGWindowName = "kCGWindowName";
inline constexpr const char* kCGWindowOwnerName = "kCGWindowOwnerName";
inline constexpr const char* kCGWindowBounds = "kCGWindowBounds";
inline constexpr const char* kCGWindowAlpha = "kCGWindowAlpha";

class WindowListSource {
public:
    virtual ~WindowListSource() = default;

    // The on-screen windows, front to back, or nothing when no list can be had.
    virtual std::optional<WindowList> copyWindowInfo(WindowListOption options, std::uint32_t relativeToWindow) = 0;
};

}  // namespace tallowin::platform
