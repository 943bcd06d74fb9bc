#include "platform/macos/mac_accessibility.h"

#include <memory>
#include <string>

#include "platform/macos/cf_string.h"

namespace tallowin::macos {

namespace {

// Elements and values handed in were made by this provider; anything else
// (or an element the system refused to create) is answered with an error.
AXUIElementRef elementOf(const platform::AXElement& element) {
    const auto* mac = dynamic_cast<const MacAXElement*>(&element);
    return mac != nullptr ? mac->get() : nullptr;
}

AXValueRef valueOf(const platform::AXValue& value) {
    const auto* mac = dynamic_cast<const MacAXValue*>(&value);
    return mac != nullptr ? mac->get() : nullptr;
}

platform::AxError fromAX(AXError error) { return static_cast<platform::AxError>(error); }

// An array counts as window elements only when every item is one. Items
// are retained (the Get rule): they outlive the array that lent them.
platform::AXAttributeValue elementArray(CFArrayRef array) {
    const CFIndex count = CFArrayGetCount(array);
    platform::AXElementArray elements;
    elements.reserve(static_cast<std::size_t>(count));
    for (CFIndex i = 0; i < count; ++i) {
        const void* item = CFArrayGetValueAtIndex(array, i);
        if (item == nullptr || CFGetTypeID(item) != AXUIElementGetTypeID()) {
            return platform::AXOtherValue{};
        }
        elements.push_back(
            std::make_unique<MacAXElement>(CFRef<AXUIElementRef>::retain(static_cast<AXUIElementRef>(item))));
    }
    return elements;
}

platform::AXAttributeValue attributeValue(CFTypeRef value) {
    if (value == nullptr) {
        return std::monostate{};
    }
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFArrayGetTypeID()) {
        return elementArray(static_cast<CFArrayRef>(value));
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

// Applications with AXEnhancedUserInterface on (set by assistive tools such
// as VoiceOver) animate frame changes or ignore them; it is switched off for
// one set call and switched back on afterwards, on every path.
class EnhancedUserInterfaceOff {
public:
    explicit EnhancedUserInterfaceOff(AXUIElementRef element) : attribute_(makeCFString("AXEnhancedUserInterface")) {
        if (!attribute_) {
            return;
        }
        pid_t pid = 0;
        if (AXUIElementGetPid(element, &pid) != kAXErrorSuccess) {
            return;
        }
        auto application = CFRef<AXUIElementRef>::adopt(AXUIElementCreateApplication(pid));
        if (!application) {
            return;
        }
        CFTypeRef raw = nullptr;
        const AXError error = AXUIElementCopyAttributeValue(application.get(), attribute_.get(), &raw);
        const auto enabled = CFRef<CFTypeRef>::adopt(raw);
        if (error != kAXErrorSuccess || !enabled || CFGetTypeID(enabled.get()) != CFBooleanGetTypeID() ||
            !CFBooleanGetValue(static_cast<CFBooleanRef>(enabled.get()))) {
            return;
        }
        if (AXUIElementSetAttributeValue(application.get(), attribute_.get(), kCFBooleanFalse) == kAXErrorSuccess) {
            application_ = std::move(application);
        }
    }
    ~EnhancedUserInterfaceOff() {
        if (application_) {
            // Best effort: the caller's result is that of its own set call.
            AXUIElementSetAttributeValue(application_.get(), attribute_.get(), kCFBooleanTrue);
        }
    }
    EnhancedUserInterfaceOff(const EnhancedUserInterfaceOff&) = delete;
    EnhancedUserInterfaceOff& operator=(const EnhancedUserInterfaceOff&) = delete;

private:
    CFRef<CFStringRef> attribute_;
    CFRef<AXUIElementRef> application_;  // set only while the attribute is off
};

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
    return std::make_unique<MacAXElement>(CFRef<AXUIElementRef>::adopt(AXUIElementCreateApplication(pid)));
}

platform::AXCopyResult MacAccessibility::copyAttributeValue(const platform::AXElement& element,
                                                            std::string_view attribute) {
    const AXUIElementRef target = elementOf(element);
    if (target == nullptr) {
        return {platform::AxError::invalidUIElement, {}};
    }
    const auto name = makeCFString(attribute);
    if (!name) {
        return {platform::AxError::illegalArgument, {}};
    }
    CFTypeRef raw = nullptr;
    const AXError error = AXUIElementCopyAttributeValue(target, name.get(), &raw);
    const auto value = CFRef<CFTypeRef>::adopt(raw);  // Copy rule, on success and failure alike
    if (error != kAXErrorSuccess) {
        return {fromAX(error), {}};
    }
    return {platform::AxError::success, attributeValue(value.get())};
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
    const AXUIElementRef target = elementOf(element);
    if (target == nullptr) {
        return platform::AxError::invalidUIElement;
    }
    const AXValueRef newValue = valueOf(value);
    const auto name = makeCFString(attribute);
    if (newValue == nullptr || !name) {
        return platform::AxError::illegalArgument;
    }
    const EnhancedUserInterfaceOff enhancedUserInterfaceOff(target);
    return fromAX(AXUIElementSetAttributeValue(target, name.get(), newValue));
}

platform::AxError MacAccessibility::performAction(const platform::AXElement& element, std::string_view action) {
    const AXUIElementRef target = elementOf(element);
    if (target == nullptr) {
        return platform::AxError::invalidUIElement;
    }
    const auto name = makeCFString(action);
    if (!name) {
        return platform::AxError::illegalArgument;
    }
    return fromAX(AXUIElementPerformAction(target, name.get()));
}

}  // namespace tallowin::macos
