#pragma once

#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/kwin/kwin_window_system.h"

namespace tallowin::kwin::testing {

// A private KWin on a virtual 2560x1440 output inside its own session bus,
// which this process then uses as its session bus. The bus outlives KWin. The packaged binary
// carries a file capability some sandboxes refuse to run: a plain copy runs.
class KWinSession {
public:
    // Null, with why, when KWin does not come up.
    static std::unique_ptr<KWinSession> start(std::string& why) {
        std::unique_ptr<KWinSession> session(new KWinSession());
        const auto base = std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                    : std::filesystem::temp_directory_path();
        std::string pattern = (base / "tallowin-kwin-XXXXXX").string();
        session->folder_ = ::mkdtemp(pattern.data());
        const auto& folder = session->folder_;
        std::filesystem::create_directory(folder / "run");
        ::chmod((folder / "run").c_str(), 0700);
        std::filesystem::copy_file("/usr/bin/kwin_wayland", folder / "kwin_wayland");
        const std::string command =
            "exec env -i PATH=/usr/bin:/bin HOME=" + folder.string() + " XDG_RUNTIME_DIR=" + (folder / "run").string() +
            " dbus-run-session -- sh -c 'echo \"$DBUS_SESSION_BUS_ADDRESS\" >bus.tmp && mv bus.tmp bus && "
            "./kwin_wayland --virtual --socket tallowin-kwin --width 2560 --height 1440 & echo $! >kwin.pid; wait; "
            "exec sleep 100000' >kwin.log 2>&1";
        session->leader_ = ::fork();
        if (session->leader_ == 0) {
            ::setpgid(0, 0);
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // a test killed on a timeout takes its compositor along
            if (::chdir(folder.c_str()) == 0) {
                ::execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
            }
            ::_exit(127);
        }
        for (int i = 0; i < 600; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            std::string address;
            std::getline(std::ifstream(folder / "bus"), address);
            if (!address.empty() && std::filesystem::exists(folder / "run" / "tallowin-kwin")) {
                ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
                if (onSessionBus("org.kde.KWin")) {
                    return session;
                }
            }
        }
        why = "KWin did not come up; see " + (folder / "kwin.log").string();
        return nullptr;
    }
    ~KWinSession() {
        kill();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    KWinSession(const KWinSession&) = delete;
    KWinSession& operator=(const KWinSession&) = delete;

    [[nodiscard]] std::string runtime() const { return (folder_ / "run").string(); }
    // A GTK client of this compositor, in its process group; its pid.
    pid_t client(const std::vector<std::string>& arguments) {
        std::string command =
            "exec env -i PATH=/usr/bin:/bin GDK_BACKEND=wayland WAYLAND_DISPLAY=tallowin-kwin XDG_RUNTIME_DIR=" +
            runtime();
        for (const auto& argument : arguments) {
            command += " '" + argument + "'";
        }
        command += " >>" + (folder_ / "clients.log").string() + " 2>&1";
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setpgid(0, leader_);
            ::execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
            ::_exit(127);
        }
        return pid;
    }
    // KWin's own account of a window, apart from any script.
    static QVariantMap windowInfo(const std::string& internalId) {
        auto message = QDBusMessage::createMethodCall("org.kde.KWin", "/KWin", "org.kde.KWin", "getWindowInfo");
        message << QString::fromStdString(internalId);
        const auto reply = QDBusConnection::sessionBus().call(message);
        return qdbus_cast<QVariantMap>(reply.arguments().value(0));
    }
    // Kills the compositor alone; the bus stays.
    void killKWin() {
        pid_t pid = 0;
        std::ifstream(folder_ / "kwin.pid") >> pid;
        if (pid > 0) {
            ::kill(pid, SIGKILL);
        }
        for (int i = 0; i < 100 && onSessionBus("org.kde.KWin"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    // Kills the bus, the compositor and every client.
    void kill() {
        if (leader_ > 0) {
            ::kill(-leader_, SIGKILL);
            while (::waitpid(-leader_, nullptr, 0) > 0) {
            }
            leader_ = -1;
        }
    }

private:
    KWinSession() = default;
    std::filesystem::path folder_;
    pid_t leader_ = -1;
};

}  // namespace tallowin::kwin::testing
