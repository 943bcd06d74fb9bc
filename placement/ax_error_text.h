#pragma once

#include <string>

#include "platform/accessibility.h"

namespace tallowin {

// "kAXErrorCannotComplete (-25204)"; a code without a name is its number.
std::string axErrorText(platform::AxError error);

}  // namespace tallowin
