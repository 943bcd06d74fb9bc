#include "platform/sway/sway_tree.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

namespace tallowin::sway {

namespace {

using nlohmann::json;

const json* member(const json& node, const char* key) {
    if (!node.is_object()) {
        return nullptr;
    }
    const auto found = node.find(key);
    return found == node.end() ? nullptr : &*found;
}

std::optional<std::string> textOf(const json& node, const char* key) {
    const json* value = member(node, key);
    if (value == nullptr || !value->is_string()) {
        return std::nullopt;
    }
    return value->get<std::string>();
}

std::optional<double> numberOf(const json& node, const char* key) {
    const json* value = member(node, key);
    if (value == nullptr || !value->is_number()) {
        return std::nullopt;
    }
    return value->get<double>();
}

std::optional<platform::WindowFrame> rectOf(const json& node, const char* key) {
    const json* rect = member(node, key);
    if (rect == nullptr) {
        return std::nullopt;
    }
    const auto x = numberOf(*rect, "x");
    const auto y = numberOf(*rect, "y");
    const auto width = numberOf(*rect, "width");
    const auto height = numberOf(*rect, "height");
    if (!x || !y || !width || !height) {
        return std::nullopt;
    }
    return platform::WindowFrame{*x, *y, *width, *height};
}

const json& childrenOf(const json& node, const char* key) {
    static const json none = json::array();
    const json* children = member(node, key);
    return children != nullptr && children->is_array() ? *children : none;
}

bool isView(const json& node) {
    const json* appId = member(node, "app_id");
    return (appId != nullptr && appId->is_string()) || member(node, "window_properties") != nullptr;
}

std::optional<TreeView> viewOf(const json& node) {
    const auto id = numberOf(node, "id");
    auto rect = rectOf(node, "rect");
    if (!id || !rect || *id < 0 || *id > std::numeric_limits<std::uint32_t>::max() || std::trunc(*id) != *id) {
        return std::nullopt;
    }
    TreeView view;
    view.window.id = static_cast<std::uint32_t>(*id);
    const auto pid = numberOf(node, "pid");
    if (pid && *pid > 0 && *pid <= std::numeric_limits<pid_t>::max()) {
        view.window.pid = static_cast<pid_t>(*pid);
    }
    view.window.title = textOf(node, "name");
    view.window.owner = textOf(node, "app_id");
    if (const json* properties = member(node, "window_properties")) {
        view.x11 = true;
        if (!view.window.owner) {
            view.window.owner = textOf(*properties, "class");
        }
    }
    // rect leaves out the title bar, which the user sees as part of the window.
    if (const auto decoration = rectOf(node, "deco_rect")) {
        rect->y -= decoration->height;
        rect->height += decoration->height;
    }
    view.window.frame = *rect;
    const json* visible = member(node, "visible");
    view.visible = visible != nullptr && visible->is_boolean() && visible->get<bool>();
    const json* focused = member(node, "focused");
    view.focused = focused != nullptr && focused->is_boolean() && focused->get<bool>();
    return view;
}

// Floating windows stack above the tiled ones, the last one on top.
void collectViews(const json& node, std::vector<TreeView>& into) {
    const json& floating = childrenOf(node, "floating_nodes");
    for (auto child = floating.rbegin(); child != floating.rend(); ++child) {
        collectViews(*child, into);
    }
    if (isView(node)) {
        if (auto view = viewOf(node)) {
            into.push_back(std::move(*view));
        }
    }
    for (const json& child : childrenOf(node, "nodes")) {
        collectViews(child, into);
    }
}

bool isType(const json& node, const char* type) {
    const auto text = textOf(node, "type");
    return text && *text == type;
}

// The scratchpad lives on an output of its own that is never shown.
bool isShownOutput(const json& output) { return isType(output, "output") && textOf(output, "name") != "__i3"; }

// The workspace the output shows: the first of its focus order.
const json* currentWorkspace(const json& output) {
    const json& workspaces = childrenOf(output, "nodes");
    const json* focus = member(output, "focus");
    if (focus != nullptr && focus->is_array() && !focus->empty() && (*focus)[0].is_number()) {
        const auto shown = (*focus)[0].get<double>();
        for (const json& workspace : workspaces) {
            if (numberOf(workspace, "id") == shown) {
                return &workspace;
            }
        }
    }
    return workspaces.empty() ? nullptr : &workspaces[0];
}

// The placement area is the shown workspace's of the output at the global
// origin, else of the first output.
struct AreaChoice {
    bool haveArea = false;
    bool areaFromOrigin = false;

