#include "platform/macos/mac_accessibility.h"

#include <memory>
#include <string>

#include "platform/macos/cf_string.h"

namespace tallowin::macos {

namespace {

// Long enough for a busy application that still answers: a browser laying
// its pages out again on a resize, an IDE indexing, each of which can hold a
// reply past a second. kAXErrorCannotComplete then "does not necessarily
// mean that the function has failed" (AXUIElement.h): the application may
// still carry it out, so a shorter wait reports failures that did not
// happen. Short enough that a hung application holds our one thread for
// three seconds rather than the system's longer default: the placement's
// first call (the copy of the windows) fails and the placement stops there.
constexpr float kMessagingTimeoutSeconds = 3.0F;

}  // namespace

// Applications with AXEnhancedUserInterface on (set by assistive tools such
// as VoiceOver) animate frame changes or ignore them, and rebuild their
// accessibility tree whenever it is switched. So it is read and switched off
// at most once per placement, before the first set, and switched back on
// when the last element of the placement is released.
class ApplicationSession {
public:
    explicit ApplicationSession(CFRef<AXUIElementRef> application) : application_(std::move(application)) {}
    ~ApplicationSession() {
        if (switchedOff_) {
            // Best effort: no caller is left to hear of a failure.
            AXUIElementSetAttributeValue(application_.get(), attribute(), kCFBooleanTrue);
        }
    }
    ApplicationSession(const ApplicationSession&) = delete;
    ApplicationSession& operator=(const ApplicationSession&) = delete;

    void beforeSet() {
        if (std::exchange(checked_, true)) {
            return;
        }
        CFTypeRef raw = nullptr;
        const AXError error = AXUIElementCopyAttributeValue(application_.get(), attribute(), &raw);
        const auto enabled = CFRef<CFTypeRef>::adopt(raw);
        if (error != kAXErrorSuccess || !enabled || CFGetTypeID(enabled.get()) != CFBooleanGetTypeID() ||
            !CFBooleanGetValue(static_cast<CFBooleanRef>(enabled.get()))) {
            return;
        }
        switchedOff_ =
            AXUIElementSetAttributeValue(application_.get(), attribute(), kCFBooleanFalse) == kAXErrorSuccess;
    }

private:
    static CFStringRef attribute() { return CFSTR("AXEnhancedUserInterface"); }

    CFRef<AXUIElementRef> application_;
    bool checked_ = false;
    bool switchedOff_ = false;
};

namespace {

// Elements and values handed in were made by this provider; anything else
// (or an element the system refused to create) is answered with an error.
const MacAXElement* elementOf(const platform::AXElement& element) {
    const auto* mac = dynamic_cast<const MacAXElement*>(&element);
    return mac != nullptr && mac->get() != nullptr ? mac : nullptr;
}

AXValueRef valueOf(const platform::AXValue& value) {
    const auto* mac = dynamic_cast<const MacAXValue*>(&value);
    return mac != nullptr ? mac->get() : nullptr;
}

platform::AxError fromAX(AXError error) { return static_cast<platform::AxError>(error); }

// Every element gets the timeout: it belongs to the one element object it is
// set on, copies from it do not inherit it.
platform::AXElementPtr makeElement(CFRef<AXUIElementRef> element, std::shared_ptr<ApplicationSession> session) {
    AXUIElementSetMessagingTimeout(element.get(), kMessagingTimeoutSeconds);
    return std::make_unique<MacAXElement>(std::move(element), std::move(session));
}

// An array counts as window elements only when every item is one. Items
// are retained (the Get rule): they outlive the array that lent them.
platform::AXAttributeValue elementArray(CFArrayRef array, const std::shared_ptr<ApplicationSession>& session) {
    const CFIndex count = CFArrayGetCount(array);
    platform::AXElementArray elements;
    elements.reserve(static_cast<std::size_t>(count));
    for (CFIndex i = 0; i < count; ++i) {
        const void* item = CFArrayGetValueAtIndex(array, i);
        if (item == nullptr || CFGetTypeID(item) != AXUIElementGetTypeID()) {
            return platform::AXOtherValue{};
        }
        elements.push_back(makeElement(CFRef<AXUIElementRef>::retain(static_cast<AXUIElementRef>(item)), session));
    }
    return elements;
}

platform::AXAttributeValue attributeValue(CFTypeRef value, const std::shared_ptr<ApplicationSession>& session) {
    if (value == nullptr) {
        return std::monostate{};
    }
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFArrayGetTypeID()) {
        return elementArray(static_cast<CFArrayRef>(value), session);
    }
    if (type == CFStringGetTypeID()) {
        auto text = utf8String(static_cast<CFStringRef>(value));
        if (!text) {
            return platform::AXOtherValue{};
        }
        return std::move(*text);
    }
    if (type == AXValueGetTypeID()) {
        // Retained: the copied value itself is released by the caller.
        return std::make_unique<MacAXValue>(CFRef<AXValueRef>::retain(static_cast<AXValueRef>(value)));
    }
    return platform::AXOtherValue{};
}

}  // namespace

