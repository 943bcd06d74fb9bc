#pragma once

#include <optional>
#include <vector>

#include "discovery/visible_window.h"

namespace tallowin::platform {
class LineOutput;
class ListControl;
}  // namespace tallowin::platform

namespace tallowin {

struct PlacementRequest {
    VisibleWindow window;  // a copy: it outlives the next refresh
    double width;
    double height;
};

// The chosen row's window and the chosen resolution, or nothing with the
// first problem reported. A missing control counts as nothing chosen.
std::optional<PlacementRequest> placementRequestFrom(const platform::ListControl* windowList,
                                                     const platform::ListControl* resolutionList,
                                                     const std::vector<VisibleWindow>& visibleWindows,
                                                     platform::LineOutput& output);

}  // namespace tallowin
