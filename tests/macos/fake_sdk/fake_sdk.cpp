#include "tests/macos/fake_sdk/fake_sdk.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <sstream>

namespace {

enum class Kind : CFTypeID { String = 1, Number, Dictionary, Array, Boolean, Element, Value };
constexpr int kImmortal = 1 << 30;  // CFSTR's strings and the booleans never die

struct Object {
    explicit Object(Kind objectKind, std::string objectText = {}, int count = 1)
        : kind(objectKind), references(count), text(std::move(objectText)) {}
    Kind kind;
    int references;
    std::string text;  // a string's bytes, an integer's digits (none: a float), an element's name, a value's type
    std::optional<std::int64_t> integer;  // a number that fits SInt64
    std::array<double, 2> pair{};         // a number in the first; a value's point or size
    std::vector<const void*> items;       // an array's; a dictionary's keys and values, alternating
};

std::vector<std::unique_ptr<Object>> objects;  // all made since reset(), released ones too
std::vector<std::string> problems;
fake_sdk::State current;
Object trueObject(Kind::Boolean, "true", kImmortal);
Object falseObject(Kind::Boolean, "false", kImmortal);

Object* make(Kind kind, std::string text = {}) {
    return objects.emplace_back(std::make_unique<Object>(kind, std::move(text))).get();
}
Object* object(const void* ref) { return const_cast<Object*>(static_cast<const Object*>(ref)); }
void trace(std::string call) { current.calls.push_back(std::move(call)); }
bool granted(const char* call) {
    trace(call);
    return current.granted;
}

std::string describe(const void* ref) {
    const auto* read = object(ref);
    std::ostringstream out;
    if (read->kind == Kind::Value) {
        out << read->text << '(' << read->pair[0] << ',' << read->pair[1] << ')';
    } else if (read->kind == Kind::Dictionary) {
        out << '{';
        for (std::size_t i = 0; i < read->items.size(); i += 2) {
            out << (i == 0 ? "" : ",") << describe(read->items[i]) << '=' << describe(read->items[i + 1]);
        }
        out << '}';
    } else {
        out << read->text;
    }
    return out.str();
}

// Traces "<element> <verb> <name><detail>"; answers with the error set for name.
AXError axCall(const void* element, const char* verb, CFStringRef name, const std::string& detail = {}) {
    trace(object(element)->text + " " + verb + " " + object(name)->text + detail);
    const auto error = current.errors.find(object(name)->text);
    return error != current.errors.end() ? error->second : kAXErrorSuccess;
}

Object* container(Kind kind, std::vector<CFTypeRef> items) {
    auto* made = make(kind);
    made->items = std::move(items);
    return made;
}
CFNumberRef number(double value, std::string digits, std::optional<std::int64_t> integer) {
    auto* made = make(Kind::Number, std::move(digits));
    made->pair[0] = value;
    made->integer = integer;
    return reinterpret_cast<CFNumberRef>(made);
}

}  // namespace

namespace fake_sdk {

CFStringRef string(const std::string& utf8) { return reinterpret_cast<CFStringRef>(make(Kind::String, utf8)); }
CFNumberRef integer(std::int64_t value) { return number(static_cast<double>(value), std::to_string(value), value); }
CFNumberRef floating(double value) { return number(value, {}, std::nullopt); }
CFNumberRef unsignedBeyondInt64() { return number(18446744073709551615.0, "18446744073709551615", std::nullopt); }
CFDictionaryRef dictionary(const std::vector<std::pair<CFTypeRef, CFTypeRef>>& entries) {
    std::vector<CFTypeRef> items;
    for (const auto& [key, value] : entries) {
        items.insert(items.end(), {key, value});
    }
    return reinterpret_cast<CFDictionaryRef>(container(Kind::Dictionary, std::move(items)));
}
CFArrayRef array(std::vector<CFTypeRef> items) {
    return reinterpret_cast<CFArrayRef>(container(Kind::Array, std::move(items)));
}
AXUIElementRef element(const std::string& name) { return reinterpret_cast<AXUIElementRef>(make(Kind::Element, name)); }

State& state() { return current; }

std::vector<std::string> reset() {
    current = State{};
    const auto live =
        std::count_if(objects.begin(), objects.end(), [](const auto& made) { return made->references > 0; });
    if (live > 0) {
        problems.push_back(std::to_string(live) + " objects leaked");
    }
    objects.clear();
    return std::exchange(problems, {});
}

}  // namespace fake_sdk

