#pragma once

#include <xcb/xcb.h>

#include <chrono>

#include "platform/accessibility.h"
#include "platform/x11/x11_client_windows.h"

namespace tallowin::x11 {

class X11Connection;

// How long a set call waits for the window manager to answer.
inline constexpr std::chrono::milliseconds kWindowManagerAnswerTimeout{300};

// Asks the window manager to put the window's outer frame exactly at target,
// kept below the band that panels reserve; returns once the frame is there
// or the wait ran out.
platform::AxError placeFrame(X11Connection& connection, xcb_window_t window, FrameRect target);

// Activates and restacks the window; success only when it ends up on top.
platform::AxError raiseWindow(X11Connection& connection, xcb_window_t window);

// Pure: the client size that gives the frame size, or nothing when none can.
struct ClientSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};
std::optional<ClientSize> clientSizeFor(double frameWidth, double frameHeight, const FrameExtents& decorations,
                                        const FrameExtents& csdShadow);

// The topmost window of a bottom-to-top stacking, panels left out (they sit
// in a layer of their own above all normal windows), or XCB_WINDOW_NONE.
xcb_window_t topOfStacking(const std::vector<ClientWindow>& bottomToTop);

}  // namespace tallowin::x11
