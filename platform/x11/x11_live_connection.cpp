#include "platform/x11/x11_live_connection.h"

#include <cstdio>
#include <cstdlib>

namespace tallowin::x11 {

std::unique_ptr<LiveConnection> LiveConnection::open(const char* displayName) {
    auto connection = X11Connection::open(displayName);
    if (!connection) {
        return nullptr;
    }
    const char* name = displayName != nullptr ? displayName : std::getenv("DISPLAY");
    return std::unique_ptr<LiveConnection>(new LiveConnection(name != nullptr ? name : "", std::move(connection)));
}

LiveConnection::LiveConnection(std::string displayName, std::unique_ptr<X11Connection> connection)
    : displayName_(std::move(displayName)),
      connection_(std::move(connection)),
      windowManager_(std::make_unique<WindowManager>(*connection_)) {}

// The window manager refers to the connection, so it goes first.
LiveConnection::~LiveConnection() { windowManager_.reset(); }

WindowManager& LiveConnection::windowManager() {
    // Reading what is there finds a socket the server closed, without a round trip.
    connection_->drainEvents();
    if (connection_->alive()) {
        return *windowManager_;
    }
    windowManager_.reset();
    connection_ = X11Connection::open(displayName_.c_str());
    if (!connection_) {
        std::fprintf(stderr, "tallowin: lost the connection to the X server on %s and could not reconnect\n",
                     displayName_.c_str());
        std::exit(1);  // NOLINT(concurrency-mt-unsafe): the one thread, as Qt does on a broken display
    }
    std::fprintf(stderr, "tallowin: lost the connection to the X server on %s; connected again\n",
                 displayName_.c_str());
    windowManager_ = std::make_unique<WindowManager>(*connection_);
    return *windowManager_;
}

}  // namespace tallowin::x11
