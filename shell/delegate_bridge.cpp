#include "shell/delegate_bridge.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QTimer>

#include "app/app_delegate.h"

namespace tallowin::shell {

void attachDelegate(QGuiApplication& application, AppDelegate& delegate) {
    application.setQuitOnLastWindowClosed(delegate.applicationShouldTerminateAfterLastWindowClosed());

    // Tallowin keeps no state a session could restore insecurely; a
    // delegate that declined restoration would keep the session manager
    // from restarting it at all.
    QObject::connect(&application, &QGuiApplication::saveStateRequest, &application,
                     [&delegate](QSessionManager& manager) {
                         if (!delegate.applicationSupportsSecureRestorableState()) {
                             manager.setRestartHint(QSessionManager::RestartNever);
                         }
                     });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &application,
                     [&delegate] { delegate.applicationWillTerminate(); });
    // Launching is finished once the event loop runs.
    QTimer::singleShot(0, &application, [&delegate] { delegate.applicationDidFinishLaunching(); });
}

}  // namespace tallowin::shell