    void offer(const json& output, const json* shown, platform::WindowFrame& into) {
        const auto outputRect = rectOf(output, "rect");
        const bool atOrigin = outputRect && outputRect->x == 0 && outputRect->y == 0;
        if (shown != nullptr && (!haveArea || (atOrigin && !areaFromOrigin))) {
            if (const auto area = rectOf(*shown, "rect")) {
                into = *area;
                haveArea = true;
                areaFromOrigin = atOrigin;
            }
        }
    }
};

std::optional<double> firstFocus(const json& node) {
    const json* focus = member(node, "focus");
    if (focus == nullptr || !focus->is_array() || focus->empty() || !(*focus)[0].is_number()) {
        return std::nullopt;
    }
    return (*focus)[0].get<double>();
}

std::optional<TreeView> i3ViewOf(const json& node, bool shown) {
    const auto window = numberOf(node, "window");
    const auto rect = rectOf(node, "rect");
    if (!window || !rect || *window <= 0 || *window > std::numeric_limits<std::uint32_t>::max() ||
        std::trunc(*window) != *window) {
        return std::nullopt;
    }
    TreeView view;
    view.window.id = static_cast<std::uint32_t>(*window);
    view.window.title = textOf(node, "name");
    if (const json* properties = member(node, "window_properties")) {
        view.window.owner = textOf(*properties, "class");
    }
    view.window.frame = *rect;
    view.x11 = true;
    view.visible = shown;
    const json* focused = member(node, "focused");
    view.focused = focused != nullptr && focused->is_boolean() && focused->get<bool>();
    return view;
}

void collectI3Views(const json& node, bool shown, std::vector<TreeView>& into) {
    const json& floating = childrenOf(node, "floating_nodes");
    for (auto child = floating.rbegin(); child != floating.rend(); ++child) {
        collectI3Views(*child, shown, into);
    }
    if (auto view = i3ViewOf(node, shown)) {
        into.push_back(std::move(*view));
    }
    const auto layout = textOf(node, "layout");
    const bool oneShows = layout == "tabbed" || layout == "stacked";
    const auto front = firstFocus(node);
    for (const json& child : childrenOf(node, "nodes")) {
        collectI3Views(child, shown && (!oneShows || numberOf(child, "id") == front), into);
    }
}

// Each shown output of a GET_TREE answer, handed to visit with the tree
// being built and the choice of its placement area.
template <typename Visit>
std::optional<SwayTree> parseShownOutputs(std::string_view text, const Visit& visit) {
    const json root = json::parse(text, nullptr, false);
    if (root.is_discarded() || !root.is_object()) {
        return std::nullopt;
    }
    SwayTree tree;
    AreaChoice area;
    for (const json& output : childrenOf(root, "nodes")) {
        if (isShownOutput(output)) {
            visit(output, tree, area);
        }
    }
    return tree;
}

}  // namespace

std::optional<SwayTree> parseI3Tree(std::string_view text) {
    return parseShownOutputs(text, [](const json& output, SwayTree& tree, AreaChoice& area) {
        // The docks (bars) beside the content are not windows to place.
        for (const json& content : childrenOf(output, "nodes")) {
            if (textOf(content, "name") != "content") {
                continue;
            }
            const json* shown = currentWorkspace(content);
            for (const json& workspace : childrenOf(content, "nodes")) {
                collectI3Views(workspace, &workspace == shown, tree.views);
            }
            area.offer(output, shown, tree.placementArea);
        }
    });
}

std::optional<SwayTree> parseTree(std::string_view text) {
    return parseShownOutputs(text, [](const json& output, SwayTree& tree, AreaChoice& area) {
        for (const json& workspace : childrenOf(output, "nodes")) {
            collectViews(workspace, tree.views);
        }
        area.offer(output, currentWorkspace(output), tree.placementArea);
    });
}

platform::WindowSystemSnapshot onScreen(const SwayTree& tree) {
    platform::WindowSystemSnapshot snapshot;
    snapshot.placementArea = tree.placementArea;
    for (const TreeView& view : tree.views) {
        if (view.visible) {
            snapshot.windows.push_back(view.window);
        }
    }
    return snapshot;
}

const TreeView* findView(const SwayTree& tree, std::uint32_t id) {
    const auto found = std::ranges::find_if(tree.views, [id](const TreeView& view) { return view.window.id == id; });
    return found == tree.views.end() ? nullptr : &*found;
}

std::optional<std::string> commandRefusal(std::string_view text) {
    const json results = json::parse(text, nullptr, false);
    if (results.is_discarded() || !results.is_array()) {
        return "the answer to the command is not a list of results";
    }
    for (const json& result : results) {
        const json* success = member(result, "success");
        if (success != nullptr && success->is_boolean() && success->get<bool>()) {
            continue;
        }
        return textOf(result, "error").value_or("the command failed without saying why");
    }
    return std::nullopt;
}

}  // namespace tallowin::sway
