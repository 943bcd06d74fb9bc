#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tallowin::platform {

// A dictionary of texts to integers, in the order it was built.
using IntegerDictionary = std::vector<std::pair<std::string, std::int64_t>>;

// One preferences domain (suite) opened for writing.
class PreferencesDomain {
public:
    virtual ~PreferencesDomain() = default;

    // Replaces the whole value under key; other keys stay as they are.
    virtual void setObject(const IntegerDictionary& value, std::string_view key) = 0;
    // Replaces the value under key with one integer; other keys stay as they are.
    virtual void setInteger(std::int64_t value, std::string_view key) = 0;
    // Writes pending changes to persistent storage.
    virtual bool synchronize() = 0;
};

class Preferences {
public:
    virtual ~Preferences() = default;

    // Null when the domain cannot be opened.
    virtual std::unique_ptr<PreferencesDomain> openSuite(std::string_view suiteName) = 0;
};

}  // namespace tallowin::platform
