#pragma once

#include <memory>

namespace tallowin::platform {
class AccessibilityServices;
class Preferences;
class ScreenCapturePermission;
class WindowListSource;
}  // namespace tallowin::platform

namespace tallowin::shell {

// The operating system's own services, from the provider this build was
// made for (the build picks the one source file that defines openNativePlatform).
class NativePlatform {
public:
    NativePlatform() = default;
    virtual ~NativePlatform() = default;
    NativePlatform(const NativePlatform&) = delete;
    NativePlatform& operator=(const NativePlatform&) = delete;
    NativePlatform(NativePlatform&&) = delete;
    NativePlatform& operator=(NativePlatform&&) = delete;

    virtual platform::WindowListSource& windowList() = 0;
    virtual platform::ScreenCapturePermission& screenCapture() = 0;
    virtual platform::AccessibilityServices& accessibility() = 0;
    virtual platform::Preferences& preferences() = 0;
};

// Null when the platform cannot be reached (on X11: no server).
std::unique_ptr<NativePlatform> openNativePlatform();

}  // namespace tallowin::shell
