#include "tests/macos/fake_sdk/fake_sdk.h"

#include <cstring>
#include <memory>

namespace fake_sdk {

namespace {

enum class Kind : CFTypeID { String = 1, Number, Dictionary, Array, Boolean, Element, Value };

struct Object {
    explicit Object(Kind objectKind) : kind(objectKind) {}
    Kind kind;
    int references = 1;
    bool immortal = false;
    std::string text;
    bool unconvertible = false;
    bool isFloat = false;
    bool lossyAsInt64 = false;
    double floatingValue = 0;
    std::int64_t integerValue = 0;
    std::vector<std::pair<const void*, const void*>> entries;
    std::vector<const void*> items;
    pid_t pid = 0;
    UInt32 valueType = 0;
    float timeout = 0;
    double first = 0;
    double second = 0;
};

int live = 0;
std::vector<std::string> misuses;
// Released objects stay readable until reset(), so a release too many is
// reported, not undefined.
std::vector<std::unique_ptr<Object>> dead;
State current;
Object immortal(Kind kind, std::string text = {}) {
    Object object(kind);
    object.immortal = true;
    object.text = std::move(text);
    return object;
}
Object trueObject = immortal(Kind::Boolean);
Object falseObject = immortal(Kind::Boolean);
// CFSTR's strings: one immortal object per text, as the linker makes them.
Object* constantString(const std::string& text) {
    static std::map<std::string, std::unique_ptr<Object>> strings;
    auto& made = strings[text];
    if (!made) {
        made = std::make_unique<Object>(immortal(Kind::String, text));
    }
    return made.get();
}

Object* make(Kind kind) {
    ++live;
    return new Object(kind);
}

Object* object(const void* ref) { return const_cast<Object*>(static_cast<const Object*>(ref)); }

template <typename Ref>
Ref as(Object* made) {
    return reinterpret_cast<Ref>(made);
}

}  // namespace

int liveObjects() { return live; }
std::vector<std::string>& misuse() { return misuses; }

CFStringRef string(const std::string& utf8) {
    auto* made = make(Kind::String);
    made->text = utf8;
    return as<CFStringRef>(made);
}
CFStringRef unconvertibleString() {
    auto* made = make(Kind::String);
    made->text = "?";
    made->unconvertible = true;
    return as<CFStringRef>(made);
}
CFNumberRef integer(std::int64_t value) {
    auto* made = make(Kind::Number);
    made->integerValue = value;
    return as<CFNumberRef>(made);
}
CFNumberRef floating(double value) {
    auto* made = make(Kind::Number);
    made->isFloat = true;
    made->floatingValue = value;
    return as<CFNumberRef>(made);
}
CFNumberRef unsignedBeyondInt64() {
    auto* made = make(Kind::Number);
    made->lossyAsInt64 = true;
    made->floatingValue = 18446744073709551615.0;
    return as<CFNumberRef>(made);
}
CFTypeRef boolean(bool value) { return value ? &trueObject : &falseObject; }
CFDictionaryRef dictionary(std::vector<std::pair<CFTypeRef, CFTypeRef>> entries) {
    auto* made = make(Kind::Dictionary);
    made->entries.assign(entries.begin(), entries.end());
    return as<CFDictionaryRef>(made);
}
CFArrayRef array(std::vector<CFTypeRef> items) {
    auto* made = make(Kind::Array);
    made->items.assign(items.begin(), items.end());
    return as<CFArrayRef>(made);
}
AXUIElementRef window(pid_t pid) {
    auto* made = make(Kind::Element);
    made->pid = pid;
    return as<AXUIElementRef>(made);
}
AXValueRef point(double x, double y) {
    auto* made = make(Kind::Value);
    made->valueType = kAXValueTypeCGPoint;
    made->first = x;
    made->second = y;
    return as<AXValueRef>(made);
}

float messagingTimeout(AXUIElementRef element) { return object(element)->timeout; }

void release(CFTypeRef ref) { CFRelease(ref); }

State& state() { return current; }

void reset() {
    if (current.windowList != nullptr) {
        CFRelease(current.windowList);
    }
    for (const auto& [key, value] : current.attributes) {
        if (value != nullptr) {
            CFRelease(value);
        }
    }
    if (current.preferenceValue != nullptr) {
        CFRelease(current.preferenceValue);
    }
    current = State{};
    dead.clear();
}

}  // namespace fake_sdk

using fake_sdk::Kind;
using fake_sdk::make;
using fake_sdk::object;

