#include "discovery/window_title.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace tallowin {

namespace {

bool isWhitespaceOrNewline(UChar32 c) {
    if (c == 0x09 || (c >= 0x0A && c <= 0x0D) || c == 0x85) {
        return true;
    }
    if (c < 0) {  // a malformed sequence is content, never trimmed
        return false;
    }
    const auto category = static_cast<UCharCategory>(u_charType(c));
    return category == U_SPACE_SEPARATOR || category == U_LINE_SEPARATOR || category == U_PARAGRAPH_SEPARATOR;
}

}  // namespace

// ICU's UTF-8 stepping macros use C casts.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
std::string_view trimWhitespaceAndNewlines(std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t begin = 0;
    while (begin < length) {
        std::int32_t next = begin;
        UChar32 c = 0;
        U8_NEXT(bytes, next, length, c);
        if (!isWhitespaceOrNewline(c)) {
            break;
        }
        begin = next;
    }
    std::int32_t end = length;
    while (end > begin) {
        std::int32_t previous = end;
        UChar32 c = 0;
        U8_PREV(bytes, begin, previous, c);
        if (!isWhitespaceOrNewline(c)) {
            break;
        }
        end = previous;
    }
    return text.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
}
#pragma GCC diagnostic pop

std::string displayTitle(const std::string* windowName, const std::string* ownerName) {
    if (windowName != nullptr && ownerName != nullptr) {
        const std::string_view trimmed = trimWhitespaceAndNewlines(*windowName);
        if (!trimmed.empty()) {
            std::string title;
            title.reserve(trimmed.size() + 3 + ownerName->size());
            title.append(trimmed).append(" - ").append(*ownerName);
            return title;
        }
    }
    return ownerName != nullptr ? *ownerName : std::string();
}

}  // namespace tallowin
