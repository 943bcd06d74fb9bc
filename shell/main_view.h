#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

namespace tallowin::shell {

class ComboBoxList;
class LabelText;

// The Tallowin window: the window list, the resolution list, the message
// line and the Place button. Owns the controls and the adapters the
// controller reaches them through, so the controller's outlets go empty
// when the window goes.
class MainView final : public QWidget {
public:
    MainView();
    ~MainView() override;
    MainView(const MainView&) = delete;
    MainView& operator=(const MainView&) = delete;
    MainView(MainView&&) = delete;
    MainView& operator=(MainView&&) = delete;

    [[nodiscard]] QComboBox* windowComboBox() const { return windowComboBox_; }
    [[nodiscard]] QComboBox* resolutionComboBox() const { return resolutionComboBox_; }
    [[nodiscard]] QLabel* messageLabel() const { return messageLabel_; }
    [[nodiscard]] QPushButton* placeButton() const { return placeButton_; }

    [[nodiscard]] std::shared_ptr<ComboBoxList> windowList() const { return windowList_; }
    [[nodiscard]] std::shared_ptr<ComboBoxList> resolutionList() const { return resolutionList_; }
    [[nodiscard]] std::shared_ptr<LabelText> message() const { return message_; }

    // Called once the window has closed (minimizing is no closing).
    void setClosedHandler(std::function<void()> handler) { closedHandler_ = std::move(handler); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QComboBox* windowComboBox_;
    QComboBox* resolutionComboBox_;
    QLabel* messageLabel_;
    QPushButton* placeButton_;
    std::shared_ptr<ComboBoxList> windowList_;
    std::shared_ptr<ComboBoxList> resolutionList_;
    std::shared_ptr<LabelText> message_;
    std::function<void()> closedHandler_;
};

}  // namespace tallowin::shell
