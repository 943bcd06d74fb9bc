#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>

namespace tallowin::shell {

// Looks a variable up in the process environment; null when unset.
using Environment = std::function<const char*(const char*)>;

// Where Tallowin's window goes, read from the command line and the
// environment before Qt sees them: Qt takes "-display" out of argv, and
// without a display it aborts instead of saying so.
struct DisplayChoice {
    // Named by "-display X" or "--display X"; the provider must list the
    // windows of the display the window is on. Empty: the default one.
    std::optional<std::string> argument;
    // Why no window can be shown, said plainly; empty when Qt can try.
    std::string missing;
    // What to say when the window system does not answer.
    std::string unreachable;
};

DisplayChoice chooseDisplay(std::span<const char* const> arguments, const Environment& environment);

}  // namespace tallowin::shell
