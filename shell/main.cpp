#include <QApplication>

#include <cstdio>

#include "app/app_delegate.h"
#include "app/standard_output.h"
#include "shell/application_shell.h"
#include "shell/delegate_bridge.h"
#include "shell/native_platform.h"
#include "shell/qt_timers.h"
#include "shell/qt_workspace.h"

int main(int argc, char** argv) {
    // Qt is this program's platform: the arguments are all its own.
    QApplication application(argc, argv);
    tallowin::AppDelegate delegate;
    tallowin::shell::attachDelegate(application, delegate);

    const auto native = tallowin::shell::openNativePlatform();
    if (!native) {
        std::fputs("tallowin: cannot reach the window system\n", stderr);
        return 1;
    }
    tallowin::shell::QtTimerFactory timers;
    tallowin::shell::QtWorkspace workspace;
    tallowin::StandardOutput output;
    tallowin::shell::ApplicationShell shell({native->windowList(), native->screenCapture(), native->accessibility(),
                                             native->preferences(), timers, workspace, output});
    shell.show();
    return QApplication::exec();
}
