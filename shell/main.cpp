#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "app/app_delegate.h"
#include "app/standard_output.h"
#include "platform/provider.h"
#include "shell/application_shell.h"
#include "shell/delegate_bridge.h"
#include "shell/display_choice.h"
#include "shell/qt_timers.h"
#include "shell/qt_workspace.h"

int main(int argc, char** argv) {
    // Before Qt, which takes its options out of argv and aborts when it
    // finds no display.
    const auto display = tallowin::shell::chooseDisplay(
        {argv, static_cast<std::size_t>(argc)}, [](const char* name) -> const char* { return std::getenv(name); });
    if (!display.missing.empty()) {
        std::fprintf(stderr, "tallowin: %s\n", display.missing.c_str());
        return 1;
    }
    const auto system = tallowin::platform::openNativeProvider(display.argument ? display.argument->c_str() : nullptr);
    if (!system) {
        std::fprintf(stderr, "tallowin: %s\n", display.unreachable.c_str());
        return 1;
    }

    QApplication application(argc, argv);
    tallowin::AppDelegate delegate;
    tallowin::shell::attachDelegate(application, delegate);
    tallowin::shell::QtTimerFactory timers;
    tallowin::shell::QtWorkspace workspace;
    tallowin::StandardOutput output;
    tallowin::shell::ApplicationShell shell(*system, timers, workspace, output);
    shell.show();
    return QApplication::exec();
}
