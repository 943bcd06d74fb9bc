#include "shell/native_platform.h"

#include "platform/x11/x11_platform.h"

namespace tallowin::shell {

namespace {

class X11Native final : public NativePlatform {
public:
    explicit X11Native(std::unique_ptr<x11::X11Platform> provider) : provider_(std::move(provider)) {}

    platform::WindowListSource& windowList() override { return provider_->windowList(); }
    platform::ScreenCapturePermission& screenCapture() override { return provider_->screenCapture(); }
    platform::AccessibilityServices& accessibility() override { return provider_->accessibility(); }
    platform::Preferences& preferences() override { return provider_->preferences(); }

private:
    std::unique_ptr<x11::X11Platform> provider_;
};

}  // namespace

std::unique_ptr<NativePlatform> openNativePlatform() {
    auto provider = x11::X11Platform::connect();
    if (!provider) {
        return nullptr;
    }
    return std::make_unique<X11Native>(std::move(provider));
}

}  // namespace tallowin::shell
