#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tallowin {

struct Resolution {
    std::int64_t width;
    std::int64_t height;
};

// "<width>x<height>": split at every "x" that stands as a character of its
// own, empty pieces dropped; exactly two pieces, each an optional sign and
// ASCII digits within the signed 64-bit range. Nothing is trimmed.
std::optional<Resolution> parseResolution(std::string_view text);

// One piece: an optional "+" or "-", then one or more ASCII digits.
std::optional<std::int64_t> parseDecimalInteger(std::string_view piece);

}  // namespace tallowin
