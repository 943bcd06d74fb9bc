#pragma once

#include <memory>

#include "platform/provider.h"

namespace tallowin::plist {
class PlistPreferences;
}  // namespace tallowin::plist

namespace tallowin::x11 {

class X11Accessibility;
class LiveConnection;
class X11ScreenCapture;
class X11WindowList;

// The X11 providers of the core's platform interfaces over one XCB connection,
// opened again once if the server drops it.
class X11Platform final : public platform::Provider {
public:
    // Null when no X server can be reached (DISPLAY unset or refused).
    static std::unique_ptr<X11Platform> connect(const char* displayName = nullptr);
    ~X11Platform() override;
    X11Platform(const X11Platform&) = delete;
    X11Platform& operator=(const X11Platform&) = delete;
    X11Platform(X11Platform&&) = delete;
    X11Platform& operator=(X11Platform&&) = delete;

    platform::WindowListSource& windowList() override;
    platform::ScreenCapturePermission& screenCapture() override;  // always granted
    platform::AccessibilityServices& accessibility() override;    // always trusted
    platform::Preferences& preferences() override;                // property lists under the XDG config folder

private:
    explicit X11Platform(std::unique_ptr<LiveConnection> live);

    std::unique_ptr<LiveConnection> live_;
    std::unique_ptr<X11WindowList> windowList_;
    std::unique_ptr<X11ScreenCapture> screenCapture_;
    std::unique_ptr<X11Accessibility> accessibility_;
    std::unique_ptr<plist::PlistPreferences> preferences_;
};

}  // namespace tallowin::x11
