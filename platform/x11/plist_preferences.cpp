#include "platform/x11/plist_preferences.h"

#include <fcntl.h>
#include <plist/plist.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <system_error>

#include "platform/x11/unique_fd.h"

namespace tallowin::x11 {

namespace {

namespace fs = std::filesystem;

struct PlistDeleter {
    void operator()(void* node) const { plist_free(node); }
};
using PlistNode = std::unique_ptr<void, PlistDeleter>;

struct XmlDeleter {
    void operator()(char* xml) const { plist_to_xml_free(xml); }
};

// Larger files are not preferences; they are kept aside like unreadable ones.
constexpr std::size_t kLargestFileBytes = 16U << 20;

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

enum class ReadOutcome { Missing, Read, Unreadable, Failed };

ReadOutcome readAll(const fs::path& path, std::string& contents) {
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) {
        return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return ReadOutcome::Failed;
        }
        if (count == 0) {
            return ReadOutcome::Read;
        }
        contents.append(buffer, static_cast<std::size_t>(count));
        if (contents.size() > kLargestFileBytes) {
            return ReadOutcome::Unreadable;
        }
    }
}

// The dictionary the file holds; an empty one for an empty or missing file;
// nothing when the file holds something else.
std::optional<PlistNode> parseDictionary(const std::string& contents) {
    if (contents.empty()) {
        return PlistNode(plist_new_dict());
    }
    plist_t parsed = nullptr;
    plist_from_memory(contents.data(), static_cast<std::uint32_t>(contents.size()), &parsed);
    PlistNode node(parsed);
    if (!node || plist_get_node_type(node.get()) != PLIST_DICT) {
        return std::nullopt;
    }
    return node;
}

// A name beside the file that nothing has yet; the caller holds the lock.
bool moveAside(const fs::path& file) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &local);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        fs::path aside = file;
        aside += ".unreadable-";
        aside += stamp;
        if (attempt != 0) {
            aside += '-';
            aside += std::to_string(attempt);
        }
        std::error_code error;
        if (fs::exists(aside, error) || error) {
            continue;
        }
        return ::rename(file.c_str(), aside.c_str()) == 0;
    }
    return false;
}

bool writeAll(int descriptor, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool replaceAtomically(const fs::path& file, const char* data, std::size_t size) {
    std::string hidden = ".";
    hidden += file.filename().string();
    hidden += ".XXXXXX";
    std::string pattern = (file.parent_path() / hidden).string();
    UniqueFd temporary(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!temporary.valid()) {
        return false;
    }
    const bool written = writeAll(temporary.get(), data, size) && ::fsync(temporary.get()) == 0 && temporary.close();
    if (!written || ::rename(pattern.c_str(), file.c_str()) != 0) {
        ::unlink(pattern.c_str());
        return false;
    }
    // The rename itself lives in the folder; make it durable too.
    UniqueFd folder(::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) {
        ::fsync(folder.get());
    }
    return true;
}

PlistNode dictionaryOf(const platform::IntegerDictionary& value) {
    PlistNode dictionary(plist_new_dict());
    for (const auto& [key, number] : value) {
        // libplist 2.2 keeps integers unsigned; the XML writer prints them signed.
        plist_dict_set_item(dictionary.get(), key.c_str(), plist_new_uint(static_cast<std::uint64_t>(number)));
    }
    return dictionary;
}

}  // namespace

fs::path PlistPreferences::defaultFolder() {
    fs::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        config = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        config = fs::path(home) / ".config";
    } else {
        return {};
    }
    return config / "tallowin" / "defaults";
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

bool PlistDomain::synchronize() {
    if (pending_.empty()) {
        return true;
    }
    const fs::path target = file();
    std::string lockName = ".";
    lockName += name_;
    lockName += ".plist.lock";
    fs::path lockPath = folder_ / lockName;
    UniqueFd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock.valid()) {
        return false;
    }
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }

    std::string contents;
    const ReadOutcome read = readAll(target, contents);
    if (read == ReadOutcome::Failed) {
        return false;
    }
    std::optional<PlistNode> root;
    if (read == ReadOutcome::Read) {
        root = parseDictionary(contents);
    }
    if (read == ReadOutcome::Missing) {
        root = PlistNode(plist_new_dict());
    }
    if (!root) {
        if (!moveAside(target)) {
            return false;
        }
        root = PlistNode(plist_new_dict());
    }
    for (const auto& [key, value] : pending_) {
        plist_dict_set_item(root->get(), key.c_str(), dictionaryOf(value).release());
    }

    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root->get(), &xml, &length);
    const std::unique_ptr<char, XmlDeleter> ownedXml(xml);
    if (!ownedXml || !replaceAtomically(target, ownedXml.get(), length)) {
        return false;
    }
    pending_.clear();
    return true;
}

}  // namespace tallowin::x11
