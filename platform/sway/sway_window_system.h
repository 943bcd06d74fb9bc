#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/line_output.h"
#include "platform/sway/i3_ipc_socket.h"
#include "platform/sway/sway_tree.h"
#include "platform/window_system.h"

namespace tallowin::sway {

// How long sway may take to show a frame or a focus it accepted. It answers
// success even for a size it then clamps, so only the tree tells.
inline constexpr std::chrono::milliseconds kReadBackBound{1000};
// An X11 client may answer a configure with a request for its old size, which
// sway grants a floating window: an exact frame must still be there after this.
inline constexpr std::chrono::milliseconds kX11Settle{150};

// sway over its IPC socket: one GET_TREE per listing; a frame is set with
// fullscreen off, floating on, a size and an absolute position, then read
// back until it is exact. A lost socket is said once and opened again at the
// next call.
class SwayWindowSystem final : public platform::WindowSystem {
public:
    // Null when nothing answers at socketPath; error then says why.
    static std::unique_ptr<SwayWindowSystem> connect(std::string socketPath, platform::LineOutput& status,
                                                     std::string& error);
    SwayWindowSystem(std::string socketPath, platform::LineOutput& status, std::unique_ptr<I3IpcSocket> socket);

    std::optional<platform::WindowSystemSnapshot> snapshot() override;
    platform::WindowOutcome setFrame(std::uint32_t window, const platform::WindowFrame& frame) override;
    platform::WindowOutcome raise(std::uint32_t window) override;

private:
    std::optional<std::string> exchange(I3Message type, const std::string& payload);
    std::optional<SwayTree> readTree();
    // Runs the commands on the window; done when sway accepted every one.
    std::optional<platform::WindowOutcome> refusal(std::uint32_t window, const std::string& commands);
    // Reads the tree until the window passes the test, within kReadBackBound.
    platform::WindowOutcome readBack(std::uint32_t window, const std::function<bool(const TreeView&)>& passes);

    std::string socketPath_;
    platform::LineOutput& status_;
    std::unique_ptr<I3IpcSocket> socket_;
};

}  // namespace tallowin::sway
