#pragma once

#include <sys/types.h>
#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/window_system.h"

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
    std::optional<std::string> ownerName;  // class part of WM_CLASS, else the process's name
    std::optional<std::string> name;       // _NET_WM_NAME, else WM_NAME
    std::optional<double> alpha;
    FrameRect frame;
    FrameExtents extents;    // the window manager's decorations
    FrameExtents csdShadow;  // _GTK_FRAME_EXTENTS: invisible margins inside the client
    std::uint16_t clientWidth = 0;
    std::uint16_t clientHeight = 0;
    bool onScreen = false;
    bool desktopType = false;
    bool dockType = false;
    bool maximizedOrFullscreen = false;
};

// The window as the window system seam presents it.
platform::SystemWindow systemWindow(ClientWindow&& window);

// Pure geometry: the outer frame from the client's root position and size.
FrameRect outerFrame(std::int32_t clientRootX, std::int32_t clientRootY, std::uint16_t clientWidth,
                     std::uint16_t clientHeight, const FrameExtents& decorations, const FrameExtents& csdShadow);

// What each client window says about itself, read once and read again only
// where the window reported a change: a refresh of a desktop where nothing
// changed costs no request per window. A window is watched (property and
// structure events, on the client and the frame around it) from its first
// read on, which watching barely slows. Each read is one round trip for all
// windows; the connection hands every event here.
class ClientWindows {
public:
    explicit ClientWindows(X11Connection& connection);
    ~ClientWindows() = default;
    ClientWindows(const ClientWindows&) = delete;
    ClientWindows& operator=(const ClientWindows&) = delete;
    ClientWindows(ClientWindows&&) = delete;
    ClientWindows& operator=(ClientWindows&&) = delete;

    // The given windows, order kept, vanished ones left out; with
    // onScreenOnly, also those not viewable on currentDesktop. Read after a
    // round trip, so every change reported before it is taken into account.
    std::vector<ClientWindow> read(const std::vector<xcb_window_t>& ids, std::uint32_t currentDesktop,
                                   bool onScreenOnly);
    // The same, on screen only and without panels or the desktop, as listed.
    std::vector<platform::SystemWindow> listed(const std::vector<xcb_window_t>& ids, std::uint32_t currentDesktop);
    // The window as last read, when no event received since reported a
    // change to it: no round trip. Nothing otherwise.
    std::optional<ClientWindow> unchanged(xcb_window_t id, std::uint32_t currentDesktop);
    void observe(const xcb_generic_event_t& event);
    // Forgets the windows not named, e.g. those the window manager let go.
    void keepOnly(const std::vector<xcb_window_t>& ids);
    // Without a window manager a window's own border is its frame.
    void setManaged(bool managed) { managed_ = managed; }

    enum Property : std::uint8_t {
        kState,
        kDesktop,
        kType,
        kPid,
        kClass,
        kNetName,
        kName,
        kFrameExtents,
        kGtkExtents,
        kOpacity,
        kPropertyCount
    };

private:
    static constexpr std::uint32_t kAllProperties = (1U << kPropertyCount) - 1;
    struct Record {
        xcb_window_t id = XCB_WINDOW_NONE;
        std::uint32_t staleProperties = kAllProperties;
        bool layoutStale = true;
        bool pidLookedUp = false;
        bool gone = false;
        // The frame around the client, read with the rest.
        std::optional<xcb_window_t> parent;
        // From the properties.
        std::vector<xcb_atom_t> states;
        std::optional<std::uint32_t> desktop;
        bool desktopType = false;
        bool dockType = false;
        std::optional<pid_t> pid;
        std::optional<std::string> className;
        std::optional<std::string> processName;
        std::optional<std::string> netName;
        std::optional<std::string> name;
        FrameExtents extents;
        FrameExtents csdShadow;
        std::optional<double> alpha;
        // From the layout.
        bool viewable = false;
        std::int32_t rootX = 0;
        std::int32_t rootY = 0;
        std::uint16_t width = 0;
        std::uint16_t height = 0;
        std::uint16_t border = 0;
    };
    struct PendingRead;
    // Each of the windows still there, read again where stale and composed,
    // in order; the gone ones are forgotten.
    void readEach(const std::vector<xcb_window_t>& ids, std::uint32_t currentDesktop,
                  const std::function<void(ClientWindow&&)>& take);
    void requestStale(Record& record, PendingRead& pending);
    void takeReplies(PendingRead& pending);
    void readStale(std::vector<Record*>& stale);
    void readMissingPids(std::vector<Record*>& records);
    void markLayoutStale(xcb_window_t window, bool parentChanged);
    void watch(xcb_window_t window);
    [[nodiscard]] ClientWindow compose(const Record& record, std::uint32_t currentDesktop) const;

    X11Connection& connection_;
    std::array<xcb_atom_t, kPropertyCount> atoms_{};
    std::unordered_map<xcb_window_t, Record> records_;
    std::unordered_multimap<xcb_window_t, xcb_window_t> clientsOfFrame_;
    bool managed_ = true;
};

}  // namespace tallowin::x11
