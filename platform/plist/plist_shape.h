#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace tallowin::plist {

// What a preferences file may be before libplist is given it. libplist
// recurses once per level when it copies, frees or writes a value, and copies
// a shared binary object once per reference, so size alone bounds neither the
// stack nor the memory: a binary file must also fit the size once its shared
// objects are copied out.
inline constexpr std::size_t kLargestFileBytes = std::size_t{1} << 20;
inline constexpr int kDeepestNesting = 64;
inline constexpr std::size_t kMostValues = std::size_t{1} << 16;

enum class PlistFormat { Xml, Binary };

struct PlistShape {
    PlistFormat format = PlistFormat::Xml;
    int depth = 0;           // levels of elements or objects, the outermost being 1
    std::size_t values = 0;  // values once every shared object is copied out
};

// The shape of a property list, found without recursion beyond the bounds;
// nothing when the bytes exceed a bound or are not laid out as a property
// list of that format. Never shallower or smaller than what libplist builds.
std::optional<PlistShape> measurePlist(std::string_view bytes);

// Each format's measure; the caller has picked the format by its magic.
std::optional<PlistShape> measureXmlPlist(std::string_view bytes);
std::optional<PlistShape> measureBinaryPlist(std::string_view bytes);

[[nodiscard]] inline bool isBinaryPlist(std::string_view bytes) { return bytes.starts_with("bplist00"); }

}  // namespace tallowin::plist
