#pragma once

#include <cstdint>

#include "platform/value.h"

namespace tallowin::platform {
class LineOutput;
}

namespace tallowin {

// Takes the menu bar's height from every entry named "Menubar" at X 0, the
// last one winning, and reports each update on output.
void probeMenubarHeight(const platform::WindowList& snapshot, std::int64_t& menubarHeight,
                        platform::LineOutput& output);

}  // namespace tallowin
