#include "placement/ax_error_text.h"

#include <array>
#include <utility>

namespace tallowin {

std::string axErrorText(platform::AXError error) {
    using namespace platform;
    static constexpr std::array<std::pair<AXError, const char*>, 16> names = {{
        {kAXErrorSuccess, "kAXErrorSuccess"},
        {kAXErrorFailure, "kAXErrorFailure"},
        {kAXErrorIllegalArgument, "kAXErrorIllegalArgument"},
        {kAXErrorInvalidUIElement, "kAXErrorInvalidUIElement"},
        {kAXErrorInvalidUIElementObserver, "kAXErrorInvalidUIElementObserver"},
        {kAXErrorCannotComplete, "kAXErrorCannotComplete"},
        {kAXErrorAttributeUnsupported, "kAXErrorAttributeUnsupported"},
        {kAXErrorActionUnsupported, "kAXErrorActionUnsupported"},
        {kAXErrorNotificationUnsupported, "kAXErrorNotificationUnsupported"},
        {kAXErrorNotImplemented, "kAXErrorNotImplemented"},
        {kAXErrorNotificationAlreadyRegistered, "kAXErrorNotificationAlreadyRegistered"},
        {kAXErrorNotificationNotRegistered, "kAXErrorNotificationNotRegistered"},
        {kAXErrorAPIDisabled, "kAXErrorAPIDisabled"},
        {kAXErrorNoValue, "kAXErrorNoValue"},
        {kAXErrorParameterizedAttributeUnsupported, "kAXErrorParameterizedAttributeUnsupported"},
        {kAXErrorNotEnoughPrecision, "kAXErrorNotEnoughPrecision"},
    }};
    for (const auto& [code, name] : names) {
        if (code == error) {
            return std::string(name) + " (" + std::to_string(error) + ")";
        }
    }
    return std::to_string(error);
}

}  // namespace tallowin
