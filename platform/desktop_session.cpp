#include "platform/desktop_session.h"

#include <string_view>

namespace tallowin::platform {

bool isSet(const Environment& environment, const char* name) {
    const char* value = environment(name);
    return value != nullptr && *value != '\0';
}

DesktopSession desktopSession(bool displayNamed, const Environment& environment, const SessionBus& bus) {
    if (displayNamed || !isSet(environment, "WAYLAND_DISPLAY")) {
        return !displayNamed && isSet(environment, "I3SOCK") ? DesktopSession::i3 : DesktopSession::x11;
    }
    if (!isSet(environment, "SWAYSOCK") && bus && bus("org.kde.KWin")) {
        return DesktopSession::kwin;
    }
    return isSet(environment, "SWAYSOCK") ? DesktopSession::sway : DesktopSession::unsupportedWayland;
}

std::string unsupportedDesktopMessage(const Environment& environment) {
    const std::string desktop = isSet(environment, "XDG_CURRENT_DESKTOP") ? environment("XDG_CURRENT_DESKTOP") : "";
    const bool gnome = desktop.find("GNOME") != std::string::npos;
    std::string text = "Tallowin cannot move windows on this Wayland desktop";
    if (!desktop.empty()) {
        text += " (" + desktop + ")";
    }
    text +=
        ". It supports sway, KDE Plasma (KWin) and X11 desktops. On GNOME under Wayland, only a GNOME Shell extension "
        "can move other "
        "applications' windows, and Tallowin has none yet";
    text += gnome ? ": log in with \"GNOME on Xorg\" instead." : ".";
    return text;
}

}  // namespace tallowin::platform
