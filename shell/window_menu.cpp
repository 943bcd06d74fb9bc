#include "shell/window_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace tallowin::shell {

std::unique_ptr<QMenuBar> makeWindowMenuBar(QWidget& window) {
    auto menuBar = std::make_unique<QMenuBar>(nullptr);
    QMenu* menu = menuBar->addMenu(QMenuBar::tr("Window"));
    QAction* minimize = menu->addAction(QMenuBar::tr("Minimize"));
    QAction* close = menu->addAction(QMenuBar::tr("Close"));
    // Spelled out: QKeySequence::Close is Command-W on macOS but Ctrl+F4
    // first elsewhere, and no standard key minimizes.
    minimize->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    for (QAction* action : {minimize, close}) {
        action->setMenuRole(QAction::NoRole);  // stays in this menu, never moved to the application menu
    }
    // The window is the context: the actions do nothing once it is gone.
    QObject::connect(minimize, &QAction::triggered, &window, [&window] { window.showMinimized(); });
    QObject::connect(close, &QAction::triggered, &window, [&window] { window.close(); });
    return menuBar;
}

}  // namespace tallowin::shell
