#pragma once

#include <sys/types.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tallowin::x11 {

class X11Connection;

// The outer frame in root coordinates, decorations included.
struct FrameRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const FrameRect&, const FrameRect&) = default;
};

// left, right, top, bottom, as _NET_FRAME_EXTENTS orders them.
struct FrameExtents {
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    std::uint32_t top = 0;
    std::uint32_t bottom = 0;
};

// What one managed client window says about itself.
struct ClientWindow {
    xcb_window_t id = XCB_WINDOW_NONE;
    std::optional<pid_t> pid;
    std::optional<std::string> ownerName;  // class part of WM_CLASS
    std::optional<std::string> name;       // _NET_WM_NAME, else WM_NAME
    std::optional<double> alpha;
    FrameRect frame;
    FrameExtents extents;    // the window manager's decorations
    FrameExtents csdShadow;  // _GTK_FRAME_EXTENTS: invisible margins inside the client
    std::uint16_t clientWidth = 0;
    std::uint16_t clientHeight = 0;
    bool onScreen = false;
    bool desktopType = false;
    bool maximizedOrFullscreen = false;
    bool dockType = false;
};

struct ScreenState {
    std::vector<xcb_window_t> stackingBottomToTop;
    std::uint32_t currentDesktop = 0;
    std::int64_t workAreaTop = 0;  // 0 when no panel reserves anything
    std::uint16_t screenWidth = 0;
};

// Root properties of the window manager; nothing when the connection broke.
std::optional<ScreenState> readScreenState(X11Connection& connection);

// Reads the given windows with all requests of a stage sent before any reply
// is awaited. Windows that vanished are left out. Order is kept.
std::vector<ClientWindow> readClientWindows(X11Connection& connection, const std::vector<xcb_window_t>& ids,
                                            std::uint32_t currentDesktop);

// Pure geometry: the outer frame from the client's root position and size.
FrameRect outerFrame(std::int32_t clientRootX, std::int32_t clientRootY, std::uint16_t clientWidth,
                     std::uint16_t clientHeight, const FrameExtents& decorations, const FrameExtents& csdShadow);

}  // namespace tallowin::x11
