#include "platform/plist/plist_preferences.h"

#include <cstdlib>
#include <system_error>

#include "platform/plist/file_replacement.h"

namespace tallowin::plist {

namespace {

namespace fs = std::filesystem;

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

}  // namespace

fs::path userConfigFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return fs::path(home) / ".config";
    }
    return {};
}

fs::path PlistPreferences::defaultFolder() {
    const fs::path config = userConfigFolder();
    return config.empty() ? config : config / "tallowin" / "defaults";
}

std::unique_ptr<platform::PreferencesDomain> PlistPreferences::openSuite(std::string_view suiteName) {
    if (folder_.empty() || !isPlainFileName(suiteName)) {
        return nullptr;
    }
    std::error_code error;
    fs::create_directories(folder_, error);
    if (error || !fs::is_directory(folder_, error)) {
        return nullptr;
    }
    return std::make_unique<PlistDomain>(folder_, std::string(suiteName));
}

PlistDomain::PlistDomain(fs::path folder, std::string name) : folder_(std::move(folder)), name_(std::move(name)) {}

PlistDomain::~PlistDomain() {
    if (!pending_.empty()) {
        synchronize();
    }
}

void PlistDomain::setObject(const platform::IntegerDictionary& value, std::string_view key) {
    pending_.insert_or_assign(std::string(key), value);
}

void PlistDomain::setInteger(std::int64_t value, std::string_view key) {
    pending_.insert_or_assign(std::string(key), value);
}

bool PlistDomain::synchronize() {
    if (pending_.empty()) {
        return true;
    }
    const bool replaced = replaceFile(file(), kLargestFileBytes, [this](std::optional<std::string_view> current) {
        if (current) {
            if (std::optional<std::string> merged = mergeEntries(*current, pending_)) {
                return Replacement{std::move(*merged), false};
            }
        }
        return Replacement{newDomain(pending_, PlistFormat::Xml), true};
    });
    if (replaced) {
        pending_.clear();
    }
    return replaced;
}

}  // namespace tallowin::plist
