// The handoff to a running OBS (a stand-in speaking obs-websocket 5 on a
// thread of its own), timed from the call to the ready scene, with the
// longest stretch the Qt event loop could not turn while it ran: the
// window thread's stall. Counters, over every run: stall_max_ms (wall
// clock: includes the time the thread was not scheduled, which a loaded
// machine adds), stall_cpu_max_ms (the thread's own processor time: the
// work the handoff did in one turn), and idle_stall_max_ms, the wall-clock
// stall of the same loop with no handoff, for comparison.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <fstream>
#include <memory>

#include "platform/line_output.h"
#include "shell/recorders/recorder_handoff.h"
#include "tests/recorders/fake_obs.h"

namespace {

using tallowin::recorders::RecorderHandoff;
using tallowin::recorders::testing::FakeObs;

std::int64_t threadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

struct Silent final : tallowin::platform::LineOutput {
    void writeLine(std::string_view) override {}
};

class ObsThread final : public QThread {
public:
    std::atomic<int> port{0};

protected:
    void run() override {
        FakeObs obs(QStringLiteral("bench password"));
        obs.answers["CreateInput"] = {100, {}, QJsonObject{{"sceneItemId", 1}}};
        port = obs.port();
        exec();
    }
};

void BM_HandoffToRunningObs(benchmark::State& state) {
    ObsThread thread;
    thread.start();
    while (thread.port == 0) {
        QThread::msleep(1);
    }
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QDir(config.path()).mkpath(QStringLiteral("obs-studio"));
    std::ofstream(config.filePath(QStringLiteral("obs-studio/global.ini")).toStdString())
        << "[OBSWebSocket]\nServerEnabled=true\nServerPort=" << thread.port.load()
        << "\nAuthRequired=true\nServerPassword=bench password\n";

    Silent output;
    RecorderHandoff handoff(output, tallowin::platform::DesktopSession::x11);
    handoff.pin(tallowin::recorders::Recorder::Obs);
    // "OBS runs" when a process of that name runs: this one.
    handoff.setPrograms(QCoreApplication::applicationFilePath(), QStringLiteral("simplescreenrecorder"));

    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    std::int64_t lastCpu = threadCpuNs();
    std::int64_t longestCpu = 0;
    QTimer tick;  // turns with the loop; a gap between two turns is a stall
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const std::int64_t cpu = threadCpuNs();
        longest = std::max(longest, now - last);
        longestCpu = std::max(longestCpu, cpu - lastCpu);
        last = now;
        lastCpu = cpu;
    });
    tick.start(0);

    {  // the idle loop, as long as a few handoffs take
        QEventLoop idle;
        QTimer::singleShot(200, &idle, &QEventLoop::quit);
        clock.start();
        idle.exec();
    }
    const qint64 idleLongest = longest;
    longest = 0;
    longestCpu = 0;
    bool ready = true;
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&handoff, &RecorderHandoff::finished, &loop, [&](bool done) {
            ready = ready && done;
            loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        clock.start();
        last = 0;
        lastCpu = threadCpuNs();
        handoff.handOff({{"/System/Applications/Utilities/Screenshot.app"}, {0, 0, 640, 480}, 0});
        loop.exec();
    }
    tick.stop();
    thread.quit();
    thread.wait();
    if (!ready) {
        state.SkipWithError("a handoff did not reach the ready scene");
    }
    state.counters["stall_max_ms"] = static_cast<double>(longest) / 1e6;
    state.counters["stall_cpu_max_ms"] = static_cast<double>(longestCpu) / 1e6;
    state.counters["idle_stall_max_ms"] = static_cast<double>(idleLongest) / 1e6;
}
BENCHMARK(BM_HandoffToRunningObs)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
