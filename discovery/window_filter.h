#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "discovery/window_entry.h"
#include "platform/value.h"
#include "platform/window_list_source.h"

namespace tallowin {

// Owners whose windows are never worth recording; compared as whole texts.
inline constexpr std::array<std::string_view, 8> excludedOwnerNames = {
    "Control Center", "TextInputMenuAgent", "SystemUIServer",     platform::kWindowServerOwnerName,
    "Dock",           "Spotlight",          "System Information", "Screenshot",
};

// Whether a window-list entry is listed: big enough, on the visible plane,
// opaque enough and not owned by a system agent.
bool shouldIncludeWindow(const platform::Value& entry);

// The same test, giving the bounds it read when the entry is listed, so the
// refresh reads them once.
std::optional<WindowBounds> boundsOfIncludedWindow(const WindowEntryFields& entry);

}  // namespace tallowin
