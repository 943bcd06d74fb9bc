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

// An accessibility call's result. The platform may answer with any code, so
// the enumerators name only the known ones.
enum class AxError : std::int32_t {
    success = 0,
    failure = -25200,
    illegalArgument = -25201,
    invalidUIElement = -25202,
    invalidUIElementObserver = -25203,
    cannotComplete = -25204,
    attributeUnsupported = -25205,
    actionUnsupported = -25206,
    notificationUnsupported = -25207,
    notImplemented = -25208,
    notificationAlreadyRegistered = -25209,
    notificationNotRegistered = -25210,
    apiDisabled = -25211,
    noValue = -25212,
    parameterizedAttributeUnsupported = -25213,
    notEnoughPrecision = -25214,
};

// The names the accessibility service knows attributes and actions by.
inline constexpr std::string_view kAXWindowsAttributeName = "AXWindows";
inline constexpr std::string_view kAXTitleAttributeName = "AXTitle";
inline constexpr std::string_view kAXPositionAttributeName = "AXPosition";
inline constexpr std::string_view kAXSizeAttributeName = "AXSize";
inline constexpr std::string_view kAXRaiseActionName = "AXRaise";

// What a geometry value holds: a point (x, y) or a size (width, height).
enum class AxValueKind : std::uint8_t { point = 1, size = 2 };

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
    [[nodiscard]] virtual std::optional<std::pair<double, double>> getValue(AxValueKind type) const = 0;
};
using AXValuePtr = std::unique_ptr<AXValue>;

// A copied attribute value of a kind the callers do not use.
struct AXOtherValue {};
using AXElementArray = std::vector<AXElementPtr>;
// What a successful copy yields: absent, an array of elements, a text, a
// geometry value, or something else.
using AXAttributeValue = std::variant<std::monostate, AXElementArray, std::string, AXValuePtr, AXOtherValue>;

struct AXCopyResult {
    AxError error = AxError::failure;
    AXAttributeValue value;  // absent unless error is AxError::success
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
    virtual AXValuePtr createValue(AxValueKind type, double first, double second) = 0;
    virtual AxError setAttributeValue(const AXElement& element, std::string_view attribute, const AXValue& value) = 0;
    virtual AxError performAction(const AXElement& element, std::string_view action) = 0;

    // What keeps the window's frame from being the rectangle last asked of
    // it, whole inside the area windows are placed in (its size limits, that
    // area, the application), as far as the platform can tell; empty when
    // nothing does or it cannot tell. Read once the frame has settled.
    virtual std::string frameShortfall(const AXElement& /*window*/) { return {}; }
};

}  // namespace tallowin::platform
