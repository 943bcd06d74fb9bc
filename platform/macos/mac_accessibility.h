#pragma once

#include <ApplicationServices/ApplicationServices.h>

#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/accessibility.h"
#include "platform/macos/cf_ref.h"

namespace tallowin::macos {

// What one placement shares among an application's elements (see the .cpp).
class ApplicationSession;

class MacAXElement final : public platform::AXElement {
public:
    MacAXElement(CFRef<AXUIElementRef> element, std::shared_ptr<ApplicationSession> session)
        : element_(std::move(element)), session_(std::move(session)) {}
    [[nodiscard]] AXUIElementRef get() const { return element_.get(); }
    [[nodiscard]] const std::shared_ptr<ApplicationSession>& session() const { return session_; }

private:
    CFRef<AXUIElementRef> element_;
    std::shared_ptr<ApplicationSession> session_;  // null when the element could not be created
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
