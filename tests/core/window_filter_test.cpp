#include <gtest/gtest.h>

#include <cmath>

#include "discovery/window_filter.h"
#include "platform/window_list_source.h"
#include "tests/doubles/window_entries.h"

namespace tallowin {
namespace {

using doubles::WindowEntry;
using doubles::windowEntry;

WindowEntry with(void (*change)(WindowEntry&)) {
    WindowEntry entry;
    change(entry);
    return entry;
}

struct FilterCase {
    const char* what;
    WindowEntry entry;
    bool listed;
};

TEST(ShouldIncludeWindow, SizePositionOpacityAndOwner) {
    const FilterCase cases[] = {
        {"a plain window", {}, true},
        {"50 by 50", with([](WindowEntry& e) {
             e.width = 50;
             e.height = 50;
         }),
         true},
        {"width 49.5", with([](WindowEntry& e) { e.width = 49.5; }), false},
        {"height 49.9", with([](WindowEntry& e) { e.height = 49.9; }), false},
        {"at the origin", with([](WindowEntry& e) {
             e.x = 0;
             e.y = 0;
         }),
         true},
        {"x -1", with([](WindowEntry& e) { e.x = -1; }), false},
        {"y -1", with([](WindowEntry& e) { e.y = -1; }), false},
        {"alpha 0.5", with([](WindowEntry& e) { e.alpha = 0.5; }), true},
        {"alpha 0.49", with([](WindowEntry& e) { e.alpha = 0.49; }), false},
        {"alpha 0", with([](WindowEntry& e) { e.alpha = 0.0; }), false},
        {"no alpha", with([](WindowEntry& e) { e.alpha.reset(); }), true},
        {"owner Dock", with([](WindowEntry& e) { e.owner = "Dock"; }), false},
        {"owner dock", with([](WindowEntry& e) { e.owner = "dock"; }), true},
        {"owner Window Server", with([](WindowEntry& e) { e.owner = "Window Server"; }), false},
        {"owner Screenshot", with([](WindowEntry& e) { e.owner = "Screenshot"; }), false},
        {"owner Screenshot ", with([](WindowEntry& e) { e.owner = "Screenshot "; }), true},
        {"owner Control Center", with([](WindowEntry& e) { e.owner = "Control Center"; }), false},
        {"owner TextInputMenuAgent", with([](WindowEntry& e) { e.owner = "TextInputMenuAgent"; }), false},
        {"owner SystemUIServer", with([](WindowEntry& e) { e.owner = "SystemUIServer"; }), false},
        {"owner Spotlight", with([](WindowEntry& e) { e.owner = "Spotlight"; }), false},
        {"owner System Information", with([](WindowEntry& e) { e.owner = "System Information"; }), false},
        {"no owner", with([](WindowEntry& e) { e.owner.reset(); }), true},
        {"own process, like any other", with([](WindowEntry& e) { e.owner = "Tallowin"; }), true},
        {"no width", with([](WindowEntry& e) { e.width.reset(); }), false},
        {"no X", with([](WindowEntry& e) { e.x.reset(); }), false},
        {"NaN width", with([](WindowEntry& e) { e.width = std::nan(""); }), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shouldIncludeWindow(windowEntry(c.entry)), c.listed) << c.what;
    }
}

TEST(ShouldIncludeWindow, ValuesOfTheWrongKindCountAsMissing) {
    using platform::Value;
    const Value textBounds = Value::dictionary({{platform::kWindowBoundsKey, Value::text("0 0 800 600")}});
    EXPECT_FALSE(shouldIncludeWindow(textBounds));

    const Value textAlpha =
        Value::dictionary({{platform::kWindowAlphaKey, Value::text("0")},
                           {platform::kWindowBoundsKey, Value::dictionary({{"X", Value::integer(0)},
                                                                           {"Y", Value::integer(0)},
                                                                           {"Width", Value::integer(100)},
                                                                           {"Height", Value::integer(100)}})}});
    EXPECT_TRUE(shouldIncludeWindow(textAlpha)) << "an unusable alpha is a missing one";

    const Value numericOwner =
        Value::dictionary({{platform::kWindowOwnerNameKey, Value::integer(5)},
                           {platform::kWindowBoundsKey, Value::dictionary({{"X", Value::integer(0)},
                                                                           {"Y", Value::integer(0)},
                                                                           {"Width", Value::integer(100)},
                                                                           {"Height", Value::integer(100)}})}});
    EXPECT_TRUE(shouldIncludeWindow(numericOwner));
}

}  // namespace
}  // namespace tallowin
