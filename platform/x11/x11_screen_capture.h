#pragma once

#include "platform/screen_capture_permission.h"

namespace tallowin::x11 {

// X11 has no screen-capture permission: every client may read the screen.
class X11ScreenCapture final : public platform::ScreenCapturePermission {
public:
    bool preflightScreenCaptureAccess() override { return true; }
    bool requestScreenCaptureAccess() override { return true; }
};

}  // namespace tallowin::x11
