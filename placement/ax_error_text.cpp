#include "placement/ax_error_text.h"

#include <array>
#include <utility>

namespace tallowin {

std::string axErrorText(platform::AxError error) {
    using namespace platform;
    static constexpr std::array<std::pair<AxError, const char*>, 16> names = {{
        {AxError::success, "kAXErrorSuccess"},
        {AxError::failure, "kAXErrorFailure"},
        {AxError::illegalArgument, "kAXErrorIllegalArgument"},
        {AxError::invalidUIElement, "kAXErrorInvalidUIElement"},
        {AxError::invalidUIElementObserver, "kAXErrorInvalidUIElementObserver"},
        {AxError::cannotComplete, "kAXErrorCannotComplete"},
        {AxError::attributeUnsupported, "kAXErrorAttributeUnsupported"},
        {AxError::actionUnsupported, "kAXErrorActionUnsupported"},
        {AxError::notificationUnsupported, "kAXErrorNotificationUnsupported"},
        {AxError::notImplemented, "kAXErrorNotImplemented"},
        {AxError::notificationAlreadyRegistered, "kAXErrorNotificationAlreadyRegistered"},
        {AxError::notificationNotRegistered, "kAXErrorNotificationNotRegistered"},
        {AxError::apiDisabled, "kAXErrorAPIDisabled"},
        {AxError::noValue, "kAXErrorNoValue"},
        {AxError::parameterizedAttributeUnsupported, "kAXErrorParameterizedAttributeUnsupported"},
        {AxError::notEnoughPrecision, "kAXErrorNotEnoughPrecision"},
    }};
    for (const auto& [code, name] : names) {
        if (code == error) {
            return std::string(name) + " (" + std::to_string(static_cast<std::int32_t>(error)) + ")";
        }
    }
    return std::to_string(static_cast<std::int32_t>(error));
}

}  // namespace tallowin
