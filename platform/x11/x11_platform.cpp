#include "platform/x11/x11_platform.h"

#include "platform/plist/plist_preferences.h"
#include "platform/x11/x11_accessibility.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_screen_capture.h"
#include "platform/x11/x11_window_list.h"
#include "platform/x11/x11_window_manager.h"

namespace tallowin::x11 {

std::unique_ptr<X11Platform> X11Platform::connect(const char* displayName) {
    auto connection = X11Connection::open(displayName);
    if (!connection) {
        return nullptr;
    }
    return std::unique_ptr<X11Platform>(new X11Platform(std::move(connection)));
}

X11Platform::X11Platform(std::unique_ptr<X11Connection> connection)
    : connection_(std::move(connection)),
      windowManager_(std::make_unique<WindowManager>(*connection_)),
      windowList_(std::make_unique<X11WindowList>(*windowManager_)),
      screenCapture_(std::make_unique<X11ScreenCapture>()),
      accessibility_(std::make_unique<X11Accessibility>(*windowManager_)),
      preferences_(std::make_unique<plist::PlistPreferences>(plist::PlistPreferences::defaultFolder())) {}

// The providers refer to the connection, so they go first.
X11Platform::~X11Platform() {
    accessibility_.reset();
    windowList_.reset();
    windowManager_.reset();
    connection_.reset();
}

platform::WindowListSource& X11Platform::windowList() { return *windowList_; }
platform::ScreenCapturePermission& X11Platform::screenCapture() { return *screenCapture_; }
platform::AccessibilityServices& X11Platform::accessibility() { return *accessibility_; }
platform::Preferences& X11Platform::preferences() { return *preferences_; }

}  // namespace tallowin::x11

namespace tallowin::platform {

std::unique_ptr<Provider> openNativeProvider(const char* displayName) { return x11::X11Platform::connect(displayName); }

}  // namespace tallowin::platform
