#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tallowin::x11::testing {

// A private Xvfb on a free display with openbox (unless told otherwise), and
// the X clients a test starts; every process is killed by its pid when the
// session ends.
class XSession {
public:
    explicit XSession(bool withWindowManager = true);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    [[nodiscard]] const std::string& display() const { return display_; }
    [[nodiscard]] bool ready() const { return ready_; }
    [[nodiscard]] pid_t windowManager() const { return windowManager_; }
    // Starts a client and returns its pid (-1 on failure).
    pid_t start(const std::vector<std::string>& argv);
    void stop(pid_t pid);
    // Ends the X server itself, as a crash would.
    void stopServer();
    // Output of a command run against this display.
    std::string run(const std::string& command) const;

private:
    pid_t spawn(const std::vector<std::string>& argv, int keepFd = -1);

    std::filesystem::path runtimeDir_;
    std::string display_;
    pid_t server_ = -1;
    pid_t windowManager_ = -1;
    std::vector<pid_t> clients_;
    bool ready_ = false;
};

// The outer frame as xwininfo sees it (the client's parent window).
struct FrameGeometry {
    int x = -1;
    int y = -1;
    int width = -1;
    int height = -1;
};
FrameGeometry frameByXwininfo(const XSession& session, unsigned window);

}  // namespace tallowin::x11::testing
