#pragma once

#include <QPointer>

#include "platform/main_window.h"

class QWidget;

namespace tallowin::shell {

// The application's main window for the placement path: there is one while
// the window is open, and none before it is first shown, once it is closed
// or once it is destroyed.
class QtMainWindowSource final : public platform::MainWindowSource {
public:
    explicit QtMainWindowSource(QWidget* window);
    ~QtMainWindowSource() override = default;
    QtMainWindowSource(const QtMainWindowSource&) = delete;
    QtMainWindowSource& operator=(const QtMainWindowSource&) = delete;
    QtMainWindowSource(QtMainWindowSource&&) = delete;
    QtMainWindowSource& operator=(QtMainWindowSource&&) = delete;

    platform::MainWindow* mainWindow() override;

private:
    class Window final : public platform::MainWindow {
    public:
        explicit Window(const QPointer<QWidget>& widget) : widget_(widget) {}
        void miniaturize() override;

    private:
        const QPointer<QWidget>& widget_;
    };

    QPointer<QWidget> widget_;
    Window window_{widget_};
};

}  // namespace tallowin::shell
