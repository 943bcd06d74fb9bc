#pragma once

#include <optional>
#include <string>

#include "platform/desktop_session.h"

namespace tallowin::shell {

struct CommandLine;

using platform::Environment;

// Where Tallowin's window goes, read from the command line and the
// environment before Qt starts: without a display Qt aborts instead of
// saying so.
struct DisplayChoice {
    // Named by "-display X"; the provider must list the windows of the
    // display the window is on. Empty: the default one.
    std::optional<std::string> argument;
    // Why no window can be shown, said plainly; empty when Qt can try.
    std::string missing;
    // What to say when the window system does not answer.
    std::string unreachable;
    // Said on standard output, before exiting 1, on a desktop whose windows
    // Tallowin cannot move; empty elsewhere.
    std::string unsupported;
    // The desktop whose windows are listed and placed.
    platform::DesktopSession session = platform::DesktopSession::x11;
};

// The bus is asked only under Wayland, for KWin.
DisplayChoice chooseDisplay(const CommandLine& line, const Environment& environment,
                            const platform::SessionBus& bus = {});

// A display named on the command line makes Tallowin an X11 program of that
// display, even inside a Wayland session: its window, the windows it lists and
// the recorder it starts all go there. Sets the environment that Qt, the
// provider and the recorders read; does nothing without a name. Call it
// before any other thread starts.
void adoptNamedDisplay(const DisplayChoice& choice);

}  // namespace tallowin::shell
