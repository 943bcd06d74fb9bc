#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_system.h"

namespace tallowin::sway {

// One window (a view) of the tree, on screen or not.
struct TreeView {
    platform::SystemWindow window;
    bool visible = false;
    bool focused = false;
    bool x11 = false;  // an XWayland client
};

// What a GET_TREE answer says: every view, front to back within each
// workspace, and the area a window may be placed in.
struct SwayTree {
    std::vector<TreeView> views;
    platform::WindowFrame placementArea;
};

// Pure: nothing when the text is not a tree. The placement area is the rect of
// the current workspace of the output at the global origin (else the first
// output): the workspace's rect already leaves out the bars.
std::optional<SwayTree> parseTree(std::string_view json);

// Pure: the same for i3's tree, where a window is its X11 client: its id is
// the X window, there is no pid, and rect holds the title bar. Workspaces lie
// in each output's content container; only the workspace the output shows,
// and in a tabbed or stacked container only its focused child, are on screen.
std::optional<SwayTree> parseI3Tree(std::string_view json);

// The windows on screen, and the placement area.
platform::WindowSystemSnapshot onScreen(const SwayTree& tree);

// The view with this id, on screen or not.
const TreeView* findView(const SwayTree& tree, std::uint32_t id);

// Pure: of a RUN_COMMAND answer, the first refusal in the compositor's own
// words; nothing when every command succeeded.
std::optional<std::string> commandRefusal(std::string_view json);

}  // namespace tallowin::sway
