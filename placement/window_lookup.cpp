#include "placement/window_lookup.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "discovery/window_snapshot.h"
#include "placement/ax_error_text.h"
#include "placement/title_prefix.h"
#include "platform/line_output.h"
#include "platform/number_text.h"

namespace tallowin {

using platform::formatDouble;

namespace {

// A geometry attribute counts only when the copy succeeds with a value that
// is an AXValue holding the wanted type.
std::optional<std::pair<double, double>> readGeometry(platform::AccessibilityServices& accessibility,
                                                      const platform::AXElement& window, std::string_view attribute,
                                                      platform::AxValueKind type) {
    const platform::AXCopyResult copy = accessibility.copyAttributeValue(window, attribute);
    if (copy.error != platform::AxError::success) {
        return std::nullopt;
    }
    const auto* value = std::get_if<platform::AXValuePtr>(&copy.value);
    if (value == nullptr || !*value) {
        return std::nullopt;
    }
    return (*value)->getValue(type);
}

}  // namespace

bool windowMatchesEntry(platform::AccessibilityServices& accessibility, const platform::AXElement& window,
                        const VisibleWindow& entry, platform::LineOutput& output) {
    const platform::AXCopyResult titleCopy = accessibility.copyAttributeValue(window, platform::kAXTitleAttributeName);
    const auto* title =
        titleCopy.error == platform::AxError::success ? std::get_if<std::string>(&titleCopy.value) : nullptr;
    if (title == nullptr) {
        output.writeLine("not matched");
        return false;
    }
    output.writeLine("Window title: " + *title);
    if (!isTitlePrefix(*title, entry.title)) {
        output.writeLine("not matched");
        return false;
    }

    if (const auto position =
            readGeometry(accessibility, window, platform::kAXPositionAttributeName, platform::AxValueKind::point)) {
        const auto [x, y] = *position;
        output.writeLine("x=" + formatDouble(x) + " y=" + formatDouble(y));
        output.writeLine("w.x=" + formatDouble(entry.x) + " w.y=" + formatDouble(entry.y));
        // Exact equality on purpose; a NaN equals nothing.
        if (!(x == entry.x) || !(y == entry.y)) {
            output.writeLine("not matched");
            return false;
        }
    }

    const auto size = readGeometry(accessibility, window, platform::kAXSizeAttributeName, platform::AxValueKind::size);
    if (!size) {
        output.writeLine("not matched");
        return false;
    }
    const auto [width, height] = *size;
    output.writeLine("width=" + formatDouble(width) + " height=" + formatDouble(height));
    if (!(width == entry.width) || !(height == entry.height)) {
        output.writeLine("not matched");
        return false;
    }
    return true;
}

namespace {

enum class Lookup : std::uint8_t { matched, noMatch, failed };

Lookup lookUp(platform::AccessibilityServices& accessibility, const VisibleWindow& entry, platform::LineOutput& output,
              MatchedWindow& found) {
    found = MatchedWindow{accessibility.createApplication(entry.pid), nullptr};
    platform::AXCopyResult windows =
        accessibility.copyAttributeValue(*found.application, platform::kAXWindowsAttributeName);
    auto* candidates = std::get_if<platform::AXElementArray>(&windows.value);
    if (windows.error != platform::AxError::success || candidates == nullptr) {
        // A success without a list of windows is as useless as a failure.
        const platform::AxError error =
            windows.error != platform::AxError::success ? windows.error : platform::AxError::noValue;
        output.writeLine("Could not retrieve windows for PID " + std::to_string(entry.pid) +
                         ". Error: " + axErrorText(error));
        return Lookup::failed;
    }
    for (platform::AXElementPtr& candidate : *candidates) {
        if (candidate && windowMatchesEntry(accessibility, *candidate, entry, output)) {
            found.window = std::move(candidate);
            return Lookup::matched;  // the other windows go with the array, now
        }
    }
    output.writeLine("No matching AXUIElement for windowID " + std::to_string(entry.windowID) + ".");
    return Lookup::noMatch;
}

}  // namespace

std::optional<MatchedWindow> findListedWindow(platform::AccessibilityServices& accessibility,
                                              const VisibleWindow& entry, platform::LineOutput& output,
                                              platform::WindowListSource* windowList) {
    if (!accessibility.isProcessTrusted()) {
        output.writeLine(
            "Accessibility permissions not granted. Please enable in System Settings > Privacy & Security > "
            "Accessibility.");
        return std::nullopt;
    }
    MatchedWindow found;
    Lookup outcome = lookUp(accessibility, entry, output, found);
    // A window that changes again while it is looked up (a title that ticks)
    // is looked up as it is then, a few times at most.
    std::optional<VisibleWindow> tried;  // the last fresh listing looked up
    for (int attempt = 0; attempt < 3 && outcome == Lookup::noMatch && windowList != nullptr; ++attempt) {
        found = MatchedWindow{};  // the earlier application element goes before the next is made
        const auto fresh = listedWindowNow(*windowList, entry.windowID);
        if (!fresh || sameListing(*fresh, tried ? *tried : entry)) {
            break;
        }
        output.writeLine("Window " + std::to_string(entry.windowID) +
                         " has changed since the list was taken; looking for it as it is now.");
        outcome = lookUp(accessibility, *fresh, output, found);
        tried.emplace(*fresh);
    }
    if (outcome != Lookup::matched) {
        return std::nullopt;
    }
    return found;
}

}  // namespace tallowin
