#include "platform/macos/mac_window_list.h"

#include <CoreGraphics/CoreGraphics.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/macos/cf_ref.h"
#include "platform/macos/cf_string.h"

namespace tallowin::macos {

namespace {

using platform::Value;

// Window descriptions nest one level (kCGWindowBounds); the bound only keeps
// a malformed, deeply nested value from exhausting the stack.
constexpr int kMaximumNesting = 8;

std::optional<Value::Entries> convertDictionary(CFDictionaryRef dictionary, int depth);

Value convertNumber(CFNumberRef number) {
    if (CFNumberIsFloatType(number)) {
        double floating = 0;
        return CFNumberGetValue(number, kCFNumberFloat64Type, &floating) ? Value::floating(floating) : Value::other();
    }
    // False when the value does not fit (an unsigned 64-bit number above the
    // signed range): a lossy number is no number at all.
    std::int64_t integer = 0;
    return CFNumberGetValue(number, kCFNumberSInt64Type, &integer) ? Value::integer(integer) : Value::other();
}

// Values are borrowed (the Get rule): the array that holds them outlives
// the whole conversion.
Value convertValue(CFTypeRef value, int depth) {
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFNumberGetTypeID()) {
        return convertNumber(static_cast<CFNumberRef>(value));
    }
    if (type == CFStringGetTypeID()) {
        auto text = utf8String(static_cast<CFStringRef>(value));
        return text ? Value::text(std::move(*text)) : Value::other();
    }
    if (type == CFDictionaryGetTypeID() && depth < kMaximumNesting) {
        auto entries = convertDictionary(static_cast<CFDictionaryRef>(value), depth + 1);
        return entries ? Value::dictionary(std::move(*entries)) : Value::other();
    }
    return Value::other();  // CFBoolean, CFArray, CFData, ...
}

std::optional<Value::Entries> convertDictionary(CFDictionaryRef dictionary, int depth) {
    const CFIndex count = CFDictionaryGetCount(dictionary);
    std::vector<const void*> keys(static_cast<std::size_t>(count));
    std::vector<const void*> values(static_cast<std::size_t>(count));
    CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());

    Value::Entries entries;
    entries.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == nullptr || CFGetTypeID(keys[i]) != CFStringGetTypeID()) {
            return std::nullopt;
        }
        auto key = utf8String(static_cast<CFStringRef>(keys[i]));
        if (!key) {
            return std::nullopt;
        }
        entries.emplace_back(std::move(*key), values[i] != nullptr ? convertValue(values[i], depth) : Value::other());
    }
    return entries;
}

}  // namespace

std::optional<platform::WindowList> convertWindowList(CFArrayRef windows) {
    const CFIndex count = CFArrayGetCount(windows);
    platform::WindowList list;
    list.reserve(static_cast<std::size_t>(count));
    for (CFIndex i = 0; i < count; ++i) {
        const void* element = CFArrayGetValueAtIndex(windows, i);
        if (element == nullptr || CFGetTypeID(element) != CFDictionaryGetTypeID()) {
            return std::nullopt;
        }
        auto entries = convertDictionary(static_cast<CFDictionaryRef>(element), 0);
        if (!entries) {
            return std::nullopt;
        }
        list.push_back(Value::dictionary(std::move(*entries)));
    }
    return list;
}

std::optional<platform::WindowList> MacWindowList::copyWindowInfo(platform::WindowListOption options,
                                                                  std::uint32_t relativeToWindow) {
    // Copy rule: the array is ours; NULL outside a GUI session.
    const auto windows = CFRef<CFArrayRef>::adopt(CGWindowListCopyWindowInfo(
        static_cast<CGWindowListOption>(options), static_cast<CGWindowID>(relativeToWindow)));
    if (!windows) {
        return std::nullopt;
    }
    return convertWindowList(windows.get());
}

}  // namespace tallowin::macos
