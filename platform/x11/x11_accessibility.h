#pragma once

#include <xcb/xcb.h>

#include "platform/accessibility.h"

namespace tallowin::x11 {

class LiveConnection;

// An application (window XCB_WINDOW_NONE) or one of its client windows.
class X11Element final : public platform::AXElement {
public:
    X11Element(pid_t pid, xcb_window_t window) : pid_(pid), window_(window) {}
    [[nodiscard]] pid_t pid() const { return pid_; }
    [[nodiscard]] xcb_window_t window() const { return window_; }
    [[nodiscard]] bool isApplication() const { return window_ == XCB_WINDOW_NONE; }

private:
    pid_t pid_;
    xcb_window_t window_;
};

class X11GeometryValue final : public platform::AXValue {
public:
    X11GeometryValue(platform::AxValueKind type, double first, double second)
        : type_(type), first_(first), second_(second) {}
    [[nodiscard]] std::optional<std::pair<double, double>> getValue(platform::AxValueKind type) const override;
    [[nodiscard]] platform::AxValueKind type() const { return type_; }

private:
    platform::AxValueKind type_;
    double first_;
    double second_;
};

// Accessibility answered from the window manager's view of the client
// windows, with the frame convention of the window list.
class X11Accessibility final : public platform::AccessibilityServices {
public:
    explicit X11Accessibility(LiveConnection& live) : live_(live) {}

    bool isProcessTrustedWithOptions(bool prompt) override;  // always, or the process ends
    bool isProcessTrusted() override;
    platform::AXElementPtr createApplication(pid_t pid) override;
    platform::AXCopyResult copyAttributeValue(const platform::AXElement& element, std::string_view attribute) override;
    platform::AXValuePtr createValue(platform::AxValueKind type, double first, double second) override;
    platform::AxError setAttributeValue(const platform::AXElement& element, std::string_view attribute,
                                        const platform::AXValue& value) override;
    platform::AxError performAction(const platform::AXElement& element, std::string_view action) override;
    std::string frameShortfall(const platform::AXElement& window) override;

private:
    platform::AXCopyResult windowsOf(const X11Element& application);
    platform::AXCopyResult attributeOf(const X11Element& window, std::string_view attribute);

    LiveConnection& live_;
};

}  // namespace tallowin::x11
