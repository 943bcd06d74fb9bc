#include <plist/plist.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/plist/plist_document.h"
#include "platform/plist/plist_shape.h"

namespace {

using namespace tallowin::plist;

struct NodeDeleter {
    void operator()(void* node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

Node parse(const std::string& bytes, PlistFormat format) {
    plist_t root = nullptr;
    (format == PlistFormat::Binary ? plist_from_bin : plist_from_xml)(bytes.data(),
                                                                      static_cast<std::uint32_t>(bytes.size()), &root);
    return Node(root);
}

// libplist's own tree, walked without recursion: its depth and how many nodes
// it holds, dictionary keys included.
std::pair<int, std::size_t> treeOf(plist_t root) {
    int depth = 0;
    std::size_t nodes = 0;
    std::vector<std::pair<plist_t, int>> pending{{root, 1}};
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        depth = std::max(depth, level);
        ++nodes;
        if (plist_get_node_type(node) == PLIST_ARRAY) {
            for (std::uint32_t i = 0; i < plist_array_get_size(node); ++i) {
                pending.emplace_back(plist_array_get_item(node, i), level + 1);
            }
        } else if (plist_get_node_type(node) == PLIST_DICT) {
            plist_dict_iter iterator = nullptr;
            plist_dict_new_iter(node, &iterator);
            for (;;) {
                // Keys are not asked for: libplist asserts on a key holding a NUL byte.
                plist_t value = nullptr;
                plist_dict_next_item(node, iterator, nullptr, &value);
                if (value == nullptr) {
                    break;
                }
                ++nodes;
                pending.emplace_back(value, level + 1);
            }
            std::free(iterator);
        }
    }
    return {depth, nodes};
}

// Written XML is indented a tab per level, so a short element deep down comes
// back longer; within the nesting bound no element grows past this.
constexpr std::size_t kGrowthPerByte = 24;
constexpr std::size_t kSlack = 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::optional<PlistShape> shape = measurePlist(input);
    if (shape) {
        // The measure must never be beaten by what libplist then builds.
        const Node parsed = parse(input, shape->format);
        if (parsed) {
            const auto [depth, nodes] = treeOf(parsed.get());
            if (depth > shape->depth || nodes > shape->values) {
                __builtin_trap();
            }
        }
    }
    const DomainEntries entries{{"last-selection", {{"X", 0}, {"Y", -24}, {"Width", 1920}, {"Height", 1080}}}};
    const std::optional<std::string> merged = mergeEntries(input, entries);
    if (!merged) {
        return 0;  // kept aside; the new file holds just the entries
    }
    // What is written reads back within the bounds, in the input's format, holding the entry.
    const std::optional<PlistShape> written = measurePlist(*merged);
    if (!written || merged->size() > kGrowthPerByte * size + kSlack ||
        (!input.empty() && written->format != shape->format)) {
        __builtin_trap();
    }
    const Node back = parse(*merged, written->format);
    std::uint64_t y = 0;
    plist_get_uint_val(plist_dict_get_item(plist_dict_get_item(back.get(), "last-selection"), "Y"), &y);
    if (static_cast<std::int64_t>(y) != -24) {
        __builtin_trap();
    }
    return 0;
}
