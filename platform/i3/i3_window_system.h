#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/line_output.h"
#include "platform/sway/sway_window_system.h"
#include "platform/window_system.h"

namespace tallowin::x11 {
class X11Connection;
}  // namespace tallowin::x11

namespace tallowin::i3 {

// The socket i3 names on the root window (I3_SOCKET_PATH); empty when no i3
// manages this display.
std::string socketOnRoot(x11::X11Connection& display);

// i3 speaks sway's protocol, with the display it manages for what its tree
// leaves out: each window's pid, and the size increments i3 would round a
// floating window to.
class I3Dialect final : public sway::IpcDialect {
public:
    explicit I3Dialect(std::unique_ptr<x11::X11Connection> display);
    ~I3Dialect() override;
    I3Dialect(const I3Dialect&) = delete;
    I3Dialect& operator=(const I3Dialect&) = delete;
    I3Dialect(I3Dialect&&) = delete;
    I3Dialect& operator=(I3Dialect&&) = delete;

    [[nodiscard]] std::string name() const override { return "i3"; }
    // A window is its X11 client: the tree's con ids do not fit 32 bits.
    [[nodiscard]] std::string criterion() const override { return "id"; }
    std::optional<sway::SwayTree> parse(std::string_view json) override;
    void beforeFrame(std::uint32_t window) override;

private:
    std::unique_ptr<x11::X11Connection> display_;
};

// i3 on the display (null for the default one), at socketPath or else where
// the root window names; null when i3 does not answer there.
std::unique_ptr<sway::SwayWindowSystem> connectI3(const char* displayName, const char* socketPath,
                                                  platform::LineOutput& status);

}  // namespace tallowin::i3