extern "C" {

const CFAllocatorRef kCFAllocatorDefault = nullptr;
const CFBooleanRef kCFBooleanTrue = reinterpret_cast<CFBooleanRef>(&fake_sdk::trueObject);
const CFBooleanRef kCFBooleanFalse = reinterpret_cast<CFBooleanRef>(&fake_sdk::falseObject);
const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks{};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks{};
CFStringRef kAXTrustedCheckOptionPrompt = CFSTR("AXTrustedCheckOptionPrompt");

CFStringRef __CFStringMakeConstantString(const char* cStr) {
    return reinterpret_cast<CFStringRef>(fake_sdk::constantString(cStr));
}

CFTypeRef CFRetain(CFTypeRef ref) {
    if (ref == nullptr) {
        fake_sdk::misuses.emplace_back("CFRetain(NULL)");
        return ref;
    }
    if (!object(ref)->immortal) {
        ++object(ref)->references;
    }
    return ref;
}

void CFRelease(CFTypeRef ref) {
    if (ref == nullptr) {
        fake_sdk::misuses.emplace_back("CFRelease(NULL)");
        return;
    }
    auto* released = object(ref);
    if (released->immortal) {
        return;
    }
    if (released->references <= 0) {
        fake_sdk::misuses.emplace_back("CFRelease of a released object");
        return;
    }
    if (--released->references > 0) {
        return;
    }
    for (const auto& [key, value] : released->entries) {
        CFRelease(key);
        CFRelease(value);
    }
    for (const auto* item : released->items) {
        CFRelease(item);
    }
    --fake_sdk::live;
    fake_sdk::dead.emplace_back(released);
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
    if (object(text)->unconvertible || range.location != 0 || range.length > maxBufLen) {
        *usedBufLen = 0;
        return 0;
    }
    std::memcpy(buffer, bytes.data(), static_cast<std::size_t>(range.length));
    *usedBufLen = range.length;
    return range.length;
}
CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8* bytes, CFIndex numBytes, CFStringEncoding, Boolean) {
    return fake_sdk::string(std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(numBytes)));
}

Boolean CFNumberIsFloatType(CFNumberRef number) { return object(number)->isFloat; }
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void* valuePtr) {
    const auto* read = object(number);
    if (type == kCFNumberFloat64Type) {
        *static_cast<double*>(valuePtr) =
            read->isFloat || read->lossyAsInt64 ? read->floatingValue : static_cast<double>(read->integerValue);
        return true;
    }
    if (type == kCFNumberSInt64Type && !read->isFloat && !read->lossyAsInt64) {
        *static_cast<std::int64_t*>(valuePtr) = read->integerValue;
        return true;
    }
    return false;
}
CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType type, const void* valuePtr) {
    if (type == kCFNumberSInt64Type) {
        return fake_sdk::integer(*static_cast<const std::int64_t*>(valuePtr));
    }
    return nullptr;
}

CFIndex CFArrayGetCount(CFArrayRef array) { return static_cast<CFIndex>(object(array)->items.size()); }
const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex index) {
    return object(array)->items.at(static_cast<std::size_t>(index));
}
CFIndex CFDictionaryGetCount(CFDictionaryRef dictionary) {
    return static_cast<CFIndex>(object(dictionary)->entries.size());
}
void CFDictionaryGetKeysAndValues(CFDictionaryRef dictionary, const void** keys, const void** values) {
    std::size_t index = 0;
    for (const auto& [key, value] : object(dictionary)->entries) {
        keys[index] = key;
        values[index] = value;
        ++index;
    }
}
CFDictionaryRef CFDictionaryCreate(CFAllocatorRef, const void** keys, const void** values, CFIndex numValues,
                                   const CFDictionaryKeyCallBacks*, const CFDictionaryValueCallBacks*) {
    auto* made = make(Kind::Dictionary);
    for (CFIndex i = 0; i < numValues; ++i) {
        made->entries.emplace_back(CFRetain(keys[i]), CFRetain(values[i]));
    }
    return reinterpret_cast<CFDictionaryRef>(made);
}
CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex, const CFDictionaryKeyCallBacks*,
                                                 const CFDictionaryValueCallBacks*) {
    return reinterpret_cast<CFMutableDictionaryRef>(make(Kind::Dictionary));
}
void CFDictionarySetValue(CFMutableDictionaryRef dictionary, const void* key, const void* value) {
    object(dictionary)->entries.emplace_back(CFRetain(key), CFRetain(value));
}

