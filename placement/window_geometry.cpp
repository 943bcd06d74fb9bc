#include "placement/window_geometry.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "placement/ax_error_text.h"
#include "platform/accessibility.h"
#include "platform/line_output.h"
#include "platform/number_text.h"

namespace tallowin {

namespace {

// Sets one geometry attribute from a value made for this call alone.
void setGeometry(platform::AccessibilityServices& accessibility, const platform::AXElement& window,
                 std::string_view attribute, platform::AxValueKind type, double first, double second,
                 platform::LineOutput& output, std::string_view failurePrefix) {
    const platform::AXValuePtr value = accessibility.createValue(type, first, second);
    if (!value) {
        return;
    }
    const platform::AxError error = accessibility.setAttributeValue(window, attribute, *value);
    if (error != platform::AxError::success) {
        output.writeLine(std::string(failurePrefix) + axErrorText(error));
    }
}

// A read counts only when the copy succeeds with a value of the wanted type.
std::optional<std::pair<double, double>> readGeometry(platform::AccessibilityServices& accessibility,
                                                      const platform::AXElement& window, std::string_view attribute,
                                                      platform::AxValueKind type) {
    const platform::AXCopyResult copy = accessibility.copyAttributeValue(window, attribute);
    const auto* value =
        copy.error == platform::AxError::success ? std::get_if<platform::AXValuePtr>(&copy.value) : nullptr;
    if (value == nullptr || !*value) {
        return std::nullopt;
    }
    return (*value)->getValue(type);
}

// Whole values as integers (1920), others as they read back (0.5).
std::string number(double value) {
    if (std::isfinite(value) && value == std::trunc(value) && std::abs(value) < 1e15) {
        return std::to_string(static_cast<std::int64_t>(value));
    }
    return platform::formatDouble(value);
}

}  // namespace

PlacedFrame reportPlacedFrame(platform::AccessibilityServices& accessibility, const platform::AXElement& window,
                              double width, double height, platform::LineOutput& output) {
    PlacedFrame placed{
        readGeometry(accessibility, window, platform::kAXPositionAttributeName, platform::AxValueKind::point),
        readGeometry(accessibility, window, platform::kAXSizeAttributeName, platform::AxValueKind::size)};
    const bool otherSize = placed.size && !(placed.size->first == width && placed.size->second == height);
    const std::string why = accessibility.frameShortfall(window);
    if (!otherSize && why.empty()) {
        return placed;
    }
    std::string line = "Window is";
    if (placed.position) {
        line += " at " + number(placed.position->first) + "," + number(placed.position->second);
    }
    if (placed.size) {
        line += std::string(placed.position ? " with" : "") + " size " + number(placed.size->first) + "x" +
                number(placed.size->second);
    }
    if (!placed.position && !placed.size) {
        line += " not where it was asked to be";
    }
    if (otherSize) {
        line += ", not " + number(width) + "x" + number(height);
    }
    if (!why.empty()) {
        line += ": " + why;
    }
    output.writeLine(line + ".");
    return placed;
}

void setWindowFrame(platform::AccessibilityServices& accessibility, const platform::AXElement& window, double width,
                    double height, platform::LineOutput& output) {
    setGeometry(accessibility, window, platform::kAXPositionAttributeName, platform::AxValueKind::point, 0.0, 0.0,
                output, "Failed to set window position. AXError: ");
    setGeometry(accessibility, window, platform::kAXSizeAttributeName, platform::AxValueKind::size, width, height,
                output, "Failed to set window size. AXError: ");
}

void raiseWindow(platform::AccessibilityServices& accessibility, const platform::AXElement& window,
                 platform::LineOutput& output) {
    const platform::AxError error = accessibility.performAction(window, platform::kAXRaiseActionName);
    if (error == platform::AxError::success) {
        output.writeLine("Window successfully brought to front.");
    } else {
        output.writeLine("Failed to bring window to front. AXError: " + axErrorText(error));
    }
}

}  // namespace tallowin
