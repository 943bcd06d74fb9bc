#include "platform/plist/file_replacement.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <system_error>
#include <utility>

namespace tallowin::plist {

namespace {

namespace fs = std::filesystem;

class UniqueFd {
public:
    explicit UniqueFd(int descriptor) : descriptor_(descriptor) {}
    ~UniqueFd() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    [[nodiscard]] int get() const { return descriptor_; }
    [[nodiscard]] bool valid() const { return descriptor_ >= 0; }
    // Reports whether the close succeeded: it can report a lost write.
    bool close() { return ::close(std::exchange(descriptor_, -1)) == 0; }

private:
    int descriptor_;
};

// Relative links are read from the link's own folder; a loop gives nothing.
std::optional<fs::path> followLinks(fs::path path) {
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(path, error);
        if (!fs::is_symlink(status)) {
            return path;
        }
        const fs::path next = fs::read_symlink(path, error);
        if (error) {
            return std::nullopt;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return std::nullopt;
}

enum class ReadOutcome { Missing, Read, TooLarge, Failed };

// Never blocks on a pipe or device put in the file's place: those fail.
ReadOutcome readFile(const fs::path& path, std::size_t largestBytes, std::string& contents,
                     std::optional<struct stat>& facts) {
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.valid()) {
        return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return ReadOutcome::Failed;
    }
    facts = status;
    if (static_cast<std::uintmax_t>(status.st_size) > largestBytes) {
        return ReadOutcome::TooLarge;
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
        if (contents.size() > largestBytes) {  // grew since fstat
            return ReadOutcome::TooLarge;
        }
    }
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
        if (fs::symlink_status(aside, error).type() != fs::file_type::not_found) {
            continue;
        }
        return ::rename(file.c_str(), aside.c_str()) == 0;
    }
    return false;
}

bool writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The new file starts private (mkostemp) and only then opens up to the old
// file's permissions; a new domain stays private.
bool keepAccess(int descriptor, const std::optional<struct stat>& facts) {
    if (!facts) {
        return true;
    }
    if ((facts->st_uid != ::geteuid() || facts->st_gid != ::getegid()) &&
        ::fchown(descriptor, facts->st_uid, facts->st_gid) != 0) {
        // Only the owner's own group can be kept without privilege; the file still gets written.
        static_cast<void>(::fchown(descriptor, static_cast<uid_t>(-1), facts->st_gid));
    }
    return ::fchmod(descriptor, facts->st_mode & 0777) == 0;
}

// ".name.suffix" beside the file. Built by appending: GCC 12 at -O3 takes
// '"." + std::string' for an overlapping memcpy (-Wrestrict, a false positive).
fs::path hiddenSibling(const fs::path& file, std::string_view suffix) {
    std::string name(".");
    name += file.filename().native();
    name += suffix;
    return file.parent_path() / name;
}

bool replaceAtomically(const fs::path& file, std::string_view bytes, const std::optional<struct stat>& facts) {
    std::string pattern = hiddenSibling(file, ".XXXXXX").native();
    UniqueFd temporary(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!temporary.valid()) {
        return false;
    }
    const bool written = writeAll(temporary.get(), bytes) && keepAccess(temporary.get(), facts) &&
                         ::fsync(temporary.get()) == 0 && temporary.close();
    if (!written || ::rename(pattern.c_str(), file.c_str()) != 0) {
        ::unlink(pattern.c_str());
        return false;
    }
    // The rename itself lives in the folder; make it durable too.
    const UniqueFd folder(::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) {
        ::fsync(folder.get());
    }
    return true;
}

}  // namespace

bool replaceFile(const fs::path& path, std::size_t largestBytes, const Rewrite& rewrite) {
    const std::optional<fs::path> target = followLinks(path);
    if (!target) {
        return false;
    }
    const fs::path lockPath = hiddenSibling(*target, ".lock");
    const UniqueFd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock.valid()) {
        return false;
    }
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }

    std::string contents;
    std::optional<struct stat> facts;
    const ReadOutcome read = readFile(*target, largestBytes, contents, facts);
    if (read == ReadOutcome::Failed) {
        return false;
    }
    const Replacement next =
        rewrite(read == ReadOutcome::TooLarge ? std::nullopt : std::optional<std::string_view>(contents));
    if (next.bytes.empty() || (next.setAside && read != ReadOutcome::Missing && !moveAside(*target))) {
        return false;
    }
    return replaceAtomically(*target, next.bytes, facts);
}

}  // namespace tallowin::plist
