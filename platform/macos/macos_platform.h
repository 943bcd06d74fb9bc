#pragma once

#include <memory>

// No Apple header here: the Qt shell includes this file, and the Carbon-era
// headers behind ApplicationServices define macros such as check().
#include "platform/provider.h"

namespace tallowin::macos {

class MacAccessibility;
class MacPreferences;
class MacScreenCapture;
class MacWindowList;

// The macOS providers of the core's platform interfaces, owned together.
class MacPlatform final : public platform::Provider {
public:
    static std::unique_ptr<MacPlatform> create();
    ~MacPlatform() override;
    MacPlatform(const MacPlatform&) = delete;
    MacPlatform& operator=(const MacPlatform&) = delete;
    MacPlatform(MacPlatform&&) = delete;
    MacPlatform& operator=(MacPlatform&&) = delete;

    platform::WindowListSource& windowList() override;
    platform::ScreenCapturePermission& screenCapture() override;
    platform::AccessibilityServices& accessibility() override;
    platform::Preferences& preferences() override;

private:
    MacPlatform();

    std::unique_ptr<MacWindowList> windowList_;
    std::unique_ptr<MacScreenCapture> screenCapture_;
    std::unique_ptr<MacAccessibility> accessibility_;
    std::unique_ptr<MacPreferences> preferences_;
};

}  // namespace tallowin::macos
