#pragma once

#include <QPointer>

#include "platform/list_control.h"

class QComboBox;

namespace tallowin::shell {

// A QComboBox seen as the controller's list control. Keeps the combo box's
// selection as the controller left it: Qt would otherwise select row 0 by
// itself when rows arrive in an empty box. Once the combo box is gone, every
// call is harmless and nothing is selected.
class ComboBoxList final : public platform::ListControl {
public:
    explicit ComboBoxList(QComboBox* comboBox);

    void removeAllItems() override;
    void addItemsWithObjectValues(const std::vector<std::string_view>& values) override;
    void selectItemAtIndex(std::ptrdiff_t index) override;
    [[nodiscard]] std::ptrdiff_t indexOfSelectedItem() const override;
    [[nodiscard]] std::optional<std::string> objectValueOfSelectedItem() const override;

private:
    QPointer<QComboBox> comboBox_;
};

}  // namespace tallowin::shell
