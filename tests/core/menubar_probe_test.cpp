#include <gtest/gtest.h>

#include "discovery/menubar_probe.h"
#include "platform/window_list_source.h"
#include "tests/doubles/scripted_services.h"

namespace tallowin {
namespace {

using platform::Value;

Value menubarEntry(Value name, Value x, Value height) {
    return Value::dictionary({{platform::kWindowNameKey, std::move(name)},
                              {platform::kWindowBoundsKey, Value::dictionary({{"X", std::move(x)},
                                                                              {"Y", Value::integer(0)},
                                                                              {"Width", Value::integer(1440)},
                                                                              {"Height", std::move(height)}})}});
}

struct ProbeCase {
    const char* what;
    platform::WindowList snapshot;
    std::int64_t height;
    std::vector<std::string> lines;
};

TEST(MenubarProbe, QualifyingEntries) {
    const std::string line24 = "Menubar height updated to: 24 pixels.";
    const ProbeCase cases[] = {
        {"menu bar of 24", {menubarEntry(Value::text("Menubar"), Value::integer(0), Value::integer(24))}, 24, {line24}},
        {"second display's menu bar",
         {menubarEntry(Value::text("Menubar"), Value::floating(1440), Value::integer(30))},
         99,
         {}},
        {"lowercase name", {menubarEntry(Value::text("menubar"), Value::integer(0), Value::integer(30))}, 99, {}},
        {"trailing space", {menubarEntry(Value::text("Menubar "), Value::integer(0), Value::integer(30))}, 99, {}},
        {"fractional height", {menubarEntry(Value::text("Menubar"), Value::integer(0), Value::floating(37.5))}, 99, {}},
        {"whole float height",
         {menubarEntry(Value::text("Menubar"), Value::floating(0.0), Value::floating(37.0))},
         37,
         {"Menubar height updated to: 37 pixels."}},
        {"name not a text", {menubarEntry(Value::integer(1), Value::integer(0), Value::integer(30))}, 99, {}},
        {"bounds missing", {Value::dictionary({{platform::kWindowNameKey, Value::text("Menubar")}})}, 99, {}},
        {"negative height kept as it is",
         {menubarEntry(Value::text("Menubar"), Value::integer(0), Value::integer(-3))},
         -3,
         {"Menubar height updated to: -3 pixels."}},
        {"two entries, the last wins",
         {menubarEntry(Value::text("Menubar"), Value::integer(0), Value::integer(24)),
          menubarEntry(Value::text("Menubar"), Value::integer(0), Value::integer(25))},
         25,
         {line24, "Menubar height updated to: 25 pixels."}},
        {"no menu bar", {Value::dictionary({})}, 99, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        doubles::RecordingOutput output;
        std::int64_t height = 99;
        probeMenubarHeight(c.snapshot, height, output);
        EXPECT_EQ(height, c.height);
        EXPECT_EQ(output.lines, c.lines);
    }
}

}  // namespace
}  // namespace tallowin