extern "C" {

const CFAllocatorRef kCFAllocatorDefault = nullptr;
const CFBooleanRef kCFBooleanTrue = reinterpret_cast<CFBooleanRef>(&trueObject);
const CFBooleanRef kCFBooleanFalse = reinterpret_cast<CFBooleanRef>(&falseObject);
const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks{};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks{};
CFStringRef kAXTrustedCheckOptionPrompt = CFSTR("AXTrustedCheckOptionPrompt");

// One object per text, as the linker makes them.
CFStringRef __CFStringMakeConstantString(const char* cStr) {
    static std::map<std::string, Object> constants;
    return reinterpret_cast<CFStringRef>(&constants.try_emplace(cStr, Kind::String, cStr, kImmortal).first->second);
}

CFTypeRef CFRetain(CFTypeRef ref) {
    if (ref == nullptr) {
        problems.emplace_back("CFRetain(NULL)");
        return ref;
    }
    ++object(ref)->references;
    return ref;
}
void CFRelease(CFTypeRef ref) {
    if (ref == nullptr || object(ref)->references <= 0) {
        problems.emplace_back(ref == nullptr ? "CFRelease(NULL)" : "CFRelease of a released object");
    } else if (--object(ref)->references == 0) {
        for (const auto* item : object(ref)->items) {
            CFRelease(item);
        }
    }
}

CFTypeID CFGetTypeID(CFTypeRef ref) { return static_cast<CFTypeID>(object(ref)->kind); }
CFTypeID CFStringGetTypeID(void) { return static_cast<CFTypeID>(Kind::String); }
CFTypeID CFNumberGetTypeID(void) { return static_cast<CFTypeID>(Kind::Number); }
CFTypeID CFDictionaryGetTypeID(void) { return static_cast<CFTypeID>(Kind::Dictionary); }
CFTypeID CFArrayGetTypeID(void) { return static_cast<CFTypeID>(Kind::Array); }
CFTypeID CFBooleanGetTypeID(void) { return static_cast<CFTypeID>(Kind::Boolean); }
CFTypeID AXUIElementGetTypeID(void) { return static_cast<CFTypeID>(Kind::Element); }
CFTypeID AXValueGetTypeID(void) { return static_cast<CFTypeID>(Kind::Value); }
Boolean CFBooleanGetValue(CFBooleanRef value) { return value == kCFBooleanTrue; }

// Test texts are ASCII, so UTF-16 units and UTF-8 bytes coincide.
CFIndex CFStringGetLength(CFStringRef text) { return static_cast<CFIndex>(object(text)->text.size()); }
CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding) { return length * 3; }
CFIndex CFStringGetBytes(CFStringRef text, CFRange range, CFStringEncoding, UInt8, Boolean, UInt8* buffer,
                         CFIndex maxBufLen, CFIndex* usedBufLen) {
    const auto& bytes = object(text)->text;
    if (bytes.find('\xff') != std::string::npos || range.location != 0 || range.length > maxBufLen) {
        return 0;
    }
    std::memcpy(buffer, bytes.data(), static_cast<std::size_t>(range.length));
    *usedBufLen = range.length;
    return range.length;
}
CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8* bytes, CFIndex numBytes, CFStringEncoding, Boolean) {
    const std::string text(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(numBytes));
    return text.find('\xff') == std::string::npos ? fake_sdk::string(text) : nullptr;  // not UTF-8
}

Boolean CFNumberIsFloatType(CFNumberRef number) { return object(number)->text.empty(); }
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void* valuePtr) {
    const auto* read = object(number);
    if (type == kCFNumberFloat64Type) {
        *static_cast<double*>(valuePtr) = read->pair[0];
    } else if (read->integer) {
        *static_cast<std::int64_t*>(valuePtr) = *read->integer;
    }
    return type == kCFNumberFloat64Type || read->integer.has_value();
}
// The providers make SInt64 numbers only; any other type fails.
CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType type, const void* valuePtr) {
    return type == kCFNumberSInt64Type ? fake_sdk::integer(*static_cast<const std::int64_t*>(valuePtr)) : nullptr;
}

