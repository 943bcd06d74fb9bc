#include "app/standard_output.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <array>
#include <csignal>
#include <cstdint>
#include <cstdio>

namespace tallowin {

namespace {

void appendHex(std::string& out, const char* prefix, std::uint32_t value, int digits) {
    static constexpr std::array<char, 16> hex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                 '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    out += prefix;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out += hex[(value >> static_cast<unsigned>(shift)) & 0xFU];
    }
}

// Characters that end or rewrite a line on a terminal: the controls, and the
// line and paragraph separators.
bool breaksTheLine(UChar32 c) {
    const auto category = static_cast<UCharCategory>(u_charType(c));
    return category == U_CONTROL_CHAR || category == U_LINE_SEPARATOR || category == U_PARAGRAPH_SEPARATOR;
}

}  // namespace

// ICU's UTF-8 stepping macros use C casts.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
std::string escapeControlCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t index = 0;
    while (index < length) {
        const std::int32_t start = index;
        UChar32 c = 0;
        U8_NEXT(bytes, index, length, c);
        if (c < 0) {  // a malformed byte: shown, never passed on raw
            for (std::int32_t i = start; i < index; ++i) {
                appendHex(out, "\\x", bytes[i], 2);
            }
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x80 && breaksTheLine(c)) {
            appendHex(out, "\\x", static_cast<std::uint32_t>(c), 2);
        } else if (breaksTheLine(c)) {
            appendHex(out, "\\u", static_cast<std::uint32_t>(c), 4);
        } else {
            out.append(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(index - start)));
        }
    }
    return out;
}
#pragma GCC diagnostic pop

StandardOutput::StandardOutput() { std::signal(SIGPIPE, SIG_IGN); }

void StandardOutput::writeLine(std::string_view text) {
    if (closed_) {
        return;
    }
    std::string line = escapeControlCharacters(text);
    line += '\n';
    const bool written = std::fwrite(line.data(), 1, line.size(), stdout) == line.size();
    closed_ = !written || std::fflush(stdout) != 0;
}

}  // namespace tallowin
