#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/plist/plist_document.h"
#include "platform/preferences.h"

namespace tallowin::plist {

// Preferences domains kept as property lists, one file per domain.
// ${XDG_CONFIG_HOME:-$HOME/.config}, where the user's programs keep their
// settings; empty when neither is an absolute path.
std::filesystem::path userConfigFolder();

class PlistPreferences final : public platform::Preferences {
public:
    // The folder under ${XDG_CONFIG_HOME:-$HOME/.config}; empty when neither is known.
    static std::filesystem::path defaultFolder();

    explicit PlistPreferences(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // Null for a name that is no plain file name, or when the folder cannot be made.
    std::unique_ptr<platform::PreferencesDomain> openSuite(std::string_view suiteName) override;

private:
    std::filesystem::path folder_;
};

// One domain file. Changes wait in memory until synchronize, which merges them
// into what the file holds now, under a lock, and replaces the file atomically
// in its own format. A file that cannot be read within the bounds of
// plist_shape.h is kept aside and a new one holds just the changes.
class PlistDomain final : public platform::PreferencesDomain {
public:
    PlistDomain(std::filesystem::path folder, std::string name);
    ~PlistDomain() override;
    PlistDomain(const PlistDomain&) = delete;
    PlistDomain& operator=(const PlistDomain&) = delete;

    void setObject(const platform::IntegerDictionary& value, std::string_view key) override;
    void setInteger(std::int64_t value, std::string_view key) override;
    bool synchronize() override;

    [[nodiscard]] std::filesystem::path file() const { return folder_ / (name_ + ".plist"); }

private:
    std::filesystem::path folder_;
    std::string name_;
    DomainEntries pending_;
};

}  // namespace tallowin::plist
