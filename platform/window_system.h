#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tallowin::platform {

// A rectangle in the window system's global coordinates, top-left origin.
struct WindowFrame {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const WindowFrame&, const WindowFrame&) = default;
};

// One top-level window as the window system reports it. The frame is what
// the user sees of the window, title bar included.
struct SystemWindow {
    std::uint32_t id = 0;
    std::optional<pid_t> pid;
    std::optional<std::string> title;
    // The application id, or the X11 class of an X11 client.
    std::optional<std::string> owner;
    WindowFrame frame;
    std::optional<double> opacity;
};

// What one listing saw: the windows front to back, and the area a window may
// be placed in (the work area of the primary output, below its bars).
struct WindowSystemSnapshot {
    std::vector<SystemWindow> windows;
    WindowFrame placementArea;
};

// How a request to the window system ended.
enum class WindowOutcome : std::uint8_t {
    done,
    windowGone,    // no such window any more
    notExact,      // accepted, but the frame did not come out as asked
    badFrame,      // no window can have that frame
    refused,       // the window system said no, in its own words
    disconnected,  // the window system could not be reached
};

// One window read now, past anything cached: empty unless the outcome is done.
struct WindowReading {
    WindowOutcome outcome = WindowOutcome::done;
    std::optional<SystemWindow> window;
};

// A window system in its own terms: what is on screen, and setting a
// window's frame and raising it. A refusal or a lost connection is told in
// the window system's own words on the status lines it was given.
class WindowSystem {
public:
    WindowSystem() = default;
    virtual ~WindowSystem() = default;
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;
    WindowSystem(WindowSystem&&) = delete;
    WindowSystem& operator=(WindowSystem&&) = delete;

    // The on-screen windows and the placement area; nothing when the window
    // system cannot be reached.
    virtual std::optional<WindowSystemSnapshot> snapshot() = 0;
    // Gives the window exactly this frame; done only when it has it.
    virtual WindowOutcome setFrame(std::uint32_t window, const WindowFrame& frame) = 0;
    // Brings the window to the front and gives it the focus.
    virtual WindowOutcome raise(std::uint32_t window) = 0;

    // The window as it is now; by default from a whole snapshot.
    virtual WindowReading windowNow(std::uint32_t id);
    // What keeps the window from the frame last asked of it (its size
    // limits, the application, the window manager), in a few words; empty
    // when nothing does or the window system cannot tell.
    virtual std::string shortfall(std::uint32_t /*window*/) { return {}; }
};

}  // namespace tallowin::platform
