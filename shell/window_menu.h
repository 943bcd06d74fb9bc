#pragma once

#include <memory>

class QMenuBar;
class QWidget;

namespace tallowin::shell {

// A menu bar holding the Mac's Window menu for the main window: Minimize
// (Command-M) and Close (Command-W; Qt's Ctrl is the Command key on macOS).
// It has no parent: on macOS Qt makes such a menu bar the one at the top of
// the screen. Minimizing leaves the window in the Dock, where the user
// restores it.
std::unique_ptr<QMenuBar> makeWindowMenuBar(QWidget& window);

}  // namespace tallowin::shell
