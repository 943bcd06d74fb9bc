#pragma once

#include <QPointer>

#include "platform/text_control.h"

class QLabel;

namespace tallowin::shell {

// The message line: a label shown as plain text, never as markup.
class LabelText final : public platform::TextControl {
public:
    explicit LabelText(QLabel* label);

    void setStringValue(std::string_view text) override;

private:
    QPointer<QLabel> label_;
};

}  // namespace tallowin::shell
