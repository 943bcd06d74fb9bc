#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>

#include "app/view_controller.h"
#include "platform/window_list_source.h"
#include "tests/doubles/doubles.h"

namespace {

using namespace tallowin;

class DiscardingOutput final : public platform::LineOutput {
public:
    void writeLine(std::string_view) override {}
};

// A desktop's worth of windows: every kind of title, and the entries the
// filter throws away, in a fixed mix.
platform::WindowList realisticSnapshot(std::int64_t count) {
    static const std::array<const char*, 8> names = {
        "Inbox \u2014 4 unread",
        "  r\u00E9sum\u00E9 final.docx \n",
        "\u65E5\u672C\u8A9E\u306E\u6587\u66F8",
        "Party \U0001F389\U0001F468\u200D\U0001F469\u200D\U0001F467",
        "main.cpp - tallowin",
        "\u00C9COLE \u2013 Planning",
        "Terminal",
        "",
    };
    static const std::array<const char*, 8> owners = {
        "Mail", "Pages", "TextEdit", "Messages", "Xcode", "Numbers", "Terminal", "Finder",
    };
    platform::WindowList list;
    list.reserve(static_cast<std::size_t>(count) + 1);
    list.push_back(platform::Value::dictionary(
        {{platform::kWindowNameKey, platform::Value::text("Menubar")},
         {platform::kWindowOwnerNameKey, platform::Value::text("Window Server")},
         {platform::kWindowBoundsKey, platform::Value::dictionary({{"X", platform::Value::integer(0)},
                                                                   {"Y", platform::Value::integer(0)},
                                                                   {"Width", platform::Value::integer(1440)},
                                                                   {"Height", platform::Value::integer(24)}})}}));
    for (std::int64_t i = 0; i < count; ++i) {
        const auto pick = static_cast<std::size_t>(i % 8);
        doubles::WindowEntry entry;
        entry.number = 1000 + i;
        entry.pid = 300 + i % 40;
        entry.name = std::string(names[pick]) + " " + std::to_string(i);
        entry.owner = owners[(pick + static_cast<std::size_t>(i / 8)) % 8];
        entry.x = static_cast<double>(i % 300);
        entry.y = static_cast<double>(25 + i % 200);
        if (i % 10 == 3) {
            entry.owner = "Dock";
        } else if (i % 10 == 6) {
            entry.width = 30;  // a small utility window
        } else if (i % 10 == 8) {
            entry.alpha = 0.2;
        }
        list.push_back(doubles::windowEntry(entry));
    }
    return list;
}

void BM_RefreshPass(benchmark::State& state) {
    doubles::ScriptedWindowListSource windowList;
    windowList.list = realisticSnapshot(state.range(0));
    doubles::ScriptedScreenCapture screenCapture;
    doubles::FakeAccessibility accessibility;
    doubles::VirtualTimerFactory timers;
    doubles::FakeMainWindowSource application;
    doubles::FakeWorkspace workspace;
    doubles::FakePreferences preferences;
    DiscardingOutput output;
    auto list = std::make_shared<doubles::FakeListControl>();
    doubles::ServicesProvider system(windowList, screenCapture, accessibility, preferences);
    ViewController controller(PlatformServices{system, timers, application, workspace, output});
    controller.setWindowListComboBox(list);

    for (auto _ : state) {
        controller.fetchAndUpdateWindows();
        windowList.calls.clear();
        benchmark::DoNotOptimize(list->rows.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["listed"] = static_cast<double>(controller.visibleWindows().size());
    state.counters["time_per_entry"] = benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_RefreshPass)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
