#include "shell/display_choice.h"

#include <string_view>

namespace tallowin::shell {

namespace {

bool isSet(const Environment& environment, const char* name) {
    const char* value = environment(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

DisplayChoice chooseDisplay(std::span<const char* const> arguments, const Environment& environment) {
    DisplayChoice choice;
    // Read on every platform; only X11 needs it to judge a missing display.
    [[maybe_unused]] bool platformChosen = isSet(environment, "QT_QPA_PLATFORM");
    // Qt's own reading: one or two dashes, the value in the next argument.
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
        std::string_view option = arguments[i] != nullptr ? arguments[i] : "";
        if (option.starts_with("--")) {
            option.remove_prefix(1);
        }
        if (option == "-display") {
            choice.argument = arguments[++i] != nullptr ? arguments[i] : "";
        } else if (option == "-platform") {
            platformChosen = true;
            ++i;
        }
    }
#if defined(__APPLE__)
    choice.unreachable = "cannot reach the window system";
#else
    const bool haveDisplay = choice.argument.has_value() || isSet(environment, "DISPLAY");
    if (!haveDisplay && !platformChosen && !isSet(environment, "WAYLAND_DISPLAY")) {
        choice.missing = "no display: set DISPLAY or pass -display";
    }
    if (choice.argument) {
        choice.unreachable = "cannot reach the window system on display " + *choice.argument;
    } else if (haveDisplay) {
        choice.unreachable = std::string("cannot reach the window system on display ") + environment("DISPLAY");
    } else {
        choice.unreachable = "cannot reach the window system: DISPLAY is not set";
    }
#endif
    return choice;
}

}  // namespace tallowin::shell
