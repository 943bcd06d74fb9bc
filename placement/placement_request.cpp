#include "placement/placement_request.h"

#include <cstddef>

#include "placement/resolution_parser.h"
#include "platform/line_output.h"
#include "platform/list_control.h"

namespace tallowin {

std::optional<PlacementRequest> placementRequestFrom(const platform::ListControl* windowList,
                                                     const platform::ListControl* resolutionList,
                                                     const std::vector<VisibleWindow>& visibleWindows,
                                                     platform::LineOutput& output) {
    const std::ptrdiff_t row = windowList != nullptr ? windowList->indexOfSelectedItem() : -1;
    // A row the list does not hold is no selection: never read past the list.
    if (row < 0 || static_cast<std::size_t>(row) >= visibleWindows.size()) {
        output.writeLine("No selection.");
        return std::nullopt;
    }
    const auto text = resolutionList != nullptr ? resolutionList->objectValueOfSelectedItem() : std::nullopt;
    if (!text) {
        output.writeLine("Invalid selection or value.");
        return std::nullopt;
    }
    const auto resolution = parseResolution(*text);
    if (!resolution) {
        output.writeLine("Resolution parsing error.");
        return std::nullopt;
    }
    return PlacementRequest{visibleWindows[static_cast<std::size_t>(row)], static_cast<double>(resolution->width),
                            static_cast<double>(resolution->height)};
}

}  // namespace tallowin
