#pragma once

#include <memory>

class QMenuBar;

namespace tallowin {
class ViewController;
}  // namespace tallowin

namespace tallowin::platform {
class LineOutput;
class Provider;
class TimerFactory;
class Workspace;
}  // namespace tallowin::platform

namespace tallowin::shell {

class MainView;
class MenuTrackingTimers;
class QtMainWindowSource;

// What an interface loader does elsewhere: creates the main window and its
// controller, connects the outlets and actions, and delivers viewDidLoad
// once, before the window is first shown. The controller's timers hold their
// ticks while a popup is open. Needs a QApplication.
class ApplicationShell {
public:
    // Each service outlives the shell.
    ApplicationShell(platform::Provider& system, platform::TimerFactory& timers, platform::Workspace& workspace,
                     platform::LineOutput& output);
    ~ApplicationShell();
    ApplicationShell(const ApplicationShell&) = delete;
    ApplicationShell& operator=(const ApplicationShell&) = delete;
    ApplicationShell(ApplicationShell&&) = delete;
    ApplicationShell& operator=(ApplicationShell&&) = delete;

    void show();

    [[nodiscard]] MainView& view() const { return *view_; }
    [[nodiscard]] ViewController& controller() const { return *controller_; }
    // The screen's menu bar with the Window menu on macOS; none elsewhere.
    [[nodiscard]] QMenuBar* menuBar() const { return menuBar_.get(); }

private:
    std::unique_ptr<MainView> view_;
    std::unique_ptr<QMenuBar> menuBar_;  // goes before the window it acts on
    std::unique_ptr<QtMainWindowSource> application_;
    std::unique_ptr<MenuTrackingTimers> timers_;
    // Last, so it goes first: its timers stop before the window goes.
    std::unique_ptr<ViewController> controller_;
};

}  // namespace tallowin::shell
