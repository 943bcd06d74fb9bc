#pragma once

#include "platform/provider.h"

namespace tallowin::doubles {

// A provider over services the test holds itself.
class ServicesProvider final : public platform::Provider {
public:
    ServicesProvider(platform::WindowListSource& windowList, platform::ScreenCapturePermission& screenCapture,
                     platform::AccessibilityServices& accessibility, platform::Preferences& preferences)
        : windowList_(windowList),
          screenCapture_(screenCapture),
          accessibility_(accessibility),
          preferences_(preferences) {}

    platform::WindowListSource& windowList() override { return windowList_; }
    platform::ScreenCapturePermission& screenCapture() override { return screenCapture_; }
    platform::AccessibilityServices& accessibility() override { return accessibility_; }
    platform::Preferences& preferences() override { return preferences_; }

private:
    platform::WindowListSource& windowList_;
    platform::ScreenCapturePermission& screenCapture_;
    platform::AccessibilityServices& accessibility_;
    platform::Preferences& preferences_;
};

}  // namespace tallowin::doubles
