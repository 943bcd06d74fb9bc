#pragma once

#include <memory>

// No Apple header here: the Qt shell includes this file, and the Carbon-era
// headers behind ApplicationServices define macros such as check().
namespace tallowin::platform {
class AccessibilityServices;
class Preferences;
class ScreenCapturePermission;
class WindowListSource;
}  // namespace tallowin::platform

namespace tallowin::macos {

class MacAccessibility;
class MacPreferences;
class MacScreenCapture;
class MacWindowList;

// The macOS providers of the core's platform interfaces, owned together.
class MacPlatform {
public:
    static std::unique_ptr<MacPlatform> create();
    ~MacPlatform();
    MacPlatform(const MacPlatform&) = delete;
    MacPlatform& operator=(const MacPlatform&) = delete;

    platform::WindowListSource& windowList();
    platform::ScreenCapturePermission& screenCapture();
    platform::AccessibilityServices& accessibility();
    platform::Preferences& preferences();

private:
    MacPlatform();

    std::unique_ptr<MacWindowList> windowList_;
    std::unique_ptr<MacScreenCapture> screenCapture_;
    std::unique_ptr<MacAccessibility> accessibility_;
    std::unique_ptr<MacPreferences> preferences_;
};

}  // namespace tallowin::macos
