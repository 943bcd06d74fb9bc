#include "platform/number_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tallowin::platform {

std::string formatDouble(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    // The largest double has 309 integer digits.
    std::array<char, 400> buffer{};
    const bool whole = std::trunc(value) == value;
    const bool fixed = whole || std::fabs(value) >= 1e-5;
    const auto format = fixed ? std::chars_format::fixed : std::chars_format::scientific;
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format);
    std::string text(buffer.data(), error == std::errc{} ? end : buffer.data());
    if (whole) {
        text += ".0";
    }
    return text;
}

}  // namespace tallowin::platform
