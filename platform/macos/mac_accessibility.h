#pragma once

#include <ApplicationServices/ApplicationServices.h>

#include <optional>
#include <string_view>
#include <utility>

#include "platform/accessibility.h"
#include "platform/macos/cf_ref.h"

namespace tallowin::macos {

class MacAXElement final : public platform::AXElement {
public:
    explicit MacAXElement(CFRef<AXUIElementRef> element) : element_(std::move(element)) {}
    [[nodiscard]] AXUIElementRef get() const { return element_.get(); }

private:
    CFRef<AXUIElementRef> element_;
};

class MacAXValue final : public platform::AXValue {
public:
    explicit MacAXValue(CFRef<AXValueRef> value) : value_(std::move(value)) {}
    [[nodiscard]] AXValueRef get() const { return value_.get(); }

    [[nodiscard]] std::optional<std::pair<double, double>> getValue(platform::AxValueKind type) const override;

private:
    CFRef<AXValueRef> value_;
};

// The Accessibility API of ApplicationServices.
class MacAccessibility final : public platform::AccessibilityServices {
public:
    bool isProcessTrustedWithOptions(bool prompt) override;
    bool isProcessTrusted() override;
    platform::AXElementPtr createApplication(pid_t pid) override;
    platform::AXCopyResult copyAttributeValue(const platform::AXElement& element, std::string_view attribute) override;
    platform::AXValuePtr createValue(platform::AxValueKind type, double first, double second) override;
    platform::AxError setAttributeValue(const platform::AXElement& element, std::string_view attribute,
                                        const platform::AXValue& value) override;
    platform::AxError performAction(const platform::AXElement& element, std::string_view action) override;
};

}  // namespace tallowin::macos
