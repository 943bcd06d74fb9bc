#pragma once

#include <optional>
#include <vector>

#include "discovery/visible_window.h"
#include "platform/value.h"

namespace tallowin::platform {
class WindowListSource;
}

namespace tallowin {

// One snapshot of the on-screen windows, front to back; nothing when the
// source has no list or any element of it is not a dictionary.
std::optional<platform::WindowList> takeWindowSnapshot(platform::WindowListSource& source);

// The windows worth recording, titled and ordered by lowercased title.
std::vector<VisibleWindow> visibleWindowsFrom(const platform::WindowList& snapshot);

// One window as the window server lists it now, read and titled as a refresh
// would; nothing when it is gone or no longer worth recording.
std::optional<VisibleWindow> listedWindowNow(platform::WindowListSource& source, std::uint32_t windowID);

// Every field equal: the same window, seen the same.
bool sameListing(const VisibleWindow& a, const VisibleWindow& b);

}  // namespace tallowin
