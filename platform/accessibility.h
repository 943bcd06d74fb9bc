#pragma once

#include <sys/types.h>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tallowin::platform {

using AXError = std::int32_t;
inline constexpr AXError kAXErrorSuccess = 0;
inline constexpr AXError kAXErrorFailure = -25200;
inline constexpr AXError kAXErrorIllegalArgument = -25201;
inline constexpr AXError kAXErrorInvalidUIElement = -25202;
inline constexpr AXError kAXErrorInvalidUIElementObserver = -25203;
inline constexpr AXError kAXErrorCannotComplete = -25204;
inline constexpr AXError kAXErrorAttributeUnsupported = -25205;
inline constexpr AXError kAXErrorActionUnsupported = -25206;
inline constexpr AXError kAXErrorNotificationUnsupported = -25207;
inline constexpr AXError kAXErrorNotImplemented = -25208;
inline constexpr AXError kAXErrorNotificationAlreadyRegistered = -25209;
inline constexpr AXError kAXErrorNotificationNotRegistered = -25210;
inline constexpr AXError kAXErrorAPIDisabled = -25211;
inline constexpr AXError kAXErrorNoValue = -25212;
inline constexpr AXError kAXErrorParameterizedAttributeUnsupported = -25213;
inline constexpr AXError kAXErrorNotEnoughPrecision = -25214;

inline constexpr std::string_view kAXWindowsAttribute = "AXWindows";
inline constexpr std::string_view kAXTitleAttribute = "AXTitle";
inline constexpr std::string_view kAXPositionAttribute = "AXPosition";
inline constexpr std::string_view kAXSizeAttribute = "AXSize";
inline constexpr std::string_view kAXRaiseAction = "AXRaise";

enum class AXValueType : std::uint8_t { CGPoint = 1, CGSize = 2 };

// An application or one of its windows. Owned: destroying it releases it.
class AXElement {
public:
    virtual ~AXElement() = default;
    AXElement() = default;
    AXElement(const AXElement&) = delete;
    AXElement& operator=(const AXElement&) = delete;
};
using AXElementPtr = std::unique_ptr<AXElement>;

// A boxed point (x, y) or size (width, height). Owned like an element.
class AXValue {
public:
    virtual ~AXValue() = default;
    AXValue() = default;
    AXValue(const AXValue&) = delete;
    AXValue& operator=(const AXValue&) = delete;

    // The two doubles when the value holds that type, else nothing.
    [[nodiscard]] virtual std::optional<std::pair<double, double>> getValue(AXValueType type) const = 0;
};
using AXValuePtr = std::unique_ptr<AXValue>;

// A copied attribute value of a kind the callers do not use.
struct AXOtherValue {};
using AXElementArray = std::vector<AXElementPtr>;
// What a successful copy yields: absent, an array of elements, a text, a
// geometry value, or something else.
using AXAttributeValue = std::variant<std::monostate, AXElementArray, std::string, AXValuePtr, AXOtherValue>;

struct AXCopyResult {
    AXError error = kAXErrorFailure;
    AXAttributeValue value;  // absent unless error is kAXErrorSuccess
};

class AccessibilityServices {
public:
    virtual ~AccessibilityServices() = default;

    // With prompt true the system may ask the user to grant trust.
    virtual bool isProcessTrustedWithOptions(bool prompt) = 0;
    // Never prompts.
    virtual bool isProcessTrusted() = 0;
    // Never null.
    virtual AXElementPtr createApplication(pid_t pid) = 0;
    virtual AXCopyResult copyAttributeValue(const AXElement& element, std::string_view attribute) = 0;
    // Null when the value cannot be created.
    virtual AXValuePtr createValue(AXValueType type, double first, double second) = 0;
    virtual AXError setAttributeValue(const AXElement& element, std::string_view attribute, const AXValue& value) = 0;
    virtual AXError performAction(const AXElement& element, std::string_view action) = 0;
};

}  // namespace tallowin::platform
