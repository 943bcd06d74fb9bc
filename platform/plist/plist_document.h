#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/plist/plist_shape.h"
#include "platform/preferences.h"

namespace tallowin::plist {

// The whole value a key is to hold: a dictionary of integers or one integer.
using DomainValue = std::variant<platform::IntegerDictionary, std::int64_t>;
// Keys of a domain and the value each is to hold.
using DomainEntries = std::map<std::string, DomainValue, std::less<>>;

// The bytes a domain file holding `current` is to hold next: its dictionary
// with the entries set, in its own format (XML when empty). Nothing when
// `current` is no dictionary readable within the bounds, or when the result
// would not read back as one: such a file is unreadable to us, never grown.
std::optional<std::string> mergeEntries(std::string_view current, const DomainEntries& entries);

// A file holding just the entries; empty only when libplist fails.
std::string newDomain(const DomainEntries& entries, PlistFormat format);

}  // namespace tallowin::plist
