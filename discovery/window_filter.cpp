#include "discovery/window_filter.h"

#include <algorithm>
#include <string>

#include "discovery/window_bounds.h"
#include "platform/window_list_source.h"

namespace tallowin {

namespace {
constexpr double kMinimumWidth = 50.0;
constexpr double kMinimumHeight = 50.0;
constexpr double kMinimumLeftEdge = 0.0;
constexpr double kMinimumTopEdge = 0.0;
constexpr double kMinimumOpacity = 0.5;
}  // namespace

bool shouldIncludeWindow(const platform::Value& entry) {
    const auto bounds = readWindowBounds(entry);
    if (!bounds) {
        return false;
    }
    bool opaqueEnough = true;
    if (const platform::Value* alphaValue = entry.find(platform::kWindowAlphaKey)) {
        if (const auto alpha = alphaValue->asDouble()) {
            opaqueEnough = !(*alpha < kMinimumOpacity);
        }
    }
    std::string_view owner;
    if (const platform::Value* ownerValue = entry.find(platform::kWindowOwnerNameKey)) {
        if (const std::string* text = ownerValue->asText()) {
            owner = *text;
        }
    }
    // Written as "not at least" so that a NaN bound rejects the entry too.
    if (!(bounds->width >= kMinimumWidth) || !(bounds->height >= kMinimumHeight) || !(bounds->x >= kMinimumLeftEdge) ||
        !(bounds->y >= kMinimumTopEdge)) {
        return false;
    }
    if (std::find(excludedOwnerNames.begin(), excludedOwnerNames.end(), owner) != excludedOwnerNames.end()) {
        return false;
    }
    return opaqueEnough;
}

}  // namespace tallowin
