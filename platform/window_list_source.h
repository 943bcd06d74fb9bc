#pragma once

#include <cstdint>
#include <optional>

#include "platform/value.h"

namespace tallowin::platform {

using WindowListOption = std::uint32_t;
inline constexpr WindowListOption kWindowListOnScreenOnly = 1;
inline constexpr WindowListOption kWindowListExcludeDesktopElements = 16;
inline constexpr std::uint32_t kNullWindowID = 0;

// Keys of a window-list entry, spelled as the window server spells them.
inline constexpr const char* kWindowNumberKey = "kCGWindowNumber";
inline constexpr const char* kWindowOwnerPIDKey = "kCGWindowOwnerPID";
inline constexpr const char* kWindowNameKey = "kCGWindowName";
inline constexpr const char* kWindowOwnerNameKey = "kCGWindowOwnerName";
inline constexpr const char* kWindowBoundsKey = "kCGWindowBounds";
inline constexpr const char* kWindowAlphaKey = "kCGWindowAlpha";

class WindowListSource {
public:
    virtual ~WindowListSource() = default;

    // The on-screen windows, front to back, or nothing when no list can be had.
    virtual std::optional<WindowList> copyWindowInfo(WindowListOption options, std::uint32_t relativeToWindow) = 0;
};

}  // namespace tallowin::platform
