#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "platform/x11/x11_call.h"

namespace tallowin::x11 {

// Atoms that xcb-ewmh does not intern for us.
struct ExtraAtoms {
    xcb_atom_t gtkFrameExtents = XCB_ATOM_NONE;
    xcb_atom_t netWmWindowOpacity = XCB_ATOM_NONE;
    xcb_atom_t compoundText = XCB_ATOM_NONE;
    xcb_atom_t timestampProbe = XCB_ATOM_NONE;
};

// One XCB connection with its EWMH atoms, for the life of the provider.
class X11Connection {
public:
    // Null when no X server can be reached.
    static std::unique_ptr<X11Connection> open(const char* displayName);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    [[nodiscard]] xcb_connection_t* xcb() const { return connection_; }
    [[nodiscard]] xcb_ewmh_connection_t& ewmh() { return ewmh_; }
    [[nodiscard]] const ExtraAtoms& atoms() const { return atoms_; }
    [[nodiscard]] xcb_window_t root() const { return screen_->root; }
    [[nodiscard]] int screenNumber() const { return screenNumber_; }
    [[nodiscard]] std::uint16_t screenWidth() const { return screen_->width_in_pixels; }
    [[nodiscard]] std::uint16_t screenHeight() const { return screen_->height_in_pixels; }
    [[nodiscard]] bool hasXRes() const { return hasXRes_; }
    // RandR 1.5: the server lists monitors.
    [[nodiscard]] bool hasMonitors() const { return hasMonitors_; }
    [[nodiscard]] bool alive() const { return xcb_connection_has_error(connection_) == 0; }
    [[nodiscard]] XCallLog& log() { return log_; }

    // A server timestamp of now, for requests that window managers judge by time.
    xcb_timestamp_t currentTime();
    // Every event read from the connection goes to the observer first, so a
    // wait never hides a change from the window cache.
    void setEventObserver(std::function<void(const xcb_generic_event_t&)> observer) { observer_ = std::move(observer); }
    // Hands every event already sent by the server to the observer, without
    // waiting.
    void drainEvents();
    // The one bounded wait: until an event matches or the deadline passes.
    // False on timeout or a broken connection.
    bool waitFor(const std::function<bool(const xcb_generic_event_t&)>& matches,
                 std::chrono::steady_clock::time_point deadline);
    // One round trip: everything sent before has reached the server.
    void sync();
    // One round trip through the window manager: true once it has handled
    // every request sent before (or, without one, the server has). Events
    // read meanwhile go to seen as well. False at the deadline.
    bool awaitWindowManagerTurn(std::chrono::steady_clock::time_point deadline,
                                const std::function<void(const xcb_generic_event_t&)>& seen);

private:
    X11Connection(xcb_connection_t* connection, int screenNumber);
    bool initialise();

    xcb_connection_t* connection_;
    int screenNumber_;
    xcb_screen_t* screen_ = nullptr;
    xcb_ewmh_connection_t ewmh_{};
    bool ewmhReady_ = false;
    ExtraAtoms atoms_;
    bool hasXRes_ = false;
    bool hasMonitors_ = false;
    xcb_window_t probeWindow_ = XCB_WINDOW_NONE;
    std::int16_t probeX_ = -1;
    XCallLog log_;
    std::function<void(const xcb_generic_event_t&)> observer_;

    void dispatch(const xcb_generic_event_t& event);
};

}  // namespace tallowin::x11
