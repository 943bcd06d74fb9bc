#pragma once

#include <vector>

#include "platform/window_list_source.h"
#include "platform/x11/x11_client_windows.h"
#include "platform/x11/x11_screen_state.h"

namespace tallowin::x11 {

class LiveConnection;
class WindowManager;

// The client windows front to back, filtered as the options ask; nothing when
// the connection broke or an option asks for what X11 cannot answer.
std::optional<std::vector<ClientWindow>> listClientWindows(WindowManager& windowManager,
                                                           platform::WindowListOption options,
                                                           ScreenState* screen = nullptr);

// Pure conversion of one client window into a window-list entry.
platform::Value windowEntry(const ClientWindow& window);
// The band that panels reserve, in the shape of a menu bar entry.
platform::Value menubarEntry(const ScreenState& screen, xcb_window_t root);

class X11WindowList final : public platform::WindowListSource {
public:
    explicit X11WindowList(LiveConnection& live) : live_(live) {}

    std::optional<platform::WindowList> copyWindowInfo(platform::WindowListOption options,
                                                       std::uint32_t relativeToWindow) override;

private:
    LiveConnection& live_;
};

}  // namespace tallowin::x11
