#include "app/standard_output.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tallowin {

void StandardOutput::writeLine(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string formatDouble(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    std::array<char, 64> buffer{};
    // Fixed notation reads naturally for screen-sized numbers (1920.0, 0.5);
    // far from them the exponent form stays short.
    const double magnitude = std::fabs(value);
    const bool fixed = magnitude == 0.0 || (magnitude >= 1e-5 && magnitude < 1e16);
    const auto format = fixed ? std::chars_format::fixed : std::chars_format::scientific;
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format);
    std::string text(buffer.data(), error == std::errc{} ? end : buffer.data());
    if (format == std::chars_format::fixed && text.find('.') == std::string::npos) {
        text += ".0";
    }
    return text;
}

}  // namespace tallowin
