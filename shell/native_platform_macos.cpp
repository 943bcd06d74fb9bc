#include "shell/native_platform.h"

#include "platform/macos/macos_platform.h"

namespace tallowin::shell {

namespace {

class MacNative final : public NativePlatform {
public:
    explicit MacNative(std::unique_ptr<macos::MacPlatform> provider) : provider_(std::move(provider)) {}

    platform::WindowListSource& windowList() override { return provider_->windowList(); }
    platform::ScreenCapturePermission& screenCapture() override { return provider_->screenCapture(); }
    platform::AccessibilityServices& accessibility() override { return provider_->accessibility(); }
    platform::Preferences& preferences() override { return provider_->preferences(); }

private:
    std::unique_ptr<macos::MacPlatform> provider_;
};

}  // namespace

std::unique_ptr<NativePlatform> openNativePlatform() {
    auto provider = macos::MacPlatform::create();
    if (!provider) {
        return nullptr;
    }
    return std::make_unique<MacNative>(std::move(provider));
}

}  // namespace tallowin::shell
