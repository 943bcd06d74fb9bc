#pragma once

#include <memory>

#include "platform/window_system.h"

namespace tallowin::platform {
class WindowSystemProvider;
}  // namespace tallowin::platform

namespace tallowin::x11 {

class LiveConnection;

// X11 as the window manager sees it, over one connection that is opened
// again once if the server drops it.
class X11WindowSystem final : public platform::WindowSystem {
public:
    explicit X11WindowSystem(std::unique_ptr<LiveConnection> live);
    ~X11WindowSystem() override;
    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;
    X11WindowSystem(X11WindowSystem&&) = delete;
    X11WindowSystem& operator=(X11WindowSystem&&) = delete;

    // The managed windows on the current desktop, panels and the desktop
    // left out, and the work area of the primary monitor.
    std::optional<platform::WindowSystemSnapshot> snapshot() override;
    platform::WindowReading windowNow(std::uint32_t id) override;
    // Asks only for the parts that differ from the frame as last seen, so a
    // move leaves alone a size the window manager or the application chose.
    platform::WindowOutcome setFrame(std::uint32_t window, const platform::WindowFrame& frame) override;
    platform::WindowOutcome raise(std::uint32_t window) override;
    std::string shortfall(std::uint32_t window) override;

private:
    std::unique_ptr<LiveConnection> live_;
};

// The X11 provider on the display (null: the default one), keeping the capture
// rectangle under the XDG config folder; null when no X server can be reached.
std::unique_ptr<platform::WindowSystemProvider> openProvider(const char* displayName = nullptr);

}  // namespace tallowin::x11
