#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/sway/sway_tree.h"

namespace tallowin::sway {
namespace {

using platform::WindowFrame;

// Two outputs: the second sits at the origin, so its current workspace (12,
// not 11) gives the area. A floating foot above a tiled xterm with a title
// bar, a window on a hidden workspace, and one in the scratchpad.
constexpr const char* kTree = R"({"type":"root","nodes":[
 {"type":"output","name":"__i3","rect":{"x":0,"y":0,"width":9,"height":9},"nodes":[
  {"type":"workspace","name":"__i3_scratch","rect":{"x":0,"y":0,"width":9,"height":9},"floating_nodes":[
   {"id":20,"type":"floating_con","app_id":"stash","name":"Hidden","pid":5,"visible":false,
    "rect":{"x":0,"y":0,"width":100,"height":100}}]}]},
 {"type":"output","name":"DP-2","rect":{"x":1920,"y":0,"width":1920,"height":1080},"focus":[8],"nodes":[
  {"id":8,"type":"workspace","rect":{"x":1920,"y":0,"width":1920,"height":1080}}]},
 {"type":"output","name":"DP-1","rect":{"x":0,"y":0,"width":2560,"height":1440},"focus":[12,11],"nodes":[
  {"id":11,"type":"workspace","rect":{"x":0,"y":24,"width":2560,"height":1416},"nodes":[
   {"id":30,"type":"con","app_id":"away","name":"Away","pid":6,"visible":false,
    "rect":{"x":0,"y":24,"width":2560,"height":1416}}]},
  {"id":12,"type":"workspace","rect":{"x":0,"y":30,"width":2560,"height":1410},"nodes":[
   {"type":"con","layout":"splitv","nodes":[
    {"id":6,"type":"con","app_id":null,"name":"XtermWin","pid":29,"visible":true,"focused":true,
     "window_properties":{"class":"XTerm"},"rect":{"x":1280,"y":55,"width":1280,"height":1385},
     "deco_rect":{"x":1280,"y":0,"width":1280,"height":25}}]}],
   "floating_nodes":[
    {"id":5,"type":"floating_con","app_id":"foot","name":"FootWin","pid":28,"visible":true,
     "rect":{"x":0,"y":30,"width":1920,"height":1080},"deco_rect":{"x":0,"y":0,"width":0,"height":0}},
    {"id":7,"type":"floating_con","app_id":"foot","name":null,"pid":0,"visible":true,
     "rect":{"x":10,"y":40,"width":300,"height":200}}]}]}]})";

TEST(SwayTree, ListsTheVisibleViewsFrontToBackWithTheirTitleBars) {
    const auto tree = parseTree(kTree);
    ASSERT_TRUE(tree);
    const auto seen = onScreen(*tree);
    EXPECT_EQ(seen.placementArea, (WindowFrame{0, 30, 2560, 1410}));
    // The last floating window is on top; tiled ones come after. sway's pid 0: no process known.
    using W = platform::SystemWindow;
    const auto fields = [](const W& w) { return std::tie(w.id, w.pid, w.title, w.owner, w.frame); };
    const std::vector<W> expected = {
        W{.id = 7, .pid = {}, .title = {}, .owner = "foot", .frame = {10, 40, 300, 200}, .opacity = {}},
        W{.id = 5, .pid = 28, .title = "FootWin", .owner = "foot", .frame = {0, 30, 1920, 1080}, .opacity = {}},
        W{.id = 6, .pid = 29, .title = "XtermWin", .owner = "XTerm", .frame = {1280, 30, 1280, 1410}, .opacity = {}}};
    EXPECT_TRUE(std::ranges::equal(seen.windows, expected, std::equal_to{}, fields, fields));
    // Hidden windows are still found, to read a placement back.
    ASSERT_NE(findView(*tree, 30), nullptr);
    EXPECT_FALSE(findView(*tree, 30)->visible);
    EXPECT_TRUE(findView(*tree, 6)->focused);
    EXPECT_EQ(findView(*tree, 20), nullptr);
}

