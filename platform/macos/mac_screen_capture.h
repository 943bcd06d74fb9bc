#pragma once

#include "platform/screen_capture_permission.h"

namespace tallowin::macos {

class MacScreenCapture final : public platform::ScreenCapturePermission {
public:
    bool preflightScreenCaptureAccess() override;
    bool requestScreenCaptureAccess() override;
};

}  // namespace tallowin::macos
