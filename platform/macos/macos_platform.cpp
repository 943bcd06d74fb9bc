#include "platform/macos/macos_platform.h"

#include "platform/macos/mac_accessibility.h"
#include "platform/macos/mac_preferences.h"
#include "platform/macos/mac_screen_capture.h"
#include "platform/macos/mac_window_list.h"

namespace tallowin::macos {

MacPlatform::MacPlatform()
    : windowList_(std::make_unique<MacWindowList>()),
      screenCapture_(std::make_unique<MacScreenCapture>()),
      accessibility_(std::make_unique<MacAccessibility>()),
      preferences_(std::make_unique<MacPreferences>()) {}

MacPlatform::~MacPlatform() = default;

std::unique_ptr<MacPlatform> MacPlatform::create() { return std::unique_ptr<MacPlatform>(new MacPlatform()); }

platform::WindowListSource& MacPlatform::windowList() { return *windowList_; }
platform::ScreenCapturePermission& MacPlatform::screenCapture() { return *screenCapture_; }
platform::AccessibilityServices& MacPlatform::accessibility() { return *accessibility_; }
platform::Preferences& MacPlatform::preferences() { return *preferences_; }

}  // namespace tallowin::macos

namespace tallowin::platform {

// One display on macOS: the name is for platforms that have several.
std::unique_ptr<Provider> openNativeProvider(const char* /*displayName*/) { return macos::MacPlatform::create(); }

bool nativeSessionBusHas(const char* /*name*/) { return false; }

}  // namespace tallowin::platform
