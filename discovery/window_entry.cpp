#include "discovery/window_entry.h"

#include <string_view>

#include "platform/window_list_source.h"

namespace tallowin {

namespace {

void keepFirst(const platform::Value*& slot, const platform::Value& value) {
    if (slot == nullptr) {
        slot = &value;
    }
}

}  // namespace

WindowEntryFields readEntryFields(const platform::Value& entry) {
    WindowEntryFields fields;
    // As views, so most keys are told apart by their length alone.
    static constexpr std::string_view number = platform::kWindowNumberKey;
    static constexpr std::string_view ownerPID = platform::kWindowOwnerPIDKey;
    static constexpr std::string_view name = platform::kWindowNameKey;
    static constexpr std::string_view ownerName = platform::kWindowOwnerNameKey;
    static constexpr std::string_view bounds = platform::kWindowBoundsKey;
    static constexpr std::string_view alpha = platform::kWindowAlphaKey;
    for (const auto& [key, value] : entry.entries()) {
        const std::string_view text = key;
        if (text == number) {
            keepFirst(fields.number, value);
        } else if (text == ownerPID) {
            keepFirst(fields.ownerPID, value);
        } else if (text == name) {
            keepFirst(fields.name, value);
        } else if (text == ownerName) {
            keepFirst(fields.ownerName, value);
        } else if (text == bounds) {
            keepFirst(fields.bounds, value);
        } else if (text == alpha) {
            keepFirst(fields.alpha, value);
        }
    }
    return fields;
}

std::optional<WindowBounds> readWindowBounds(const platform::Value* bounds) {
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
