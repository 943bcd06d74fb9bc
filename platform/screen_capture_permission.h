#pragma once

namespace tallowin::platform {

class ScreenCapturePermission {
public:
    virtual ~ScreenCapturePermission() = default;

    // Whether the process may already capture the screen; never prompts.
    virtual bool preflightScreenCaptureAccess() = 0;
    // Asks for the permission (the system may prompt) and yields the answer.
    virtual bool requestScreenCaptureAccess() = 0;
};

}  // namespace tallowin::platform
