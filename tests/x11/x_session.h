#pragma once

#include <sys/types.h>

#include <array>
#include <string>
#include <vector>

namespace tallowin::x11::testing {

// The outer frame as xwininfo sees it (the client's parent window): x, y,
// width, height.
using Frame = std::array<int, 4>;

// A private Xvfb on a free display with openbox (unless told otherwise), and
// the X clients a test starts; every process is ended by its pid at the end.
struct XSession {
    explicit XSession(bool withWindowManager = true, const std::string& screen = "2560x1440x24",
                      const std::vector<std::string>& windowManagerCommand = {"openbox", "--sm-disable"});
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    static pid_t spawn(const std::vector<std::string>& argv, int stdoutFd = -1);
    pid_t start(const std::vector<std::string>& argv) { return clients.emplace_back(spawn(argv)); }
    void stop(pid_t pid);
    // Output of a shell command run against this display.
    std::string run(const std::string& command) const;
    [[nodiscard]] Frame frame(unsigned window) const;

    std::string display;
    pid_t server = -1;
    pid_t windowManager = -1;
    std::vector<pid_t> clients;
    bool ready = false;
};

}  // namespace tallowin::x11::testing
