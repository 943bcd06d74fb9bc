#include "platform/plist/plist_document.h"

#include <plist/plist.h>

#include <cstdint>
#include <memory>

namespace tallowin::plist {

namespace {

struct NodeDeleter {
    void operator()(void* node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

// The dictionary the bytes hold, handed to libplist only once measured
// within the bounds; null for anything else.
Node parseDictionary(std::string_view bytes) {
    const std::optional<PlistShape> shape = measurePlist(bytes);
    if (!shape) {
        return nullptr;
    }
    plist_t parsed = nullptr;
    const std::string owned(bytes);
    const auto length = static_cast<std::uint32_t>(owned.size());
    if (shape->format == PlistFormat::Binary) {
        plist_from_bin(owned.data(), length, &parsed);
    } else {
        plist_from_xml(owned.data(), length, &parsed);
    }
    Node root(parsed);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT) {
        return nullptr;
    }
    return root;
}

std::string serialize(plist_t root, PlistFormat format) {
    char* raw = nullptr;
    std::uint32_t length = 0;
    if (format == PlistFormat::Binary) {
        plist_to_bin(root, &raw, &length);
    } else {
        plist_to_xml(root, &raw, &length);
    }
    const std::unique_ptr<char, void (*)(char*)> owned(
        raw, format == PlistFormat::Binary ? plist_to_bin_free : plist_to_xml_free);
    return owned ? std::string(owned.get(), length) : std::string();
}

// libplist 2.2 keeps integers unsigned; both writers give them back signed.
plist_t newInteger(std::int64_t number) { return plist_new_uint(static_cast<std::uint64_t>(number)); }

plist_t newValue(const DomainValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return newInteger(*number);
    }
    Node dictionary(plist_new_dict());
    for (const auto& [name, number] : std::get<platform::IntegerDictionary>(value)) {
        plist_dict_set_item(dictionary.get(), name.c_str(), newInteger(number));
    }
    return dictionary.release();
}

void setEntries(plist_t root, const DomainEntries& entries) {
    for (const auto& [key, value] : entries) {
        plist_dict_set_item(root, key.c_str(), newValue(value));
    }
}

}  // namespace

std::optional<std::string> mergeEntries(std::string_view current, const DomainEntries& entries) {
    if (current.empty()) {
        return newDomain(entries, PlistFormat::Xml);
    }
    const Node root = parseDictionary(current);
    if (!root) {
        return std::nullopt;
    }
    setEntries(root.get(), entries);
    std::string merged = serialize(root.get(), isBinaryPlist(current) ? PlistFormat::Binary : PlistFormat::Xml);
    // libplist writes some values it cannot read back (a binary string of
    // invalid UTF-8 becomes an empty UTF-16 one): such a file is not written.
    if (merged.empty() || !parseDictionary(merged)) {
        return std::nullopt;
    }
    return merged;
}

std::string newDomain(const DomainEntries& entries, PlistFormat format) {
    const Node root(plist_new_dict());
    setEntries(root.get(), entries);
    return serialize(root.get(), format);
}

}  // namespace tallowin::plist