std::optional<std::pair<double, double>> MacAXValue::getValue(platform::AxValueKind type) const {
    if (!value_) {
        return std::nullopt;
    }
    switch (type) {
        case platform::AxValueKind::point: {
            CGPoint point{};
            if (!AXValueGetValue(value_.get(), kAXValueTypeCGPoint, &point)) {
                return std::nullopt;
            }
            return std::pair{point.x, point.y};
        }
        case platform::AxValueKind::size: {
            CGSize size{};
            if (!AXValueGetValue(value_.get(), kAXValueTypeCGSize, &size)) {
                return std::nullopt;
            }
            return std::pair{size.width, size.height};
        }
    }
    return std::nullopt;
}

bool MacAccessibility::isProcessTrustedWithOptions(bool prompt) {
    const void* keys[] = {kAXTrustedCheckOptionPrompt};
    const void* values[] = {prompt ? kCFBooleanTrue : kCFBooleanFalse};
    const auto options = CFRef<CFDictionaryRef>::adopt(CFDictionaryCreate(
        kCFAllocatorDefault, keys, values, 1, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    // Without the dictionary (allocation failed) the check runs without a prompt.
    return AXIsProcessTrustedWithOptions(options.get());
}

bool MacAccessibility::isProcessTrusted() { return AXIsProcessTrusted(); }

platform::AXElementPtr MacAccessibility::createApplication(pid_t pid) {
    auto application = CFRef<AXUIElementRef>::adopt(AXUIElementCreateApplication(pid));
    if (!application) {
        return std::make_unique<MacAXElement>(std::move(application), nullptr);
    }
    auto session = std::make_shared<ApplicationSession>(CFRef<AXUIElementRef>::retain(application.get()));
    return makeElement(std::move(application), std::move(session));
}

platform::AXCopyResult MacAccessibility::copyAttributeValue(const platform::AXElement& element,
                                                            std::string_view attribute) {
    const MacAXElement* target = elementOf(element);
    if (target == nullptr) {
        return {platform::AxError::invalidUIElement, {}};
    }
    const auto name = makeCFString(attribute);
    if (!name) {
        return {platform::AxError::illegalArgument, {}};
    }
    CFTypeRef raw = nullptr;
    const AXError error = AXUIElementCopyAttributeValue(target->get(), name.get(), &raw);
    const auto value = CFRef<CFTypeRef>::adopt(raw);  // Copy rule, on success and failure alike
    if (error != kAXErrorSuccess) {
        return {fromAX(error), {}};
    }
    return {platform::AxError::success, attributeValue(value.get(), target->session())};
}

platform::AXValuePtr MacAccessibility::createValue(platform::AxValueKind type, double first, double second) {
    CFRef<AXValueRef> value;
    switch (type) {
        case platform::AxValueKind::point: {
            const CGPoint point{first, second};
            value = CFRef<AXValueRef>::adopt(AXValueCreate(kAXValueTypeCGPoint, &point));
            break;
        }
        case platform::AxValueKind::size: {
            const CGSize size{first, second};
            value = CFRef<AXValueRef>::adopt(AXValueCreate(kAXValueTypeCGSize, &size));
            break;
        }
    }
    if (!value) {
        return nullptr;
    }
    return std::make_unique<MacAXValue>(std::move(value));
}

platform::AxError MacAccessibility::setAttributeValue(const platform::AXElement& element, std::string_view attribute,
                                                      const platform::AXValue& value) {
    const MacAXElement* target = elementOf(element);
    if (target == nullptr) {
        return platform::AxError::invalidUIElement;
    }
    const AXValueRef newValue = valueOf(value);
    const auto name = makeCFString(attribute);
    if (newValue == nullptr || !name) {
        return platform::AxError::illegalArgument;
    }
    target->session()->beforeSet();
    return fromAX(AXUIElementSetAttributeValue(target->get(), name.get(), newValue));
}

platform::AxError MacAccessibility::performAction(const platform::AXElement& element, std::string_view action) {
    const MacAXElement* target = elementOf(element);
    if (target == nullptr) {
        return platform::AxError::invalidUIElement;
    }
    const auto name = makeCFString(action);
    if (!name) {
        return platform::AxError::illegalArgument;
    }
    return fromAX(AXUIElementPerformAction(target->get(), name.get()));
}

}  // namespace tallowin::macos
