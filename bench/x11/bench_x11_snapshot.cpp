// One window-list snapshot of $DISPLAY, printed as its entry count; with
// --benchmark, the in-process snapshot timed by Google Benchmark.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "platform/window_list_source.h"
#include "platform/x11/x11_platform.h"

namespace {

constexpr tallowin::platform::WindowListOption kOptions = 17;

void snapshot(benchmark::State& state) {
    auto x11 = tallowin::x11::X11Platform::connect();
    if (!x11) {
        state.SkipWithError("no X server");
        return;
    }
    std::size_t entries = 0;
    for (auto _ : state) {
        auto list = x11->windowList().copyWindowInfo(kOptions, 0);
        entries = list ? list->size() : 0;
        benchmark::DoNotOptimize(list);
    }
    state.counters["entries"] = static_cast<double>(entries);
}
BENCHMARK(snapshot)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--benchmark") == 0) {
        argv[1] = argv[0];
        --argc;
        ++argv;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    }
    auto x11 = tallowin::x11::X11Platform::connect();
    if (!x11) {
        std::fputs("no X server\n", stderr);
        return 1;
    }
    auto list = x11->windowList().copyWindowInfo(kOptions, 0);
    if (!list) {
        std::fputs("no window list\n", stderr);
        return 1;
    }
    std::printf("%zu\n", list->size());
    return 0;
}
