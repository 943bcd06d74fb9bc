#include "discovery/window_entry.h"

#include <array>
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
    if (bounds == nullptr) {
        return std::nullopt;
    }
    // One walk, as for the entry itself.
    std::array<const platform::Value*, 4> found{};  // x, y, width, height
    for (const auto& [key, value] : bounds->entries()) {
        const std::string_view text = key;
        const std::size_t slot = text == "X" ? 0 : text == "Y" ? 1 : text == "Width" ? 2 : text == "Height" ? 3 : 4;
        if (slot < found.size()) {
            keepFirst(found[slot], value);
        }
    }
    std::array<double, 4> numbers{};
    for (std::size_t i = 0; i < found.size(); ++i) {
        const auto number = found[i] != nullptr ? found[i]->asDouble() : std::nullopt;
        if (!number) {
            return std::nullopt;
        }
        numbers[i] = *number;
    }
    return WindowBounds{numbers[0], numbers[1], numbers[2], numbers[3]};
}

}  // namespace tallowin
