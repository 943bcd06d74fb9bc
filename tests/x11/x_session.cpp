#include "tests/x11/x_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>
#include <thread>

namespace tallowin::x11::testing {

namespace {

void waitFor(pid_t pid) {
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

}  // namespace

XSession::XSession(bool withWindowManager) {
    char pattern[] = "/tmp/tallowin-x11-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        return;
    }
    runtimeDir_ = pattern;
    ::setenv("XDG_RUNTIME_DIR", runtimeDir_.c_str(), 1);

    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return;
    }
    server_ =
        spawn({"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", "2560x1440x24", "-nolisten", "tcp"},
              pipeFds[1]);
    ::close(pipeFds[1]);
    std::string number;
    pollfd descriptor{pipeFds[0], POLLIN, 0};
    char byte = 0;
    while (::poll(&descriptor, 1, 5000) > 0 && ::read(pipeFds[0], &byte, 1) == 1 && byte != '\n') {
        number += byte;
    }
    ::close(pipeFds[0]);
    if (number.empty()) {
        return;
    }
    display_ = ":" + number;
    ::setenv("DISPLAY", display_.c_str(), 1);
    if (!withWindowManager) {
        ready_ = true;
        return;
    }
    windowManager_ = spawn({"openbox", "--sm-disable"});
    // Generous: on a loaded machine a window manager can take many seconds,
    // and one that died at start is given one more chance.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool restarted = false;
    while (!ready_ && std::chrono::steady_clock::now() < deadline) {
        ready_ = run("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos;
        if (!ready_ && !restarted && ::waitpid(windowManager_, nullptr, WNOHANG) == windowManager_) {
            windowManager_ = spawn({"openbox", "--sm-disable"});
            restarted = true;
        }
        if (!ready_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

XSession::~XSession() {
    for (const pid_t client : clients_) {
        ::kill(client, SIGTERM);
        waitFor(client);
    }
    for (const pid_t process : {windowManager_, server_}) {
        if (process > 0) {
            ::kill(process, SIGTERM);
            waitFor(process);
        }
    }
    if (!runtimeDir_.empty()) {
        std::error_code error;
        std::filesystem::remove_all(runtimeDir_, error);
    }
}

pid_t XSession::spawn(const std::vector<std::string>& argv, int keepFd) {
    std::vector<char*> arguments;
    arguments.reserve(argv.size() + 1);
    for (const auto& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        for (int fd = 3; fd < 256; ++fd) {
            if (fd != keepFd) {
                ::close(fd);
            }
        }
        ::execvp(arguments[0], arguments.data());
        ::_exit(127);
    }
    return pid;
}

pid_t XSession::start(const std::vector<std::string>& argv) {
    const pid_t pid = spawn(argv);
    if (pid > 0) {
        clients_.push_back(pid);
    }
    return pid;
}

void XSession::stop(pid_t pid) {
    std::erase(clients_, pid);
    ::kill(pid, SIGTERM);
    waitFor(pid);
}

void XSession::stopServer() {
    ::kill(server_, SIGKILL);
    waitFor(server_);
    server_ = -1;
}

std::string XSession::run(const std::string& command) const {
    const std::string full = "DISPLAY=" + display_ + " " + command + " 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(full.c_str(), "r"), ::pclose);
    std::string output;
    if (!pipe) {
        return output;
    }
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe.get()) != nullptr) {
        output += buffer.data();
    }
    return output;
}

FrameGeometry frameByXwininfo(const XSession& session, unsigned window) {
    const std::string tree = session.run("xwininfo -tree -id " + std::to_string(window));
    std::smatch match;
    if (!std::regex_search(tree, match, std::regex("Parent window id: (0x[0-9a-f]+)"))) {
        return {};
    }
    const std::string info = session.run("xwininfo -id " + match[1].str());
    FrameGeometry frame;
    const auto number = [&](const char* label) {
        std::smatch found;
        return std::regex_search(info, found, std::regex(std::string(label) + R"(:\s+(-?\d+))"))
                   ? std::stoi(found[1].str())
                   : -1;
    };
    frame.x = number("Absolute upper-left X");
    frame.y = number("Absolute upper-left Y");
    frame.width = number("Width");
    frame.height = number("Height");
    return frame;
}

}  // namespace tallowin::x11::testing
