#pragma once

namespace tallowin::platform {

class MainWindow {
public:
    virtual ~MainWindow() = default;

    virtual void miniaturize() = 0;
};

class MainWindowSource {
public:
    virtual ~MainWindowSource() = default;

    // The application's main window, or nullptr when it has none.
    virtual MainWindow* mainWindow() = 0;
};

}  // namespace tallowin::platform
