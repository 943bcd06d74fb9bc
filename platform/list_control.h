#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallowin::platform {

// A combo box: rows of texts, at most one selected.
class ListControl {
public:
    virtual ~ListControl() = default;

    virtual void removeAllItems() = 0;
    // Appends the texts as rows, in order; the control keeps copies.
    virtual void addItemsWithObjectValues(const std::vector<std::string_view>& values) = 0;
    // Selecting a row that does not exist (row 0 of an empty list) is harmless.
    virtual void selectItemAtIndex(std::ptrdiff_t index) = 0;
    // The selected row, or -1 when none is.
    [[nodiscard]] virtual std::ptrdiff_t indexOfSelectedItem() const = 0;
    // The selected row's text, or nothing when no row is selected.
    [[nodiscard]] virtual std::optional<std::string> objectValueOfSelectedItem() const = 0;
};

}  // namespace tallowin::platform
