#include <QApplication>

#include <cstdio>

#include "app/app_delegate.h"
#include "app/standard_output.h"
#include "platform/provider.h"
#include "shell/application_shell.h"
#include "shell/delegate_bridge.h"
#include "shell/qt_timers.h"
#include "shell/qt_workspace.h"

int main(int argc, char** argv) {
    // Qt is this program's platform: the arguments are all its own.
    QApplication application(argc, argv);
    tallowin::AppDelegate delegate;
    tallowin::shell::attachDelegate(application, delegate);

    const auto system = tallowin::platform::openNativeProvider(nullptr);
    if (!system) {
        std::fputs("tallowin: cannot reach the window system\n", stderr);
        return 1;
    }
    tallowin::shell::QtTimerFactory timers;
    tallowin::shell::QtWorkspace workspace;
    tallowin::StandardOutput output;
    tallowin::shell::ApplicationShell shell(*system, timers, workspace, output);
    shell.show();
    return QApplication::exec();
}
