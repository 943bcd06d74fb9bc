#include "shell/label_text.h"

#include <QLabel>

namespace tallowin::shell {

LabelText::LabelText(QLabel* label) : label_(label) {
    if (label_ != nullptr) {
        label_->setTextFormat(Qt::PlainText);
    }
}

void LabelText::setStringValue(std::string_view text) {
    if (label_ != nullptr) {
        label_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
}

}  // namespace tallowin::shell
