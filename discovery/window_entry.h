#pragma once

#include <optional>

#include "platform/value.h"

namespace tallowin {

// The values of a window-list entry that decide its listing, found in one
// walk over its keys. As with a lookup, the first of a repeated key counts.
struct WindowEntryFields {
    const platform::Value* number = nullptr;
    const platform::Value* ownerPID = nullptr;
    const platform::Value* name = nullptr;
    const platform::Value* ownerName = nullptr;
    const platform::Value* bounds = nullptr;
    const platform::Value* alpha = nullptr;
};

WindowEntryFields readEntryFields(const platform::Value& entry);

struct WindowBounds {
    double x;
    double y;
    double width;
    double height;
};

// The bounds dictionary's four numbers, or nothing unless all are there.
std::optional<WindowBounds> readWindowBounds(const platform::Value* bounds);

}  // namespace tallowin
