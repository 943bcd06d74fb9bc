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

}  // namespace tallowin
