// The in-process window-list snapshot of $DISPLAY and a Place, timed by Google
// Benchmark. The Place cases need a crowd of one process (window_crowd) on
// the display.
#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "discovery/visible_window.h"
#include "placement/window_geometry.h"
#include "placement/window_lookup.h"
#include "platform/accessibility.h"
#include "platform/line_output.h"
#include "platform/window_list_source.h"
#include "platform/window_system_adapter.h"
#include "platform/x11/x11_window_system.h"

namespace {

using tallowin::platform::Value;
constexpr tallowin::platform::WindowListOption kOptions = 17;

void snapshot(benchmark::State& state) {
    auto x11 = tallowin::x11::openProvider();
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

// The first snapshot of a fresh connection: every window read in full, and
// watched from then on.
void firstSnapshot(benchmark::State& state) {
    for (auto _ : state) {
        auto x11 = tallowin::x11::openProvider();
        if (!x11) {
            state.SkipWithError("no X server");
            return;
        }
        auto list = x11->windowList().copyWindowInfo(kOptions, 0);
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(firstSnapshot)->Unit(benchmark::kMillisecond);

class CountedOutput final : public tallowin::platform::LineOutput {
public:
    void writeLine(std::string_view /*text*/) override { ++lines; }
    int lines = 0;
};

std::optional<tallowin::VisibleWindow> listed(tallowin::platform::Provider& x11, const std::string& title) {
    const auto list = x11.windowList().copyWindowInfo(kOptions, 0);
    for (const Value& entry : list.value_or(tallowin::platform::WindowList{})) {
        const Value* name = entry.find(tallowin::platform::kWindowNameKey);
        const Value* pid = entry.find(tallowin::platform::kWindowOwnerPIDKey);
        if (name == nullptr || name->asText() == nullptr || *name->asText() != title || pid == nullptr) {
            continue;
        }
        const Value* bounds = entry.find(tallowin::platform::kWindowBoundsKey);
        return tallowin::VisibleWindow{*entry.find(tallowin::platform::kWindowNumberKey)->asUInt32(),
                                       *pid->asInt32(),
                                       title,
                                       *bounds->find("X")->asDouble(),
                                       *bounds->find("Y")->asDouble(),
                                       *bounds->find("Width")->asDouble(),
                                       *bounds->find("Height")->asDouble()};
    }
    return std::nullopt;
}

// Asks the window manager to put the window at the bottom, as if the user
// had used every other window since, and waits until it is there.
void lower(xcb_connection_t* xcb, xcb_window_t window) {
    const std::uint32_t below = XCB_STACK_MODE_BELOW;
    xcb_configure_window(xcb, window, XCB_CONFIG_WINDOW_STACK_MODE, &below);
    xcb_flush(xcb);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

// One Place of "crowd 1", the first window the crowd mapped, as the core
// runs it: lookup among the process's windows, position, size, raise.
// Arg 0: the window is on top; 1: at the bottom, below all the others.
void place(benchmark::State& state) {
    auto x11 = tallowin::x11::openProvider();
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    if (!x11 || xcb_connection_has_error(other) != 0) {
        state.SkipWithError("no X server");
        xcb_disconnect(other);
        return;
    }
    const bool atBottom = state.range(0) == 1;
    CountedOutput output;
    int iteration = 0;
    // Untimed: a Place of the window first, so that it starts on top.
    if (const auto entry = listed(*x11, "crowd 1")) {
        if (const auto match = tallowin::findListedWindow(x11->accessibility(), *entry, output)) {
            tallowin::raiseWindow(x11->accessibility(), *match->window, output);
        }
    }
    for (auto _ : state) {
        state.PauseTiming();
        if (const auto before = listed(*x11, "crowd 1"); before && atBottom) {
            lower(other, before->windowID);
        }
        const auto entry = listed(*x11, "crowd 1");
        if (!entry) {
            state.SkipWithError("no crowd on the display: start window_crowd first");
            break;
        }
        const double width = iteration++ % 2 == 0 ? 1280 : 1920;
        const double height = width == 1280 ? 720 : 1080;
        state.ResumeTiming();
        auto& accessibility = x11->accessibility();
        const auto match = tallowin::findListedWindow(accessibility, *entry, output);
        if (!match) {
            state.SkipWithError("the window was not found");
            break;
        }
        tallowin::setWindowFrame(accessibility, *match->window, width, height, output);
        tallowin::raiseWindow(accessibility, *match->window, output);
    }
    state.counters["lines"] = benchmark::Counter(output.lines, benchmark::Counter::kAvgIterations);
    xcb_disconnect(other);
}
BENCHMARK(place)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
