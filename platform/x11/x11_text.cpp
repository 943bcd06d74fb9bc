#include "platform/x11/x11_text.h"

#include <unicode/utf8.h>

#include <cstdint>

namespace tallowin::x11 {

std::string repairUtf8(std::string_view bytes) {
    std::string repaired;
    repaired.reserve(bytes.size());
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto length = static_cast<std::int32_t>(bytes.size());
    std::int32_t offset = 0;
    while (offset < length) {
        const std::int32_t start = offset;
        UChar32 codePoint = 0;
        U8_NEXT(data, offset, length, codePoint);
        if (codePoint < 0) {
            repaired += "\xEF\xBF\xBD";
        } else {
            repaired.append(bytes.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(offset - start)));
        }
    }
    return repaired;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x80) {
            text += byte;
        } else {
            text += static_cast<char>(0xC0 | (code >> 6));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return text;
}

std::optional<std::string> decodeTextProperty(TextEncoding encoding, std::string_view bytes) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return repairUtf8(bytes);
        case TextEncoding::Latin1:
            return latin1ToUtf8(bytes);
        case TextEncoding::CompoundText:
            // Compound text starts in ISO 8859-1; only an escape (ESC) or a
            // control sequence introducer (CSI) switches to something else.
            if (bytes.find_first_of("\x1B\x9B") != std::string_view::npos) {
                return std::nullopt;
            }
            return latin1ToUtf8(bytes);
        case TextEncoding::Unknown:
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace tallowin::x11
