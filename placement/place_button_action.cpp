#include "app/view_controller.h"
#include "placement/resolution_parser.h"
#include "platform/line_output.h"
#include "platform/list_control.h"

namespace tallowin {

void ViewController::handlePlaceButtonClick() {
    auto& output = platform_.output;
    const auto windowList = windowListComboBox();
    const std::ptrdiff_t row = windowList ? windowList->indexOfSelectedItem() : -1;
    // A row the list does not hold is no selection: never read past the list.
    if (row < 0 || static_cast<std::size_t>(row) >= visibleWindows_.size()) {
        output.writeLine("No selection.");
        return;
    }
    const VisibleWindow window = visibleWindows_[static_cast<std::size_t>(row)];

    const auto resolutions = resolutionComboBox();
    const auto text = resolutions ? resolutions->objectValueOfSelectedItem() : std::nullopt;
    if (!text) {
        output.writeLine("Invalid selection or value.");
        return;
    }
    const auto resolution = parseResolution(*text);
    if (!resolution) {
        output.writeLine("Resolution parsing error.");
        return;
    }
    placeWindow(window, static_cast<double>(resolution->width), static_cast<double>(resolution->height));
}

}  // namespace tallowin
