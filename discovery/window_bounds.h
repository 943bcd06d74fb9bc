#pragma once

#include <optional>

#include "platform/value.h"

namespace tallowin {

struct WindowBounds {
    double x;
    double y;
    double width;
    double height;
};

// The entry's bounds, or nothing unless all four numbers are there.
std::optional<WindowBounds> readWindowBounds(const platform::Value& entry);

}  // namespace tallowin
