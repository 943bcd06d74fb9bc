#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/window_system.h"
#include "platform/x11/x11_client_windows.h"
#include "platform/x11/x11_screen_state.h"

namespace tallowin::x11 {

class X11Connection;

// How long a window manager may take to answer before we give up: a busy
// or briefly stopped one still gets there within this.
inline constexpr std::chrono::milliseconds kLateWindowManager{2500};
// Once it answered without getting there, how long further answers may take.
inline constexpr std::chrono::milliseconds kSettleAfterAnswer{300};
// After a resize, the window manager and the application may still change
// the frame (an application that asks for its old size back): the frame
// counts as settled after this long without a change, within kSettleBound.
inline constexpr std::chrono::milliseconds kSettledQuiet{150};
inline constexpr std::chrono::milliseconds kSettleBound{750};

// The window manager's side of X11: what it manages, and asking it to move,
// size and raise a window.
class WindowManager {
public:
    explicit WindowManager(X11Connection& connection) : connection_(connection), windows_(connection) {}

    [[nodiscard]] X11Connection& connection() { return connection_; }

    // The client windows on screen front to back, without the desktop and
    // the panels. Without an EWMH window manager, the viewable top-level
    // windows. Nothing when the connection broke.
    std::optional<std::vector<platform::SystemWindow>> list(ScreenState* screen = nullptr);
    // One client window as it is now; nothing when it is gone.
    std::optional<ClientWindow> window(xcb_window_t id);
    // The same as of the events received so far, without a round trip when
    // nothing was reported about it: a Place reads a dozen attributes of
    // windows it has just listed.
    std::optional<ClientWindow> windowAsLastSeen(xcb_window_t id);

    // What to change of a window's outer frame; a part left out stays.
    struct Target {
        // The top-left corner, kept inside the work area.
        std::optional<std::pair<double, double>> position;
        std::optional<std::pair<double, double>> size;
    };
    // Gives the outer frame what the target names; done once it has it.
    platform::WindowOutcome place(xcb_window_t id, const Target& target);
    // Activates and restacks the window; done only when it ends up on top.
    platform::WindowOutcome raise(xcb_window_t id);
    // What keeps the window's frame from being the one last asked of it by
    // place, whole inside the work area: its size limits,
    // the application, the window manager, the work area; empty when nothing
    // does. Forgets what was asked.
    std::string shortfall(xcb_window_t id);

private:
    // What place last asked of a window, and whether the
    // frame got there at some point.
    struct Asked {
        std::optional<std::pair<double, double>> position;
        std::optional<std::pair<double, double>> size;
        bool sizeReached = false;
    };
    void settle(xcb_window_t id);
    std::string sizeLimitReason(const ClientWindow& window, std::pair<double, double> size);
    bool leaveFullStates(xcb_window_t id, std::chrono::steady_clock::time_point deadline);
    bool supported(xcb_atom_t hint);
    xcb_window_t topOfStacking();
    std::optional<bool> frameOnTop(xcb_window_t id);
    bool isDock(xcb_window_t id, std::uint32_t desktop);
    std::optional<ScreenState> screenState();
    std::vector<xcb_window_t> topLevelWindows();

    X11Connection& connection_;
    ClientWindows windows_;
    std::uint32_t currentDesktop_ = 0;
    bool toldNothingToList_ = false;
    std::map<xcb_window_t, Asked> asked_;
};

// Pure: the client size that gives the frame size, or nothing when none can.
struct ClientSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};
std::optional<ClientSize> clientSizeFor(double frameWidth, double frameHeight, const FrameExtents& decorations,
                                        const FrameExtents& csdShadow);

// Terminals size themselves in character cells; a size between cells can only
// be had by withdrawing the increments from the window's size hints. Withdraws
// them unless size, when known, fits them already; true when it did.
bool withdrawSizeIncrements(X11Connection& connection, xcb_window_t window, const std::optional<ClientSize>& size);

}  // namespace tallowin::x11
