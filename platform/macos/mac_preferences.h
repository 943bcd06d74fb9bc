#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/macos/cf_ref.h"
#include "platform/preferences.h"

namespace tallowin::macos {

// One application domain, written through CFPreferences.
class MacPreferencesDomain final : public platform::PreferencesDomain {
public:
    explicit MacPreferencesDomain(CFRef<CFStringRef> applicationID) : applicationID_(std::move(applicationID)) {}

    void setObject(const platform::IntegerDictionary& value, std::string_view key) override;
    void setInteger(std::int64_t value, std::string_view key) override;
    bool synchronize() override;

private:
    CFRef<CFStringRef> applicationID_;
};

class MacPreferences final : public platform::Preferences {
public:
    std::unique_ptr<platform::PreferencesDomain> openSuite(std::string_view suiteName) override;
};

}  // namespace tallowin::macos
