#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_window_manager.h"

namespace tallowin::x11 {

// The provider's connection and its window manager. A connection the server
// dropped is opened again once, on the same display; when that fails the
// process ends, as Qt ends it when the server goes away: a provider without a
// server would only fail every later call in ways that read as something else,
// such as a missing permission.
class LiveConnection {
public:
    // Null when no X server can be reached.
    static std::unique_ptr<LiveConnection> open(const char* displayName);
    ~LiveConnection();
    LiveConnection(const LiveConnection&) = delete;
    LiveConnection& operator=(const LiveConnection&) = delete;

    // The window manager over a connection that was alive when asked.
    WindowManager& windowManager();

    // Runs the operation, and once more on a new connection when the old one
    // broke on the way.
    template <typename Operation>
    auto retried(Operation&& operation) {
        auto result = operation(windowManager());
        if (!connection_->alive()) {
            result = operation(windowManager());
        }
        return result;
    }

private:
    LiveConnection(std::string displayName, std::unique_ptr<X11Connection> connection);

    std::string displayName_;
    std::unique_ptr<X11Connection> connection_;
    std::unique_ptr<WindowManager> windowManager_;
};

}  // namespace tallowin::x11
