#include "tests/x11/x_session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace tallowin::x11::testing {

XSession::XSession(bool withWindowManager, const std::string& screen,
                   const std::vector<std::string>& windowManagerCommand) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return;
    }
    // Xvfb picks a free display and writes its number on standard output.
    server = spawn({"Xvfb", "-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"}, pipeFds[1]);
    ::close(pipeFds[1]);
    char byte = 0;
    display = ":";
    while (::read(pipeFds[0], &byte, 1) == 1 && byte != '\n') {
        display += byte;
    }
    ::close(pipeFds[0]);
    if (display == ":") {
        return;
    }
    ::setenv("DISPLAY", display.c_str(), 1);
    ready = !withWindowManager;
    // Generous: on a loaded machine a window manager can take many seconds,
    // and one that died at start is given another chance.
    for (int i = 0; i < 1500 && !ready; ++i) {
        if (windowManager < 0 || ::waitpid(windowManager, nullptr, WNOHANG) == windowManager) {
            windowManager = spawn(windowManagerCommand);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ready = run("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos;
    }
    // A window manager names itself before it manages windows: windows mapped
    // in between would stay unmanaged. Its work area comes later (openbox),
    // where it publishes one (awesome does not); and some publish both before
    // their first scan (jwm), so a moment more.
    for (int i = 0; i < 50 && ready && run("xprop -root _NET_WORKAREA").find("(CARDINAL)") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (ready && withWindowManager) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
}

XSession::~XSession() {
    while (!clients.empty()) {
        stop(clients.back());
    }
    for (const pid_t process : {windowManager, server}) {
        if (process > 0) stop(process);
    }
}

pid_t XSession::spawn(const std::vector<std::string>& argv, int stdoutFd) {
    std::vector<char*> arguments;
    for (const auto& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(stdoutFd >= 0 ? stdoutFd : devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        ::close_range(3, ~0U, 0);
        ::execvp(arguments[0], arguments.data());
        ::_exit(127);
    }
    return pid;
}

void XSession::stop(pid_t pid) {
    std::erase(clients, pid);
    ::kill(pid, SIGTERM);
    for (int i = 1; ::waitpid(pid, nullptr, WNOHANG) == 0; ++i) {
        if (i % 100 == 0) {
            ::kill(pid, SIGKILL);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::string XSession::run(const std::string& command) const {
    std::string output;
    if (FILE* pipe = ::popen(("DISPLAY=" + display + " " + command + " 2>/dev/null").c_str(), "r")) {
        for (int c = 0; (c = std::fgetc(pipe)) != EOF;) output += static_cast<char>(c);
        ::pclose(pipe);
    }
    return output;
}

Frame XSession::frame(unsigned window) const {
    std::istringstream numbers(
        run("xwininfo -id $(xwininfo -tree -id " + std::to_string(window) +
            " | awk '/Parent window id/ {print $4}') | awk -F: '/Absolute upper-left [XY]|Width|Height/ {print $2}'"));
    Frame frame{-1, -1, -1, -1};
    numbers >> frame[0] >> frame[1] >> frame[2] >> frame[3];
    return frame;
}

}  // namespace tallowin::x11::testing
