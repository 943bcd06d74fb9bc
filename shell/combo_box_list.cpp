#include "shell/combo_box_list.h"

#include <QComboBox>
#include <QStringList>

namespace tallowin::shell {

ComboBoxList::ComboBoxList(QComboBox* comboBox) : comboBox_(comboBox) {}

void ComboBoxList::removeAllItems() {
    if (comboBox_ != nullptr) {
        comboBox_->clear();
    }
}

void ComboBoxList::addItemsWithObjectValues(const std::vector<std::string_view>& values) {
    if (comboBox_ == nullptr) {
        return;
    }
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(values.size()));
    for (const auto& value : values) {
        rows.append(QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    }
    const int selected = comboBox_->currentIndex();
    comboBox_->addItems(rows);
    if (comboBox_->currentIndex() != selected) {
        // Appending is no choice of anyone's: put back what was selected.
        comboBox_->setCurrentIndex(selected);
    }
}

void ComboBoxList::selectItemAtIndex(std::ptrdiff_t index) {
    if (comboBox_ == nullptr) {
        return;
    }
    const bool exists = index >= 0 && index < comboBox_->count();
    comboBox_->setCurrentIndex(exists ? static_cast<int>(index) : -1);
}

std::ptrdiff_t ComboBoxList::indexOfSelectedItem() const {
    return comboBox_ == nullptr ? -1 : comboBox_->currentIndex();
}

std::optional<std::string> ComboBoxList::objectValueOfSelectedItem() const {
    if (comboBox_ == nullptr || comboBox_->currentIndex() < 0) {
        return std::nullopt;
    }
    return comboBox_->currentText().toStdString();
}

}  // namespace tallowin::shell
