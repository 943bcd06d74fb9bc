#include "platform/macos/mac_preferences.h"

#include <cstdint>

#include "platform/macos/cf_string.h"

namespace tallowin::macos {

namespace {

CFRef<CFNumberRef> makeNumber(std::int64_t integer) {
    return CFRef<CFNumberRef>::adopt(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &integer));
}

// Nothing when any part cannot be made: a partial dictionary would replace
// the whole stored value with a wrong one.
CFRef<CFMutableDictionaryRef> makeIntegerDictionary(const platform::IntegerDictionary& value) {
    auto dictionary = CFRef<CFMutableDictionaryRef>::adopt(CFDictionaryCreateMutable(
        kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    if (!dictionary) {
        return {};
    }
    for (const auto& [name, integer] : value) {
        const auto key = makeCFString(name);
        const auto cfNumber = makeNumber(integer);
        if (!key || !cfNumber) {
            return {};
        }
        // The dictionary retains both (kCFType callbacks); ours go at scope end.
        CFDictionarySetValue(dictionary.get(), key.get(), cfNumber.get());
    }
    return dictionary;
}

}  // namespace

void MacPreferencesDomain::setObject(const platform::IntegerDictionary& value, std::string_view key) {
    const auto cfKey = makeCFString(key);
    const auto dictionary = makeIntegerDictionary(value);
    if (!cfKey || !dictionary) {
        return;
    }
    // Set rule: the preferences system keeps its own reference or copy.
    CFPreferencesSetAppValue(cfKey.get(), dictionary.get(), applicationID_.get());
}

void MacPreferencesDomain::setInteger(std::int64_t value, std::string_view key) {
    const auto cfKey = makeCFString(key);
    const auto number = makeNumber(value);
    if (!cfKey || !number) {
        return;
    }
    CFPreferencesSetAppValue(cfKey.get(), number.get(), applicationID_.get());
}

bool MacPreferencesDomain::synchronize() { return CFPreferencesAppSynchronize(applicationID_.get()); }

std::unique_ptr<platform::PreferencesDomain> MacPreferences::openSuite(std::string_view suiteName) {
    if (suiteName.empty()) {
        return nullptr;
    }
    auto applicationID = makeCFString(suiteName);
    if (!applicationID) {
        return nullptr;
    }
    return std::make_unique<MacPreferencesDomain>(std::move(applicationID));
}

}  // namespace tallowin::macos
