#include "shell/main_view.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "shell/combo_box_list.h"
#include "shell/label_text.h"

namespace tallowin::shell {

namespace {

// Wide enough for "<window name> - <owner name>" of an ordinary window;
// longer titles are elided rather than widening the window.
constexpr int kWindowTitleChars = 48;

QComboBox* makeComboBox(QWidget* parent, const QString& accessibleName, const QString& description) {
    auto* comboBox = new QComboBox(parent);
    comboBox->setEditable(false);
    comboBox->setAccessibleName(accessibleName);
    comboBox->setAccessibleDescription(description);
    comboBox->setFocusPolicy(Qt::StrongFocus);
    return comboBox;
}

}  // namespace

MainView::MainView()
    : windowComboBox_(makeComboBox(this, tr("Window"), tr("The window to place"))),
      resolutionComboBox_(makeComboBox(this, tr("Resolution"), tr("The size to give the window"))),
      messageLabel_(new QLabel(this)),
      placeButton_(new QPushButton(tr("&Place"), this)),
      windowList_(std::make_shared<ComboBoxList>(windowComboBox_)),
      resolutionList_(std::make_shared<ComboBoxList>(resolutionComboBox_)),
      message_(std::make_shared<LabelText>(messageLabel_)) {
    setWindowTitle(QStringLiteral("Tallowin"));
    setObjectName(QStringLiteral("mainWindow"));
    windowComboBox_->setObjectName(QStringLiteral("windowListComboBox"));
    resolutionComboBox_->setObjectName(QStringLiteral("resolutionComboBox"));
    messageLabel_->setObjectName(QStringLiteral("message"));
    placeButton_->setObjectName(QStringLiteral("placeButton"));

    windowComboBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    windowComboBox_->setMinimumContentsLength(kWindowTitleChars);
    resolutionComboBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    messageLabel_->setAccessibleName(tr("Status"));
    messageLabel_->setWordWrap(true);
    // Keep a line's room when empty, so the window does not jump when a
    // message appears.
    messageLabel_->setMinimumHeight(messageLabel_->fontMetrics().height());

    placeButton_->setAccessibleName(tr("Place"));
    placeButton_->setAccessibleDescription(tr("Moves and sizes the chosen window for a recording"));
    placeButton_->setDefault(true);

    auto* form = new QFormLayout;
    auto* windowLabel = new QLabel(tr("&Window:"), this);
    windowLabel->setBuddy(windowComboBox_);
    auto* resolutionLabel = new QLabel(tr("&Resolution:"), this);
    resolutionLabel->setBuddy(resolutionComboBox_);
    form->addRow(windowLabel, windowComboBox_);
    form->addRow(resolutionLabel, resolutionComboBox_);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(messageLabel_, 1);
    buttons->addWidget(placeButton_, 0, Qt::AlignRight | Qt::AlignVCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    setTabOrder(windowComboBox_, resolutionComboBox_);
    setTabOrder(resolutionComboBox_, placeButton_);

    // A default button only answers Return inside a dialog; this window is
    // none, so Return and the keypad's Enter press Place from anywhere in it.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, placeButton_, &QPushButton::click);
    }

    windowComboBox_->setFocus(Qt::OtherFocusReason);
    resize(sizeHint());
}

MainView::~MainView() = default;

void MainView::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted() && closedHandler_) {
        closedHandler_();
    }
}

}  // namespace tallowin::shell
