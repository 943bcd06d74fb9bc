// The KWin provider's listing, timed by Google Benchmark against the KWin of
// the session bus (DBUS_SESSION_BUS_ADDRESS): each listing is one script
// loaded, run, answered and unloaded, so what is measured is that round trip.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "platform/kwin/kwin_window_system.h"
#include "platform/window_system_adapter.h"
#include "tests/doubles/doubles.h"

namespace {

void listing(benchmark::State& state) {
    tallowin::doubles::RecordingOutput output;
    std::string error;
    auto kwin = tallowin::kwin::KWinWindowSystem::connect(output, error);
    if (!kwin) {
        state.SkipWithError(error.c_str());
        return;
    }
    tallowin::platform::WindowSystemWindowList list(*kwin);
    std::size_t entries = 0;
    for (auto _ : state) {
        auto windows = list.copyWindowInfo(17, 0);
        entries = windows ? windows->size() : 0;
        benchmark::DoNotOptimize(windows);
    }
    state.counters["entries"] = static_cast<double>(entries);
    if (entries == 0) {
        state.SkipWithError(output.lines.empty() ? "no listing" : output.lines.back().c_str());
    }
}
BENCHMARK(listing)->Unit(benchmark::kMillisecond);

}  // namespace

// The answers are taken on a thread with an event loop, which needs an application.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
