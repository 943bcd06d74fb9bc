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
    const platform::Value::Entries* entries = entry.entries();
    if (entries == nullptr) {
        return fields;
    }
    for (const auto& [key, value] : *entries) {
        if (key == platform::kWindowNumberKey) {
            keepFirst(fields.number, value);
        } else if (key == platform::kWindowOwnerPIDKey) {
            keepFirst(fields.ownerPID, value);
        } else if (key == platform::kWindowNameKey) {
            keepFirst(fields.name, value);
        } else if (key == platform::kWindowOwnerNameKey) {
            keepFirst(fields.ownerName, value);
        } else if (key == platform::kWindowBoundsKey) {
            keepFirst(fields.bounds, value);
        } else if (key == platform::kWindowAlphaKey) {
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
