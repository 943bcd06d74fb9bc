#include "shell/qt_main_window.h"

#include <QWidget>

namespace tallowin::shell {

QtMainWindowSource::QtMainWindowSource(QWidget* window) : widget_(window) {}

platform::MainWindow* QtMainWindowSource::mainWindow() {
    if (widget_ == nullptr || widget_->isHidden()) {
        return nullptr;
    }
    return &window_;
}

void QtMainWindowSource::Window::miniaturize() {
    if (widget_ != nullptr) {
        widget_->showMinimized();
    }
}

}  // namespace tallowin::shell
