#pragma once

#include <memory>
#include <optional>

#include "platform/accessibility.h"
#include "platform/preferences.h"
#include "platform/provider.h"
#include "platform/screen_capture_permission.h"
#include "platform/status_lines.h"
#include "platform/window_list_source.h"
#include "platform/window_system.h"

namespace tallowin::platform {

// The core's window list over a window system: the placement area's top band
// becomes the menu bar entry, each window an entry under the window server's
// keys.
class WindowSystemWindowList final : public WindowListSource {
public:
    explicit WindowSystemWindowList(WindowSystem& system) : system_(system) {}
    std::optional<WindowList> copyWindowInfo(WindowListOption options, std::uint32_t relativeToWindow) override;

private:
    WindowSystem& system_;
};

// Pure conversions behind the window list.
Value windowListEntry(SystemWindow window);
Value menubarEntry(const WindowFrame& placementArea);

// The core's accessibility calls over a window system. A Place reads the
// windows once ("AXWindows") and each window's attributes from that reading.
class WindowSystemAccessibility final : public AccessibilityServices {
public:
    explicit WindowSystemAccessibility(WindowSystem& system) : system_(system) {}

    bool isProcessTrustedWithOptions(bool prompt) override;  // nothing to grant
    bool isProcessTrusted() override;
    AXElementPtr createApplication(pid_t pid) override;
    AXCopyResult copyAttributeValue(const AXElement& element, std::string_view attribute) override;
    AXValuePtr createValue(AxValueKind type, double first, double second) override;
    AxError setAttributeValue(const AXElement& element, std::string_view attribute, const AXValue& value) override;
    AxError performAction(const AXElement& element, std::string_view action) override;
    std::string frameShortfall(const AXElement& window) override;

private:
    SystemWindow* lastSeen(std::uint32_t window);

    WindowSystem& system_;
    std::optional<WindowSystemSnapshot> seen_;
};

// The one place where a window system's outcomes become accessibility errors.
AxError axErrorOf(WindowOutcome outcome);

// A provider over any window system; screen capture needs no permission.
class WindowSystemProvider final : public Provider {
public:
    // The window system writes its own lines to status.
    WindowSystemProvider(std::unique_ptr<StatusLines> status, std::unique_ptr<WindowSystem> system,
                         std::unique_ptr<Preferences> preferences);
    ~WindowSystemProvider() override;
    WindowSystemProvider(const WindowSystemProvider&) = delete;
    WindowSystemProvider& operator=(const WindowSystemProvider&) = delete;
    WindowSystemProvider(WindowSystemProvider&&) = delete;
    WindowSystemProvider& operator=(WindowSystemProvider&&) = delete;

    WindowListSource& windowList() override { return windowList_; }
    ScreenCapturePermission& screenCapture() override { return screenCapture_; }
    AccessibilityServices& accessibility() override { return accessibility_; }
    Preferences& preferences() override { return *preferences_; }
    void reportTo(LineOutput& output) override { status_->attach(output); }
    WindowSystem& windowSystem() { return *system_; }

private:
    struct Granted final : ScreenCapturePermission {
        bool preflightScreenCaptureAccess() override { return true; }
        bool requestScreenCaptureAccess() override { return true; }
    };

    std::unique_ptr<StatusLines> status_;
    std::unique_ptr<WindowSystem> system_;
    std::unique_ptr<Preferences> preferences_;
    WindowSystemWindowList windowList_;
    WindowSystemAccessibility accessibility_;
    Granted screenCapture_;
};

}  // namespace tallowin::platform
