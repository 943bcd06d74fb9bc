#include "shell/display_choice.h"

#include <cstdlib>

#include "platform/desktop_session.h"
#include "shell/command_line.h"

namespace tallowin::shell {

using platform::isSet;

DisplayChoice chooseDisplay(const CommandLine& line, const Environment& environment,
                            [[maybe_unused]] const platform::SessionBus& bus) {
    DisplayChoice choice;
    choice.argument = line.display;
    // Read on every platform; only X11 needs it to judge a missing display.
    [[maybe_unused]] const bool platformChosen = line.platformChosen || isSet(environment, "QT_QPA_PLATFORM");
#if defined(__APPLE__)
    choice.unreachable = "cannot reach the window system";
#else
    const bool haveDisplay = choice.argument.has_value() || isSet(environment, "DISPLAY");
    if (!haveDisplay && !platformChosen && !isSet(environment, "WAYLAND_DISPLAY")) {
        choice.missing = "no display: set DISPLAY or pass -display";
    }
    const auto session = platform::desktopSession(choice.argument.has_value(), environment, bus);
    choice.session = session;
    if (session == platform::DesktopSession::unsupportedWayland) {
        choice.unsupported = platform::unsupportedDesktopMessage(environment);
    }
    if (session == platform::DesktopSession::sway) {
        choice.unreachable = std::string("cannot reach sway at SWAYSOCK=") + environment("SWAYSOCK");
    } else if (session == platform::DesktopSession::kwin) {
        choice.unreachable = "cannot reach KWin on the session bus";
    } else if (choice.argument) {
        choice.unreachable = "cannot reach the window system on display " + *choice.argument;
    } else if (haveDisplay) {
        choice.unreachable = std::string("cannot reach the window system on display ") + environment("DISPLAY");
    } else {
        choice.unreachable = "cannot reach the window system: DISPLAY is not set";
    }
#endif
    return choice;
}

void adoptNamedDisplay([[maybe_unused]] const DisplayChoice& choice) {
#if !defined(__APPLE__)
    if (!choice.argument) {
        return;
    }
    // NOLINTBEGIN(concurrency-mt-unsafe): one thread still, before Qt
    setenv("DISPLAY", choice.argument->c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    // That display's i3, if any, is named on its root window.
    unsetenv("I3SOCK");
    // A -platform on the command line still wins over this.
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    // NOLINTEND(concurrency-mt-unsafe)
#endif
}

}  // namespace tallowin::shell
