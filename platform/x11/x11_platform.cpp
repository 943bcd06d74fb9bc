#include "platform/x11/x11_platform.h"

#include "platform/plist/plist_preferences.h"
#include "platform/x11/x11_accessibility.h"
#include "platform/x11/x11_live_connection.h"
#include "platform/x11/x11_screen_capture.h"
#include "platform/x11/x11_window_list.h"

namespace tallowin::x11 {

std::unique_ptr<X11Platform> X11Platform::connect(const char* displayName) {
    auto live = LiveConnection::open(displayName);
    if (!live) {
        return nullptr;
    }
    return std::unique_ptr<X11Platform>(new X11Platform(std::move(live)));
}

X11Platform::X11Platform(std::unique_ptr<LiveConnection> live)
    : live_(std::move(live)),
      windowList_(std::make_unique<X11WindowList>(*live_)),
      screenCapture_(std::make_unique<X11ScreenCapture>()),
      accessibility_(std::make_unique<X11Accessibility>(*live_)),
      preferences_(std::make_unique<plist::PlistPreferences>(plist::PlistPreferences::defaultFolder())) {}

// The providers refer to the connection, so they go first.
X11Platform::~X11Platform() {
    accessibility_.reset();
    windowList_.reset();
    live_.reset();
}

platform::WindowListSource& X11Platform::windowList() { return *windowList_; }
platform::ScreenCapturePermission& X11Platform::screenCapture() { return *screenCapture_; }
platform::AccessibilityServices& X11Platform::accessibility() { return *accessibility_; }
platform::Preferences& X11Platform::preferences() { return *preferences_; }

}  // namespace tallowin::x11
