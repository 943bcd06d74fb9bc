#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace tallowin::x11 {

class X11Connection;

// What the window manager says about the screen as a whole.
struct ScreenState {
    // False when no EWMH window manager lists the client windows.
    bool managed = false;
    std::vector<xcb_window_t> stackingBottomToTop;
    std::uint32_t currentDesktop = 0;
    std::int64_t workAreaLeft = 0;
    std::int64_t workAreaTop = 0;    // 0 when no panel reserves anything
    std::int64_t workAreaWidth = 0;  // the screen's when no work area is published
    std::int64_t workAreaHeight = 0;
    std::uint16_t screenWidth = 0;
};

// Root properties of the window manager, in one round trip; nothing when the
// connection broke.
std::optional<ScreenState> readScreenState(X11Connection& connection);

// The work area less the bands the panels' struts reserve, for a window
// manager that publishes none or leaves them out; one more round trip.
void workAreaFromStruts(X11Connection& connection, ScreenState& state);

}  // namespace tallowin::x11
