#include "platform/macos/cf_string.h"

namespace tallowin::macos {

std::optional<std::string> utf8String(CFStringRef text) {
    const CFIndex length = CFStringGetLength(text);
    const CFIndex maximumBytes = CFStringGetMaximumSizeForEncoding(length, kCFStringEncodingUTF8);
    if (maximumBytes == kCFNotFound) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(maximumBytes), '\0');
    CFIndex usedBytes = 0;
    // CFStringGetBytes rather than CFStringGetCString: it reports the exact
    // byte count, so a U+0000 inside a title does not cut the text short.
    const CFIndex converted = CFStringGetBytes(text, CFRangeMake(0, length), kCFStringEncodingUTF8, 0, false,
                                               reinterpret_cast<UInt8*>(bytes.data()), maximumBytes, &usedBytes);
    if (converted != length || usedBytes < 0 || usedBytes > maximumBytes) {
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(usedBytes));
    return bytes;
}

CFRef<CFStringRef> makeCFString(std::string_view utf8) {
    return CFRef<CFStringRef>::adopt(
        CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(utf8.data()),
                                static_cast<CFIndex>(utf8.size()), kCFStringEncodingUTF8, false));
}

}  // namespace tallowin::macos
