#pragma once

#include <QString>

#include <memory>
#include <string>
#include <vector>

#include "shell/application_shell.h"
#include "tests/doubles/doubles.h"

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace tallowin::shell {

// The application shell over in-memory services and a virtual clock.
struct ShellRig {
    doubles::CallLog log;
    doubles::ScriptedWindowListSource windowList;
    doubles::ScriptedScreenCapture screenCapture;
    doubles::FakeAccessibility accessibility{&log};
    doubles::FakePreferences preferences{&log};
    doubles::VirtualTimerFactory timers;
    doubles::FakeWorkspace workspace{&log};
    doubles::RecordingOutput output{&log};
    std::unique_ptr<doubles::ServicesProvider> system;
    std::unique_ptr<ApplicationShell> shell;

    ShellRig() = default;
    ~ShellRig();
    ShellRig(const ShellRig&) = delete;
    ShellRig& operator=(const ShellRig&) = delete;
    ShellRig(ShellRig&&) = delete;
    ShellRig& operator=(ShellRig&&) = delete;

    // Builds the shell (viewDidLoad runs here) with these services.
    ApplicationShell& start(platform::ScreenCapturePermission* screenCaptureOverride = nullptr);
    // start, show, and wait until the window is exposed and active.
    bool open();

    void setWindows(const std::vector<doubles::WindowEntry>& entries);

    [[nodiscard]] QComboBox& windowComboBox() const;
    [[nodiscard]] QComboBox& resolutionComboBox() const;
    [[nodiscard]] QLabel& messageLabel() const;
    [[nodiscard]] QPushButton& placeButton() const;
    [[nodiscard]] QWidget& window() const;
    [[nodiscard]] QStringList windowRows() const;
};

}  // namespace tallowin::shell
