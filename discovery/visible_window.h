#pragma once

#include <cstdint>
#include <string>

namespace tallowin {

// One listed window. Set once when built; a copy is an independent value.
struct VisibleWindow {
    const std::uint32_t windowID;
    const std::int32_t pid;
    const std::string title;
    const double x;
    const double y;
    const double width;
    const double height;
};

}  // namespace tallowin
