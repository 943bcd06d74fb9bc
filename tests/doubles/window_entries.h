#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/value.h"

namespace tallowin::doubles {

// A window-list entry as the window server reports one; leave a field empty
// to leave its key out.
struct WindowEntry {
    std::optional<std::int64_t> number = 1;
    std::optional<std::int64_t> pid = 100;
    std::optional<std::string> name = "Window";
    std::optional<std::string> owner = "App";
    std::optional<double> x = 10;
    std::optional<double> y = 40;
    std::optional<double> width = 800;
    std::optional<double> height = 600;
    std::optional<double> alpha = 1.0;
};

platform::Value windowEntry(const WindowEntry& entry);

}  // namespace tallowin::doubles
