#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tallowin::shell {

// What the command line asks for, read before any display is opened: help
// and version must work without one.
struct CommandLine {
    enum class Action { run, help, version, usageError };
    Action action = Action::run;
    // For usageError: what was wrong, said plainly.
    std::string error;
    // "-display NAME": the display whose windows are listed and placed, and
    // where Tallowin's own window goes.
    std::optional<std::string> display;
    // "--recorder NAME": the recorder to pin and remember (obs, ssr, wf-recorder, none),
    // or auto to forget the pin.
    std::optional<std::string> recorder;
    // "-platform NAME" was given: Qt is told which window system to use.
    bool platformChosen = false;
    // The arguments Qt itself understands, in Qt's own spelling, after the
    // program name: handed to QApplication so that it reads what we read.
    std::vector<std::string> qtArguments;
};

// arguments[0] is the program. Qt's own options (-display, -platform,
// -style, ...) are accepted with one dash or two, as Qt documents them.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The usage text, or the version line, for --help and --version.
std::string usageText();
std::string versionText();

}  // namespace tallowin::shell
