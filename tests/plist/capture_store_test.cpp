// The capture rectangle stored through the core's handoff into the Linux
// preferences store, on the real file system: when it cannot be stored the
// user is told, and the file holds the old rectangle, whole.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <iterator>

#include "placement/capture_handoff.h"
#include "platform/plist/plist_preferences.h"
#include "tests/doubles/doubles.h"

namespace tallowin::plist {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// What the handoff printed, then the file's bytes, separated by a NUL;
// "skip" when the child could not set the case up.
std::string inChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return "pipe failed";
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string result = body();
        const auto written = ::write(fds[1], result.data(), result.size());
        ::_exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    ::close(fds[1]);
    std::string result;
    char buffer[4096];
    for (ssize_t n = 0; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return result;
}

std::string store(const fs::path& folder) {
    PlistPreferences preferences(folder);
    doubles::RecordingOutput output;
    storeCaptureSelection(preferences, 0, 30, 1280, 720, output);
    std::string lines;
    for (const auto& line : output.lines) lines += line + "\n";
    return lines + '\0' + slurp(folder / "com.apple.screencapture.plist");
}

void writeOld(const fs::path& folder) {
    const auto domain = PlistPreferences(folder).openSuite("com.apple.screencapture");
    domain->setObject({{"X", 0}, {"Y", 24}, {"Width", 1920}, {"Height", 1080}}, "last-selection");
    domain->synchronize();
}

TEST(CaptureStoreOnTheFileSystem, AFailedStoreIsToldAndKeepsTheOldFileWhole) {
    char pattern[] = "/tmp/tallowin-store-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    ::chmod(pattern, 0755);  // reachable by the unprivileged child below
    const std::string notOpened =
        "Capture selection not stored: the preferences domain com.apple.screencapture could not be opened.\n";
    const std::string notWritten =
        "Capture selection not stored: the preferences domain com.apple.screencapture could not be written.\n";
    const struct {
        const char* what;
        std::function<std::string(const fs::path&)> run;  // given the case's folder
        std::string lines;
        bool keepsOld;
    } cases[] = {
        {"writable", [](const fs::path& folder) { return store(folder); }, "", false},
        {"XDG_CONFIG_HOME names a file",
         [](const fs::path& folder) {
             std::ofstream(folder.parent_path() / "config") << "a file";
             return store(folder.parent_path() / "config" / "tallowin" / "defaults");
         },
         notOpened, true},
        {"read-only folder",
         [](const fs::path& folder) {
             ::chmod((folder / "com.apple.screencapture.plist").c_str(), 0644);
             ::chmod(folder.c_str(), 0555);
             // root writes anywhere: the store runs as nobody
             if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
                 return std::string("skip");
             }
             return store(folder);
         },
         notWritten, true},
        {"full disk",
         [](const fs::path& folder) {
             if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                 ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) {
                 return std::string("skip");
             }
             writeOld(folder);
             std::ofstream filler(folder / "filler", std::ios::binary);
             const std::string block(4096, 'x');
             while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
             }
             return store(folder);
         },
         notWritten, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path folder = root / c.what / "defaults";
        fs::create_directories(folder);
        writeOld(folder);
        const std::string old = slurp(folder / "com.apple.screencapture.plist");
        const std::string result = inChild([&] { return c.run(folder); });
        if (result == "skip") {
            std::printf("[ SKIPPED  ] %s: cannot be set up here\n", c.what);
            continue;
        }
        const auto split = result.find('\0');
        ASSERT_NE(split, std::string::npos) << result;
        EXPECT_EQ(result.substr(0, split), c.lines);
        const std::string stored = result.substr(split + 1);
        if (c.keepsOld) {
            EXPECT_EQ(stored, c.what == std::string("XDG_CONFIG_HOME names a file") ? "" : old);
            EXPECT_EQ(slurp(folder / "com.apple.screencapture.plist"), old);
        } else {
            EXPECT_NE(stored.find("<integer>1280</integer>"), std::string::npos) << stored;
        }
    }
    fs::remove_all(root);
}

}  // namespace
}  // namespace tallowin::plist
