#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tallowin::platform {

// Looks a variable up in the process environment; null when unset.
using Environment = std::function<const char*(const char*)>;
// Whether a name has an owner on the session bus.
using SessionBus = std::function<bool(const char* name)>;

// Whether the variable holds a value: an empty one counts as unset.
bool isSet(const Environment& environment, const char* name);

// The window system a Linux session lets Tallowin move windows through.
enum class DesktopSession : std::uint8_t {
    x11,
    i3,  // X11 with i3's IPC socket named in I3SOCK
    sway,
    kwin,
    unsupportedWayland,  // GNOME and every other Wayland compositor
};

// An X display named on the command line is X11, whatever else runs; i3
// names its socket on that display's root window too. Under
// Wayland (WAYLAND_DISPLAY) only sway, found by its IPC socket (SWAYSOCK),
// can move other programs' windows for us: XWayland cannot.
// KWin, found on the session bus, can too; the bus is asked only then.
DesktopSession desktopSession(bool displayNamed, const Environment& environment, const SessionBus& bus = {});

// What to tell the user of an unsupported Wayland desktop, named after
// XDG_CURRENT_DESKTOP when it says.
std::string unsupportedDesktopMessage(const Environment& environment);

}  // namespace tallowin::platform
