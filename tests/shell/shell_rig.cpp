#include "tests/shell/shell_rig.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "shell/main_view.h"

namespace tallowin::shell {

ShellRig::~ShellRig() { shell.reset(); }

ApplicationShell& ShellRig::start(platform::ScreenCapturePermission* screenCaptureOverride) {
    platform::ScreenCapturePermission& capture =
        screenCaptureOverride != nullptr ? *screenCaptureOverride : screenCapture;
    system = std::make_unique<doubles::ServicesProvider>(windowList, capture, accessibility, preferences);
    shell = std::make_unique<ApplicationShell>(*system, timers, workspace, output);
    return *shell;
}

bool ShellRig::open() {
    start();
    shell->show();
    window().activateWindow();
    return QTest::qWaitForWindowActive(&window());
}

void ShellRig::setWindows(const std::vector<doubles::WindowEntry>& entries) {
    windowList.list = doubles::windowList(entries);
}

QComboBox& ShellRig::windowComboBox() const { return *shell->view().windowComboBox(); }
QComboBox& ShellRig::resolutionComboBox() const { return *shell->view().resolutionComboBox(); }
QLabel& ShellRig::messageLabel() const { return *shell->view().messageLabel(); }
QPushButton& ShellRig::placeButton() const { return *shell->view().placeButton(); }
QWidget& ShellRig::window() const { return shell->view(); }

QStringList ShellRig::windowRows() const {
    QStringList rows;
    for (int i = 0; i < windowComboBox().count(); ++i) {
        rows.append(windowComboBox().itemText(i));
    }
    return rows;
}

}  // namespace tallowin::shell
