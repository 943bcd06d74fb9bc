#include "tests/doubles/fake_controls.h"

namespace tallowin::doubles {

void FakeListControl::removeAllItems() {
    rows_.clear();
    selected_ = -1;
    ++removeCalls;
}

void FakeListControl::addItemsWithObjectValues(const std::vector<std::string>& values) {
    rows_.insert(rows_.end(), values.begin(), values.end());
    ++addCalls;
}

void FakeListControl::selectItemAtIndex(std::ptrdiff_t index) {
    const bool exists = index >= 0 && static_cast<std::size_t>(index) < rows_.size();
    selected_ = exists ? index : -1;
}

std::optional<std::string> FakeListControl::objectValueOfSelectedItem() const {
    if (selected_ < 0) {
        return std::nullopt;
    }
    return rows_[static_cast<std::size_t>(selected_)];
}

}  // namespace tallowin::doubles
