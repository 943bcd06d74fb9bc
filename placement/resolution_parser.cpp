#include "placement/resolution_parser.h"

#include <string>
#include <vector>

#include "placement/grapheme_clusters.h"

namespace tallowin {

std::optional<std::int64_t> parseDecimalInteger(std::string_view piece) {
    bool negative = false;
    if (!piece.empty() && (piece.front() == '+' || piece.front() == '-')) {
        negative = piece.front() == '-';
        piece.remove_prefix(1);
    }
    if (piece.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : piece) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        const std::int64_t digit = c - '0';
        // Negative numbers accumulate downwards so that -2^63 fits.
        if (__builtin_mul_overflow(value, 10, &value) ||
            (negative ? __builtin_sub_overflow(value, digit, &value) : __builtin_add_overflow(value, digit, &value))) {
            return std::nullopt;
        }
    }
    return value;
}

std::optional<Resolution> parseResolution(std::string_view text) {
    std::vector<std::string> pieces;
    icu::UnicodeString piece;
    auto endPiece = [&] {
        if (!piece.isEmpty()) {
            pieces.emplace_back();
            piece.toUTF8String(pieces.back());
            piece.remove();
        }
    };
    for (const icu::UnicodeString& cluster : graphemeClusters(text)) {
        if (cluster == icu::UnicodeString(u'x')) {
            endPiece();
        } else {
            piece.append(cluster);
        }
    }
    endPiece();
    if (pieces.size() != 2) {
        return std::nullopt;
    }
    const auto width = parseDecimalInteger(pieces[0]);
    if (!width) {
        return std::nullopt;
    }
    const auto height = parseDecimalInteger(pieces[1]);
    if (!height) {
        return std::nullopt;
    }
    return Resolution{*width, *height};
}

}  // namespace tallowin
