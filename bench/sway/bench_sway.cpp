// The sway provider's listing and a Place, timed by Google Benchmark. With
// SWAYSOCK set they run against that compositor; otherwise against an i3 IPC
// server in this process that holds 200 windows in sway's own tree shape,
// so that what is measured is the provider: framing, parsing, conversion.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "platform/sway/sway_window_system.h"
#include "platform/window_system_adapter.h"
#include "tests/doubles/doubles.h"

namespace {

using nlohmann::json;
using tallowin::sway::I3Message;

constexpr int kWindows = 200;

json rect(int x, int y, int width, int height) { return {{"x", x}, {"y", y}, {"width", width}, {"height", height}}; }

// A view with every field sway 1.7 sends, so parsing costs what it costs.
json view(int id, const std::array<int, 4>& frame, bool focused) {
    return {{"id", id},
            {"type", "floating_con"},
            {"orientation", "none"},
            {"percent", nullptr},
            {"urgent", false},
            {"marks", json::array()},
            {"focused", focused},
            {"layout", "none"},
            {"border", "normal"},
            {"current_border_width", 2},
            {"rect", rect(frame[0], frame[1] + 25, frame[2], frame[3] - 25)},
            {"deco_rect", rect(0, 0, frame[2], 25)},
            {"window_rect", rect(2, 0, frame[2] - 4, frame[3] - 27)},
            {"geometry", rect(0, 0, 700, 500)},
            {"name", "Window number " + std::to_string(id) + " - ~/src"},
            {"window", nullptr},
            {"nodes", json::array()},
            {"floating_nodes", json::array()},
            {"focus", json::array()},
            {"fullscreen_mode", 0},
            {"sticky", false},
            {"pid", 1000 + id},
            {"app_id", "foot"},
            {"visible", true},
            {"max_render_time", 0},
            {"shell", "xdg_shell"},
            {"inhibit_idle", false},
            {"idle_inhibitors", {{"user", "none"}, {"application", "none"}}}};
}

// Answers GET_TREE and RUN_COMMAND ("[con_id=N] ..., resize set W H, move
// absolute position X Y" or "focus") for one client at a time.
class FakeSway {
public:
    FakeSway() {
        for (int id = 10; id < 10 + kWindows; ++id) {
            frames_[id] = {(id * 7) % 600, 30 + (id * 5) % 300, 800, 600};
        }
        path_ = (std::filesystem::temp_directory_path() / ("bench-sway-" + std::to_string(::getpid()))).string();
        listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof(address.sun_path) - 1);
        ::unlink(path_.c_str());
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof(address));  // NOLINT
        ::listen(listener_, 4);
        thread_ = std::thread([this] { serve(); });
    }
    ~FakeSway() {
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        thread_.join();
        ::unlink(path_.c_str());
    }
    FakeSway(const FakeSway&) = delete;
    FakeSway& operator=(const FakeSway&) = delete;
    [[nodiscard]] const std::string& path() const { return path_; }

private:
    std::string tree() {
        json workspace = {{"id", 4},
                          {"type", "workspace"},
                          {"rect", rect(0, 30, 2560, 1410)},
                          {"nodes", json::array()},
                          {"floating_nodes", json::array()}};
        for (const auto& [id, frame] : frames_) {
            workspace["floating_nodes"].push_back(view(id, frame, id == focused_));
        }
        return json{{"id", 1},
                    {"type", "root"},
                    {"nodes",
                     {{{"id", 3},
                       {"type", "output"},
                       {"name", "HEADLESS-1"},
                       {"rect", rect(0, 0, 2560, 1440)},
                       {"focus", {4}},
                       {"nodes", {workspace}}}}}}
            .dump();
    }
    void serve() {
        for (;;) {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            std::string cached;
            std::array<char, 14> header{};
            while (::recv(client, header.data(), header.size(), MSG_WAITALL) == 14) {
                std::uint32_t length = 0;
                std::uint32_t type = 0;
                std::memcpy(&length, header.data() + 6, 4);
                std::memcpy(&type, header.data() + 10, 4);
                std::string payload(length, '\0');
                if (length > 0 && ::recv(client, payload.data(), length, MSG_WAITALL) != length) {
                    break;
                }
                std::string reply = R"([{"success":true}])";
                int id = 0;
                std::array<int, 4> frame{};
                if (type == 4) {
                    cached = cached.empty() ? tree() : cached;
                    reply = cached;
                } else if (std::sscanf(payload.c_str(),
                                       "[con_id=%d] fullscreen disable, floating enable, resize set %d %d, move "
                                       "absolute position %d %d",
                                       &id, &frame[2], &frame[3], &frame[0], &frame[1]) == 5) {
                    frames_[id] = frame;
                    cached.clear();
                } else if (std::sscanf(payload.c_str(), "[con_id=%d] focus", &id) == 1) {
                    focused_ = id;
                    cached.clear();
                }
                const auto size = static_cast<std::uint32_t>(reply.size());
                std::memcpy(header.data() + 6, &size, 4);
                ::send(client, header.data(), header.size(), MSG_NOSIGNAL);
                ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
            }
            ::close(client);
        }
    }

    std::map<int, std::array<int, 4>> frames_;
    int focused_ = 0;
    std::string path_;
    int listener_ = -1;
    std::thread thread_;
};

std::string socketPath(std::unique_ptr<FakeSway>& fake) {
    if (const char* real = std::getenv("SWAYSOCK")) {
        return real;
    }
    fake = std::make_unique<FakeSway>();
    return fake->path();
}

tallowin::doubles::WindowSystemRig rigOver(const std::string& path) {
    return tallowin::doubles::WindowSystemRig([&](tallowin::platform::LineOutput& status) {
        std::string error;
        return tallowin::sway::SwayWindowSystem::connect(path, status, error);
    });
}

void listing(benchmark::State& state) {
    std::unique_ptr<FakeSway> fake;
    const std::string path = socketPath(fake);
    tallowin::doubles::RecordingOutput output;
    std::string error;
    auto sway = tallowin::sway::SwayWindowSystem::connect(path, output, error);
    tallowin::platform::WindowSystemWindowList list(*sway);
    std::size_t entries = 0;
    for (auto _ : state) {
        auto windows = list.copyWindowInfo(17, 0);
        entries = windows ? windows->size() : 0;
        benchmark::DoNotOptimize(windows);
    }
    state.counters["entries"] = static_cast<double>(entries);
}
BENCHMARK(listing)->Unit(benchmark::kMillisecond);

// The core's whole Place of the first listed window, 1920x1080 and 1280x720
// in turn, each after a refresh that lists it where it now is.
void place(benchmark::State& state) {
    std::unique_ptr<FakeSway> fake;
    const std::string path = socketPath(fake);
    auto rig = rigOver(path);
    int preset = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rig.timers.advanceSeconds(5);
        rig.resolutions->selected = preset;
        preset = 1 - preset;
        const std::string row = rig.windows->rows.empty() ? std::string() : rig.windows->rows.front();
        state.ResumeTiming();
        rig.place(row);
    }
    const bool placed = std::ranges::count(rig.output.lines, "Window successfully brought to front.") == 1;
    if (!placed) {
        state.SkipWithError("the last Place did not succeed");
    }
}
BENCHMARK(place)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
