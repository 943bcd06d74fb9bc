#pragma once

#include <string>
#include <vector>

#include "platform/list_control.h"
#include "platform/text_control.h"

namespace tallowin::doubles {

// Behaves like a combo box: selecting a row that does not exist clears the
// selection instead of failing.
class FakeListControl final : public platform::ListControl {
public:
    void removeAllItems() override {
        rows_.clear();
        selected_ = -1;
        ++removeCalls;
    }
    void addItemsWithObjectValues(const std::vector<std::string>& values) override {
        rows_.insert(rows_.end(), values.begin(), values.end());
        ++addCalls;
    }
    void selectItemAtIndex(std::ptrdiff_t index) override {
        selected_ = index >= 0 && static_cast<std::size_t>(index) < rows_.size() ? index : -1;
    }
    [[nodiscard]] std::ptrdiff_t indexOfSelectedItem() const override { return selected_; }
    [[nodiscard]] std::optional<std::string> objectValueOfSelectedItem() const override {
        return selected_ < 0 ? std::nullopt : std::optional(rows_[static_cast<std::size_t>(selected_)]);
    }

    // What a user pick does: selects the row (or -1 for none).
    void userSelects(std::ptrdiff_t index) { selected_ = index; }
    [[nodiscard]] const std::vector<std::string>& rows() const { return rows_; }
    int addCalls = 0;
    int removeCalls = 0;

private:
    std::vector<std::string> rows_;
    std::ptrdiff_t selected_ = -1;
};

class FakeTextControl final : public platform::TextControl {
public:
    void setStringValue(std::string_view text) override { text_ = std::string(text); }
    [[nodiscard]] const std::string& text() const { return text_; }

private:
    std::string text_ = "(never set)";
};

}  // namespace tallowin::doubles
