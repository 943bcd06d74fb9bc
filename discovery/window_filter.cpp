#include "discovery/window_filter.h"

#include <algorithm>
#include <string>

namespace tallowin {

namespace {
constexpr double kMinimumWidth = 50.0;
constexpr double kMinimumHeight = 50.0;
constexpr double kMinimumLeftEdge = 0.0;
constexpr double kMinimumTopEdge = 0.0;
constexpr double kMinimumOpacity = 0.5;
}  // namespace

bool shouldIncludeWindow(const platform::Value& entry) {
    return boundsOfIncludedWindow(readEntryFields(entry)).has_value();
}

std::optional<WindowBounds> boundsOfIncludedWindow(const WindowEntryFields& entry) {
    const auto bounds = readWindowBounds(entry.bounds);
    if (!bounds) {
        return std::nullopt;
    }
    bool opaqueEnough = true;
    if (const platform::Value* alphaValue = entry.alpha) {
        if (const auto alpha = alphaValue->asDouble()) {
            opaqueEnough = !(*alpha < kMinimumOpacity);
        }
    }
    std::string_view owner;
    if (const platform::Value* ownerValue = entry.ownerName) {
        if (const std::string* text = ownerValue->asText()) {
            owner = *text;
        }
    }
    // Written as "not at least" so that a NaN bound rejects the entry too.
    if (!(bounds->width >= kMinimumWidth) || !(bounds->height >= kMinimumHeight) || !(bounds->x >= kMinimumLeftEdge) ||
        !(bounds->y >= kMinimumTopEdge)) {
        return std::nullopt;
    }
    if (std::find(excludedOwnerNames.begin(), excludedOwnerNames.end(), owner) != excludedOwnerNames.end()) {
        return std::nullopt;
    }
    return opaqueEnough ? bounds : std::nullopt;
}

}  // namespace tallowin
