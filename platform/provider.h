#pragma once

#include <memory>

namespace tallowin::platform {

class AccessibilityServices;
class LineOutput;
class Preferences;
class ScreenCapturePermission;
class WindowListSource;

// What the operating system provides to the core: each platform implements
// it once, and the shell and the controller take it as it is.
class Provider {
public:
    Provider() = default;
    virtual ~Provider() = default;
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;
    Provider(Provider&&) = delete;
    Provider& operator=(Provider&&) = delete;

    virtual WindowListSource& windowList() = 0;
    virtual ScreenCapturePermission& screenCapture() = 0;
    virtual AccessibilityServices& accessibility() = 0;
    virtual Preferences& preferences() = 0;
    // Where the provider writes lines of its own (a lost connection, a refusal
    // in the window system's words); a provider with none ignores it.
    virtual void reportTo(LineOutput& /*output*/) {}
};

// The provider this build was made for, defined by the one provider library
// linked in. displayName picks the display where the platform has several
// (null: the default one). Null when the window system cannot be reached.
std::unique_ptr<Provider> openNativeProvider(const char* displayName);

// Whether a name has an owner on the session bus, for platforms whose window
// system may be found there; false elsewhere.
bool nativeSessionBusHas(const char* name);

}  // namespace tallowin::platform