CFIndex CFArrayGetCount(CFArrayRef array) { return static_cast<CFIndex>(object(array)->items.size()); }
const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex index) {
    return object(array)->items.at(static_cast<std::size_t>(index));
}
CFIndex CFDictionaryGetCount(CFDictionaryRef dict) { return static_cast<CFIndex>(object(dict)->items.size() / 2); }
void CFDictionaryGetKeysAndValues(CFDictionaryRef dictionary, const void** keys, const void** values) {
    const auto& items = object(dictionary)->items;
    for (std::size_t i = 0; i < items.size(); i += 2) {
        keys[i / 2] = items[i];
        values[i / 2] = items[i + 1];
    }
}
CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex, const CFDictionaryKeyCallBacks*,
                                                 const CFDictionaryValueCallBacks*) {
    return reinterpret_cast<CFMutableDictionaryRef>(make(Kind::Dictionary));
}
void CFDictionarySetValue(CFMutableDictionaryRef dictionary, const void* key, const void* value) {
    object(dictionary)->items.insert(object(dictionary)->items.end(), {CFRetain(key), CFRetain(value)});
}
CFDictionaryRef CFDictionaryCreate(CFAllocatorRef allocator, const void** keys, const void** values, CFIndex numValues,
                                   const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks) {
    auto* made = CFDictionaryCreateMutable(allocator, numValues, keyCallBacks, valueCallBacks);
    for (CFIndex i = 0; i < numValues; ++i) {
        CFDictionarySetValue(made, keys[i], values[i]);
    }
    return made;
}

void CFPreferencesSetAppValue(CFStringRef key, CFPropertyListRef value, CFStringRef applicationID) {
    trace("CFPreferencesSetAppValue(" + describe(key) + "," + describe(value) + "," + describe(applicationID) + ")");
}
Boolean CFPreferencesAppSynchronize(CFStringRef applicationID) {
    trace("CFPreferencesAppSynchronize(" + describe(applicationID) + ")");
    return true;
}

CFArrayRef CGWindowListCopyWindowInfo(CGWindowListOption option, CGWindowID relativeToWindow) {
    trace("CGWindowListCopyWindowInfo(" + std::to_string(option) + "," + std::to_string(relativeToWindow) + ")");
    return std::exchange(current.windowList, nullptr);
}
bool CGPreflightScreenCaptureAccess(void) { return granted("CGPreflightScreenCaptureAccess"); }
bool CGRequestScreenCaptureAccess(void) { return granted("CGRequestScreenCaptureAccess"); }

Boolean AXIsProcessTrustedWithOptions(CFDictionaryRef options) {
    return granted(("AXIsProcessTrustedWithOptions(" + describe(options) + ")").c_str());
}
Boolean AXIsProcessTrusted(void) { return granted("AXIsProcessTrusted"); }

AXUIElementRef AXUIElementCreateApplication(pid_t pid) { return fake_sdk::element("app" + std::to_string(pid)); }
AXError AXUIElementSetMessagingTimeout(AXUIElementRef element, float timeoutInSeconds) {
    trace(object(element)->text + " timeout " + std::to_string(std::lround(timeoutInSeconds * 1000)) + "ms");
    return kAXErrorSuccess;
}
AXError AXUIElementCopyAttributeValue(AXUIElementRef element, CFStringRef attribute, CFTypeRef* value) {
    if (const AXError error = axCall(element, "copy", attribute); error != kAXErrorSuccess) {
        return error;
    }
    const auto answer = current.attributes.find(object(attribute)->text);
    if (answer == current.attributes.end()) {
        return kAXErrorAttributeUnsupported;
    }
    *value = std::exchange(answer->second, nullptr);
    return kAXErrorSuccess;
}
AXError AXUIElementSetAttributeValue(AXUIElementRef element, CFStringRef attribute, CFTypeRef value) {
    return axCall(element, "set", attribute, "=" + describe(value));
}
AXError AXUIElementPerformAction(AXUIElementRef element, CFStringRef action) {
    return axCall(element, "perform", action);
}
AXValueRef AXValueCreate(AXValueType type, const void* valuePtr) {
    auto* made = make(Kind::Value, type == kAXValueTypeCGPoint ? "point" : "size");
    std::memcpy(made->pair.data(), valuePtr, sizeof made->pair);  // CGPoint and CGSize: two CGFloat
    return reinterpret_cast<AXValueRef>(made);
}
Boolean AXValueGetValue(AXValueRef value, AXValueType type, void* valuePtr) {
    if (object(value)->text == (type == kAXValueTypeCGPoint ? "point" : "size")) {
        std::memcpy(valuePtr, object(value)->pair.data(), sizeof(std::array<double, 2>));
        return true;
    }
    return false;
}

}  // extern "C"
