#pragma once

#include <string>
#include <vector>

#include "platform/desktop_session.h"

namespace tallowin::shell {

// Shows text in a window on the Wayland desktop the environment names, for a
// user who started Tallowin from a menu and sees no terminal, and returns 1
// once it is closed. Returns 1 at once, showing nothing, when that desktop
// cannot be reached: Qt would abort instead.
int showUnsupportedDesktop(const std::string& text, std::vector<std::string> qtArguments,
                           const platform::Environment& environment);

}  // namespace tallowin::shell
