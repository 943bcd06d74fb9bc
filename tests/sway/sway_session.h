#pragma once

#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/sway/i3_ipc_socket.h"

namespace tallowin::sway::testing {

// The first socket in runtime whose name starts with prefix.
inline std::string socketIn(const std::filesystem::path& runtime, std::string_view prefix) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(runtime, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix) && !name.ends_with(".lock")) {
            return name;
        }
    }
    return {};
}

// A private headless sway (2560x1440, a 30 px bar at the top) with its own
// runtime folder, run as an unprivileged user in its own pid, mount and
// network namespaces when we are root, since sway refuses root.
class SwaySession {
public:
    // Null, with why, when sway does not come up.
    static std::unique_ptr<SwaySession> start(std::string& why);
    ~SwaySession() {
        kill();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    [[nodiscard]] const std::string& socketPath() const { return socketPath_; }
    // Our own connection, apart from the provider's: what sway says is true.
    nlohmann::json ask(I3Message type, const std::string& payload = {}) {
        const auto reply = socket_ ? socket_->request(type, payload) : std::nullopt;
        return reply ? nlohmann::json::parse(*reply) : nlohmann::json();
    }
    // The view whose name is title, waiting up to timeoutSeconds for it.
    nlohmann::json waitForView(const std::string& title, double timeoutSeconds = 60);
    // What a client of ours needs to reach this session.
    [[nodiscard]] std::vector<std::string> clientEnvironment() const {
        return {"XDG_RUNTIME_DIR=" + (folder_ / "run").string(), "SWAYSOCK=" + socketPath_,
                "WAYLAND_DISPLAY=" + socketIn(folder_ / "run", "wayland-")};
    }
    // Kills the compositor and everything it started.
    void kill();

private:
    SwaySession() = default;
    std::filesystem::path folder_;
    std::string socketPath_;
    pid_t leader_ = -1;
    std::unique_ptr<I3IpcSocket> socket_;
};

// Every view of a tree, depth first.
inline void forEachView(const nlohmann::json& node, const std::function<void(const nlohmann::json&)>& visit) {
    if ((node.contains("app_id") && node["app_id"].is_string()) || node.contains("window_properties")) {
        visit(node);
    }
    for (const char* key : {"nodes", "floating_nodes"}) {
        for (const auto& child : node.value(key, nlohmann::json::array())) {
            forEachView(child, visit);
        }
    }
}

inline std::unique_ptr<SwaySession> SwaySession::start(std::string& why) {
    std::unique_ptr<SwaySession> session(new SwaySession());
    // As root, the session gets a /tmp of its own for XWayland's display locks,
    // which a killed compositor leaves behind: its folder, and the working
    // folder of its clients, must lie elsewhere.
    const bool root = ::getuid() == 0;
    const auto base = root && std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                        : std::filesystem::temp_directory_path();
    std::string pattern = (base / "tallowin-sway-XXXXXX").string();
    session->folder_ = ::mkdtemp(pattern.data());
    const auto runtime = session->folder_ / "run";
    std::filesystem::create_directory(runtime);
    std::ofstream(session->folder_ / "config")
        << "output HEADLESS-1 mode 2560x1440 position 0 0\nbar {\n position top\n height 30\n"
           " status_command sleep 1000000\n}\n";
    ::chmod(session->folder_.c_str(), 0755);
    // The terminals run $SHELL, and nobody's login shell is nologin: without
    // it they would close at once.
    std::string command =
        "exec env -u DISPLAY -u WAYLAND_DISPLAY WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 "
        "WLR_RENDERER=pixman SHELL=/bin/sh XDG_RUNTIME_DIR=" +
        runtime.string() + " HOME=" + session->folder_.string() + " sway -c " + (session->folder_ / "config").string();
    if (root) {
        // sway refuses root; nobody runs it, in namespaces that die with it.
        if (::chown(runtime.c_str(), 65534, 65534) != 0 || ::chmod(runtime.c_str(), 0700) != 0) {
            why = "cannot hand the runtime folder to nobody";
            return nullptr;
        }
        command =
            "exec unshare -m -n -p --fork --kill-child sh -c 'mount -t tmpfs tallowin /tmp && cd / && exec setpriv "
            "--reuid=65534 --regid=65534 --clear-groups " +
            command.substr(5) + "'";
    }
    command += " >" + (session->folder_ / "sway.log").string() + " 2>&1";
    session->leader_ = ::fork();
    if (session->leader_ == 0) {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // a test killed on a timeout takes its compositor along
        ::execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        ::_exit(127);
    }
    // A loaded machine may take long; a session that never comes up fails.
    for (int i = 0; i < 600 && !session->socket_; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const std::string name = socketIn(runtime, "sway-ipc.");
        session->socketPath_ = (runtime / name).string();
        session->socket_ = name.empty() ? nullptr : I3IpcSocket::connect(session->socketPath_, why);
    }
    if (!session->socket_) {
        why = "sway did not come up; see " + (session->folder_ / "sway.log").string();
        return nullptr;
    }
    return session;
}

inline nlohmann::json SwaySession::waitForView(const std::string& title, double timeoutSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    for (;;) {
        nlohmann::json found;
        forEachView(ask(I3Message::getTree), [&](const nlohmann::json& view) {
            if (view["name"] == title) {
                found = view;
            }
        });
        if (!found.is_null() || std::chrono::steady_clock::now() >= deadline) {
            return found;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

inline void SwaySession::kill() {
    socket_.reset();
    if (leader_ > 0) {
        ::kill(-leader_, SIGKILL);
        ::waitpid(leader_, nullptr, 0);
        leader_ = -1;
        // The compositor, inside its namespace, may outlive the leader briefly.
        std::string why;
        for (int i = 0; i < 100 && I3IpcSocket::connect(socketPath_, why); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
}

}  // namespace tallowin::sway::testing
