#include "platform/sway/sway_window_system.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <utility>

#include "platform/number_text.h"

namespace tallowin::sway {

namespace {

using platform::WindowFrame;
using platform::WindowOutcome;

std::string frameText(const WindowFrame& frame) {
    return "x=" + platform::formatDouble(frame.x) + " y=" + platform::formatDouble(frame.y) +
           " width=" + platform::formatDouble(frame.width) + " height=" + platform::formatDouble(frame.height);
}

// sway takes whole pixels; a value that is none cannot be asked for.
std::optional<std::string> pixels(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e6) {
        return std::nullopt;
    }
    return std::to_string(std::lround(value));
}

}  // namespace

std::unique_ptr<SwayWindowSystem> SwayWindowSystem::connect(std::string socketPath, platform::LineOutput& status,
                                                            std::string& error, std::unique_ptr<IpcDialect> dialect) {
    auto socket = I3IpcSocket::connect(socketPath, error);
    if (!socket) {
        return nullptr;
    }
    return std::make_unique<SwayWindowSystem>(std::move(socketPath), status, std::move(socket), std::move(dialect));
}

SwayWindowSystem::SwayWindowSystem(std::string socketPath, platform::LineOutput& status,
                                   std::unique_ptr<I3IpcSocket> socket, std::unique_ptr<IpcDialect> dialect)
    : socketPath_(std::move(socketPath)), status_(status), socket_(std::move(socket)), dialect_(std::move(dialect)) {}

std::optional<std::string> SwayWindowSystem::exchange(I3Message type, const std::string& payload) {
    if (!socket_) {
        // Lost earlier and said so then: a compositor still away stays quiet.
        std::string error;
        socket_ = I3IpcSocket::connect(socketPath_, error);
        if (!socket_) {
            return std::nullopt;
        }
        status_.writeLine("Connected to " + dialect_->name() + " again at " + socketPath_);
    }
    auto reply = socket_->request(type, payload);
    if (!reply) {
        status_.writeLine("Lost the connection to " + dialect_->name() + " at " + socketPath_ + ": " +
                          socket_->lastError());
        socket_.reset();
    }
    return reply;
}

std::optional<SwayTree> SwayWindowSystem::readTree() {
    const auto reply = exchange(I3Message::getTree, {});
    if (!reply) {
        return std::nullopt;
    }
    auto tree = dialect_->parse(*reply);
    if (!tree) {
        status_.writeLine(dialect_->name() + " sent a tree that cannot be read");
    }
    return tree;
}

std::optional<platform::WindowSystemSnapshot> SwayWindowSystem::snapshot() {
    const auto tree = readTree();
    if (!tree) {
        return std::nullopt;
    }
    return onScreen(*tree);
}

std::optional<WindowOutcome> SwayWindowSystem::refusal(std::uint32_t window, const std::string& commands) {
    const std::string command = "[" + dialect_->criterion() + "=" + std::to_string(window) + "] " + commands;
    const auto reply = exchange(I3Message::runCommand, command);
    if (!reply) {
        return WindowOutcome::disconnected;
    }
    const auto refused = commandRefusal(*reply);
    if (!refused) {
        return std::nullopt;
    }
    status_.writeLine(dialect_->name() + " refused \"" + command + "\": " + *refused);
    // A window closed meanwhile is refused as "No matching node."; say which.
    const auto tree = readTree();
    if (!tree) {
        return WindowOutcome::disconnected;
    }
    return findView(*tree, window) == nullptr ? WindowOutcome::windowGone : WindowOutcome::refused;
}

WindowOutcome SwayWindowSystem::readBack(std::uint32_t window, const std::function<bool(const TreeView&)>& passes) {
    const auto deadline = std::chrono::steady_clock::now() + kReadBackBound;
    auto pause = std::chrono::milliseconds(2);
    for (;;) {
        const auto tree = readTree();
        if (!tree) {
            return WindowOutcome::disconnected;
        }
        const TreeView* view = findView(*tree, window);
        if (view == nullptr) {
            status_.writeLine("Window " + std::to_string(window) + " closed while " + dialect_->name() +
                              " was placing it");
            return WindowOutcome::windowGone;
        }
        if (passes(*view)) {
            return WindowOutcome::done;
        }
        if (std::chrono::steady_clock::now() + pause > deadline) {
            return WindowOutcome::notExact;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

WindowOutcome SwayWindowSystem::setFrame(std::uint32_t window, const WindowFrame& frame) {
    const auto x = pixels(frame.x);
    const auto y = pixels(frame.y);
    const auto width = pixels(frame.width);
    const auto height = pixels(frame.height);
    if (!x || !y || !width || !height) {
        status_.writeLine(dialect_->name() + " cannot give a window the frame " + frameText(frame));
        return WindowOutcome::refused;
    }
    // Fullscreen first: sway accepts the rest for a fullscreen window and
    // leaves it fullscreen. A frame an X11 client took back gets one more try.
    const std::string commands = "fullscreen disable, floating enable, resize set " + *width + " " + *height +
                                 ", move absolute position " + *x + " " + *y;
    std::string seen;
    bool x11 = false;
    const auto exact = [&](const TreeView& view) {
        seen = frameText(view.window.frame);
        x11 = view.x11;
        return view.window.frame == frame;
    };
    auto outcome = WindowOutcome::notExact;
    for (int attempt = 0; attempt < 2 && outcome == WindowOutcome::notExact; ++attempt) {
        dialect_->beforeFrame(window);
        if (const auto refused = refusal(window, commands)) {
            return *refused;
        }
        outcome = readBack(window, exact);
        if (outcome == WindowOutcome::done && x11) {
            std::this_thread::sleep_for(kX11Settle);
            const auto tree = readTree();
            const TreeView* view = tree ? findView(*tree, window) : nullptr;
            if (!tree) {
                return WindowOutcome::disconnected;
            }
            outcome = view == nullptr ? WindowOutcome::windowGone
                      : exact(*view)  ? WindowOutcome::done
                                      : WindowOutcome::notExact;
        }
    }
    if (outcome == WindowOutcome::notExact) {
        status_.writeLine(dialect_->name() + " gave window " + std::to_string(window) + " the frame " + seen +
                          ", not " + frameText(frame));
    }
    return outcome;
}

WindowOutcome SwayWindowSystem::raise(std::uint32_t window) {
    if (const auto refused = refusal(window, "focus")) {
        return *refused;
    }
    const auto outcome = readBack(window, [](const TreeView& view) { return view.focused; });
    if (outcome == WindowOutcome::notExact) {
        status_.writeLine(dialect_->name() + " did not focus window " + std::to_string(window));
    }
    return outcome;
}

}  // namespace tallowin::sway
