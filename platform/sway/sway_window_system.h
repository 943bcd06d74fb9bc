#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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

// What sets one speaker of the i3 IPC protocol apart from another: sway by
// default; i3 on X11 overrides it.
class IpcDialect {
public:
    IpcDialect() = default;
    virtual ~IpcDialect() = default;
    IpcDialect(const IpcDialect&) = delete;
    IpcDialect& operator=(const IpcDialect&) = delete;
    IpcDialect(IpcDialect&&) = delete;
    IpcDialect& operator=(IpcDialect&&) = delete;

    // How the lines name the window system.
    [[nodiscard]] virtual std::string name() const { return "sway"; }
    // The criterion that selects a window by the id its tree gives it.
    [[nodiscard]] virtual std::string criterion() const { return "con_id"; }
    virtual std::optional<SwayTree> parse(std::string_view json) { return parseTree(json); }
    // Called before the commands that set a window's frame.
    virtual void beforeFrame(std::uint32_t /*window*/) {}
};

// sway over its IPC socket: one GET_TREE per listing; a frame is set with
// fullscreen off, floating on, a size and an absolute position, then read
// back until it is exact. A lost socket is said once and opened again at the
// next call.
class SwayWindowSystem final : public platform::WindowSystem {
public:
    // Null when nothing answers at socketPath; error then says why.
    static std::unique_ptr<SwayWindowSystem> connect(
        std::string socketPath, platform::LineOutput& status, std::string& error,
        std::unique_ptr<IpcDialect> dialect = std::make_unique<IpcDialect>());
    SwayWindowSystem(std::string socketPath, platform::LineOutput& status, std::unique_ptr<I3IpcSocket> socket,
                     std::unique_ptr<IpcDialect> dialect = std::make_unique<IpcDialect>());

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
    std::unique_ptr<IpcDialect> dialect_;
};

}  // namespace tallowin::sway