// i3: workspaces inside each output's content, a bar's dock beside it; a
// tabbed container showing its second tab; a window on a hidden workspace;
// con ids too large for 32 bits, so a window is its X window.
constexpr const char* kI3Tree = R"({"type":"root","nodes":[{"type":"output","name":"__i3","nodes":[{"type":"con",
 "name":"content","focus":[1],"nodes":[{"id":1,"type":"workspace","rect":{"x":0,"y":0,"width":0,"height":0},"nodes":[
 {"id":2,"window":90,"name":"Stashed","rect":{"x":0,"y":0,"width":9,"height":9}}]}]}]},
 {"type":"output","name":"screen","rect":{"x":0,"y":0,"width":2560,"height":1440},"nodes":[
  {"type":"dockarea","name":"topdock","nodes":[{"id":3,"window":80,"rect":{"x":0,"y":0,"width":2560,"height":30}}]},
  {"type":"con","name":"content","focus":[94000000000001,94000000000002],"nodes":[
   {"id":94000000000002,"type":"workspace","rect":{"x":0,"y":30,"width":2560,"height":1410},"nodes":[
    {"id":4,"window":70,"name":"Away","rect":{"x":0,"y":30,"width":2560,"height":1410}}]},
   {"id":94000000000001,"type":"workspace","rect":{"x":0,"y":30,"width":2560,"height":1410},"nodes":[
    {"id":5,"layout":"tabbed","focus":[7,6],"rect":{"x":0,"y":30,"width":1280,"height":1410},"nodes":[
     {"id":6,"window":60,"name":"Tab1","rect":{"x":0,"y":48,"width":1280,"height":1392}},
     {"id":7,"window":61,"name":"Tab2","focused":true,"rect":{"x":0,"y":48,"width":1280,"height":1392}}]}],
    "floating_nodes":[{"id":8,"type":"floating_con","nodes":[{"id":9,"window":50,"name":"Float",
     "window_properties":{"class":"XTerm"},"rect":{"x":0,"y":30,"width":1920,"height":1080}}]}]}]}]}]})";

TEST(SwayTree, I3ListsTheShownWindowsByTheirXWindow) {
    const auto tree = parseI3Tree(kI3Tree);
    ASSERT_TRUE(tree);
    const auto seen = onScreen(*tree);
    EXPECT_EQ(seen.placementArea, (WindowFrame{0, 30, 2560, 1410}));
    using W = platform::SystemWindow;
    const auto fields = [](const W& w) { return std::tie(w.id, w.pid, w.title, w.owner, w.frame); };
    const std::vector<W> expected = {
        W{.id = 50, .pid = {}, .title = "Float", .owner = "XTerm", .frame = {0, 30, 1920, 1080}, .opacity = {}},
        W{.id = 61, .pid = {}, .title = "Tab2", .owner = {}, .frame = {0, 48, 1280, 1392}, .opacity = {}}};
    EXPECT_TRUE(std::ranges::equal(seen.windows, expected, std::equal_to{}, fields, fields));
    EXPECT_TRUE(findView(*tree, 61)->focused);
    EXPECT_TRUE(findView(*tree, 60) && findView(*tree, 70));   // hidden, still found to read a placement back
    EXPECT_FALSE(findView(*tree, 80) || findView(*tree, 90));  // the bar, the scratchpad
}

TEST(SwayTree, UnreadableAnswersAreNoTree) {
    for (const char* text : {"", "[1,2]", "{\"nodes\":", "null"}) {
        EXPECT_FALSE(parseTree(text)) << text;
        EXPECT_FALSE(parseI3Tree(text)) << text;
    }
}

TEST(SwayTree, ARefusalIsTheFirstFailedCommandsOwnWords) {
    for (const auto& [answer, refusal] : std::vector<std::pair<const char*, std::optional<std::string>>>{
             {R"([{"success":true},{"success":true}])", std::nullopt},
             {R"([{"success":true},{"success":false,"error":"No matching node."},{"success":false,"error":"x"}])",
              "No matching node."},
             {R"([{"success":false}])", "the command failed without saying why"},
             {R"({"success":true})", "the answer to the command is not a list of results"},
         }) {
        EXPECT_EQ(commandRefusal(answer), refusal) << answer;
    }
}

}  // namespace
}  // namespace tallowin::sway
