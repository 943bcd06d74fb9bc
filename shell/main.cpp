#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/app_delegate.h"
#include "app/standard_output.h"
#include "platform/provider.h"
#include "shell/application_shell.h"
#include "shell/command_line.h"
#include "shell/delegate_bridge.h"
#include "shell/display_choice.h"
#include "shell/qt_arguments.h"
#include "shell/qt_timers.h"
#include "shell/qt_workspace.h"
#include "shell/unsupported_desktop.h"

int main(int argc, char** argv) {
    // Before Qt, which aborts when it finds no display: --help and --version
    // need none, and a missing display is said plainly.
    const std::vector<std::string> arguments(argv, argv + argc);
    const auto line = tallowin::shell::parseCommandLine(arguments);
    switch (line.action) {
        case tallowin::shell::CommandLine::Action::help:
            std::fputs(tallowin::shell::usageText().c_str(), stdout);
            return 0;
        case tallowin::shell::CommandLine::Action::version:
            std::fputs(tallowin::shell::versionText().c_str(), stdout);
            return 0;
        case tallowin::shell::CommandLine::Action::usageError:
            std::fprintf(stderr, "tallowin: %s\nTry 'tallowin --help' for more information.\n", line.error.c_str());
            return 2;
        case tallowin::shell::CommandLine::Action::run:
            break;
    }

    const tallowin::platform::Environment environment = [](const char* name) -> const char* {
        return std::getenv(name);
    };
    // Qt reads the options as they were parsed above, so both agree on the
    // display; the storage outlives the application, as Qt requires.
    std::vector<std::string> qtStorage{arguments.empty() ? std::string("tallowin") : arguments.front()};
    qtStorage.insert(qtStorage.end(), line.qtArguments.begin(), line.qtArguments.end());

    const auto display = tallowin::shell::chooseDisplay(line, environment, tallowin::platform::nativeSessionBusHas);
    if (!display.missing.empty()) {
        std::fprintf(stderr, "tallowin: %s\n", display.missing.c_str());
        return 1;
    }
    if (!display.unsupported.empty()) {
        std::printf("%s\n", display.unsupported.c_str());
        std::fflush(stdout);
        return tallowin::shell::showUnsupportedDesktop(display.unsupported, qtStorage, environment);
    }
    tallowin::shell::adoptNamedDisplay(display);
    const auto system = tallowin::platform::openNativeProvider(display.argument ? display.argument->c_str() : nullptr);
    if (!system) {
        std::fprintf(stderr, "tallowin: %s\n", display.unreachable.c_str());
        return 1;
    }

    tallowin::shell::QtArguments qtArguments(std::move(qtStorage));
    QApplication application(qtArguments.argc(), qtArguments.argv());
    tallowin::AppDelegate delegate;
    tallowin::shell::attachDelegate(application, delegate);
    tallowin::shell::QtTimerFactory timers;
    tallowin::StandardOutput output;
    tallowin::shell::QtWorkspace workspace(output, display.session);
    if (line.recorder && !workspace.pinRecorder(*line.recorder)) {
        std::fprintf(stderr, "tallowin: cannot remember the recorder in %s\n",
                     "${XDG_CONFIG_HOME:-~/.config}/tallowin/tallowin.conf");
    }
    system->reportTo(output);
    tallowin::shell::ApplicationShell shell(*system, timers, workspace, output);
    shell.show();
    return QApplication::exec();
}