void CFPreferencesSetAppValue(CFStringRef key, CFPropertyListRef value, CFStringRef applicationID) {
    auto& state = fake_sdk::state();
    if (state.preferenceValue != nullptr) {
        CFRelease(state.preferenceValue);
    }
    state.preferenceValue = value != nullptr ? CFRetain(value) : nullptr;
    state.preferenceKey = object(key)->text;
    state.preferenceApplication = object(applicationID)->text;
}
Boolean CFPreferencesAppSynchronize(CFStringRef) {
    ++fake_sdk::state().synchronizations;
    return true;
}

CFArrayRef CGWindowListCopyWindowInfo(CGWindowListOption option, CGWindowID relativeToWindow) {
    auto& state = fake_sdk::state();
    state.windowListOptions = option;
    state.windowListRelativeTo = relativeToWindow;
    return state.windowList != nullptr ? static_cast<CFArrayRef>(CFRetain(state.windowList)) : nullptr;
}
bool CGPreflightScreenCaptureAccess(void) { return fake_sdk::state().screenCaptureGranted; }
bool CGRequestScreenCaptureAccess(void) {
    ++fake_sdk::state().screenCaptureRequests;
    return fake_sdk::state().screenCaptureGranted;
}

Boolean AXIsProcessTrustedWithOptions(CFDictionaryRef options) {
    auto& state = fake_sdk::state();
    bool prompt = false;
    if (options != nullptr) {  // NULL: no options, so no prompt
        for (const auto& [key, value] : object(options)->entries) {
            prompt = prompt || (object(key)->text == "AXTrustedCheckOptionPrompt" && value == kCFBooleanTrue);
        }
    }
    state.trustPrompts.push_back(prompt);
    return state.trusted;
}
Boolean AXIsProcessTrusted(void) { return fake_sdk::state().trusted; }

AXUIElementRef AXUIElementCreateApplication(pid_t pid) { return fake_sdk::window(pid); }
AXError AXUIElementSetMessagingTimeout(AXUIElementRef element, float timeoutInSeconds) {
    if (timeoutInSeconds < 0) {
        return kAXErrorIllegalArgument;
    }
    object(element)->timeout = timeoutInSeconds;
    return kAXErrorSuccess;
}
AXError AXUIElementCopyAttributeValue(AXUIElementRef element, CFStringRef attribute, CFTypeRef* value) {
    auto& state = fake_sdk::state();
    const auto& name = object(attribute)->text;
    if (name == "AXEnhancedUserInterface") {
        state.accessibilityCalls.emplace_back("AXEnhancedUserInterface?");
        *value = CFRetain(state.enhancedUserInterface ? kCFBooleanTrue : kCFBooleanFalse);
        return kAXErrorSuccess;
    }
    const std::pair key{object(element)->pid, name};
    if (const auto error = state.attributeErrors.find(key); error != state.attributeErrors.end()) {
        return error->second;
    }
    const auto answer = state.attributes.find(key);
    if (answer == state.attributes.end()) {
        return kAXErrorAttributeUnsupported;
    }
    *value = answer->second != nullptr ? CFRetain(answer->second) : nullptr;
    return kAXErrorSuccess;
}
AXError AXUIElementSetAttributeValue(AXUIElementRef, CFStringRef attribute, CFTypeRef value) {
    auto& state = fake_sdk::state();
    const auto& name = object(attribute)->text;
    if (name == "AXEnhancedUserInterface") {
        state.enhancedUserInterface = value == kCFBooleanTrue;
        state.accessibilityCalls.push_back(std::string("AXEnhancedUserInterface=") +
                                           (state.enhancedUserInterface ? "on" : "off"));
        return kAXErrorSuccess;
    }
    const auto* set = object(value);
    state.accessibilityCalls.push_back(name + "=" + std::to_string(set->first) + "," + std::to_string(set->second));
    return state.setResult;
}
AXError AXUIElementPerformAction(AXUIElementRef, CFStringRef action) {
    fake_sdk::state().accessibilityCalls.push_back(object(action)->text);
    return kAXErrorSuccess;
}
AXValueRef AXValueCreate(AXValueType type, const void* valuePtr) {
    auto* made = make(Kind::Value);
    made->valueType = type;
    const auto* pair = static_cast<const double*>(valuePtr);  // CGPoint and CGSize: two CGFloat
    made->first = pair[0];
    made->second = pair[1];
    return reinterpret_cast<AXValueRef>(made);
}
Boolean AXValueGetValue(AXValueRef value, AXValueType type, void* valuePtr) {
    const auto* read = object(value);
    if (read->valueType != type) {
        return false;
    }
    auto* pair = static_cast<double*>(valuePtr);
    pair[0] = read->first;
    pair[1] = read->second;
    return true;
}

}  // extern "C"
