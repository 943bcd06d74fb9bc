#include "discovery/window_bounds.h"

#include "platform/window_list_source.h"

namespace tallowin {

std::optional<WindowBounds> readWindowBounds(const platform::Value& entry) {
    const platform::Value* bounds = entry.find(platform::kWindowBoundsKey);
    if (bounds == nullptr || !bounds->isDictionary()) {
        return std::nullopt;
    }
    auto number = [bounds](const char* key) -> std::optional<double> {
        const platform::Value* value = bounds->find(key);
        return value != nullptr ? value->asDouble() : std::nullopt;
    };
    const auto width = number("Width");
    const auto height = number("Height");
    const auto x = number("X");
    const auto y = number("Y");
    if (!width || !height || !x || !y) {
        return std::nullopt;
    }
    return WindowBounds{*x, *y, *width, *height};
}

}  // namespace tallowin
