#include <plist/plist.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

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

// The depth of libplist's own tree, adding to `nodes` the nodes it holds,
// dictionary keys included. Recursion is no risk that freeing the tree,
// which libplist does recursively, does not take first.
int depthOf(plist_t node, std::size_t& nodes) {
    ++nodes;
    int depth = 0;
    const bool isDict = plist_get_node_type(node) == PLIST_DICT;
    plist_dict_iter iterator = nullptr;
    if (isDict) {
        plist_dict_new_iter(node, &iterator);
    }
    const std::uint32_t count = isDict ? plist_dict_get_size(node) : plist_array_get_size(node);
    for (std::uint32_t i = 0; i < count; ++i) {
        plist_t value = nullptr;
        if (isDict) {
            // Keys are not asked for: libplist asserts on a key holding a NUL byte.
            plist_dict_next_item(node, iterator, nullptr, &value);
            ++nodes;
        } else {
            value = plist_array_get_item(node, i);
        }
        depth = std::max(depth, depthOf(value, nodes));
    }
    std::free(iterator);
    return depth + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::optional<PlistShape> shape = measurePlist(input);
    // The measure must never be beaten by what libplist then builds.
    std::size_t nodes = 0;
    if (const Node parsed = shape ? parse(input, shape->format) : nullptr;
        parsed && (depthOf(parsed.get(), nodes) > shape->depth || nodes > shape->values)) {
        __builtin_trap();
    }
    const std::optional<std::string> merged =
        mergeEntries(input, {{"last-selection", tallowin::platform::IntegerDictionary{{"X", 0}, {"Y", -24}}}});
    if (!merged) {
        return 0;  // kept aside; the new file holds just the entries
    }
    // What is written reads back within the bounds, in the input's format,
    // holding the entry. Written XML is indented a tab per level, so a short
    // element deep down comes back longer, but within the bound no more than this.
    const std::optional<PlistShape> written = measurePlist(*merged);
    if (!written || merged->size() > 24 * size + 1024 || (!input.empty() && written->format != shape->format)) {
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
