// The capture rectangle stored through the core's handoff into the Linux
// preferences store, on the real file system: when it cannot be stored the
// user is told, and the old file stays whole.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

void store(const fs::path& folder, std::int64_t top, platform::LineOutput& output) {
    PlistPreferences preferences(folder);
    storeCaptureSelection(preferences, 0, top, 1920, 1080, output);
}

// Each case runs in a child, which may mount or drop privileges, and tells
// on its standard output what was printed, then whether the file still holds
// the old rectangle; "skip" when it cannot set the case up.
TEST(CaptureStoreOnTheFileSystem, AFailedStoreIsToldAndKeepsTheOldFileWhole) {
    const std::string notStored = "Capture selection not stored: the preferences domain com.apple.screencapture ";
    const std::pair<const char*, std::function<bool(const fs::path&)>> cases[] = {
        {"could not be opened.",
         [](const fs::path& folder) {  // XDG_CONFIG_HOME names a file
             std::ofstream(folder / "config") << "a file";
             return true;
         }},
        {"could not be written.",
         [](const fs::path& folder) {  // a read-only folder; root writes anywhere
             ::chmod(folder.c_str(), 0555);
             return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
         }},
        {"could not be written.",
         [](const fs::path& folder) {  // a full disk
             if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                 ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) {
                 return false;
             }
             doubles::RecordingOutput ignored;
             store(folder, 24, ignored);
             std::ofstream filler(folder / "filler", std::ios::binary);
             while (filler << std::string(4096, 'x') << std::flush) {
             }
             return true;
         }},
    };
    for (const auto& [ending, setUp] : cases) {
        char pattern[] = "/tmp/tallowin-store-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        const fs::path folder = pattern;
        ::chmod(pattern, 0755);
        doubles::RecordingOutput output;
        store(folder, 24, output);
        ::chmod((folder / "com.apple.screencapture.plist").c_str(), 0644);
        const std::string old = slurp(folder / "com.apple.screencapture.plist");
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        if (::fork() == 0) {
            std::string said = "skip";
            if (setUp(folder)) {
                const bool file = fs::exists(folder / "config");
                doubles::RecordingOutput lines;
                store(file ? folder / "config" / "tallowin" / "defaults" : folder, 30, lines);
                said = (lines.lines.empty() ? "" : lines.lines.front()) + "|" +
                       (slurp(folder / "com.apple.screencapture.plist") == old ? "old kept" : "changed");
            }
            ::_exit(::write(fds[1], said.data(), said.size()) == static_cast<ssize_t>(said.size()) ? 0 : 1);
        }
        ::close(fds[1]);
        std::string said(256, '\0');
        said.resize(static_cast<std::size_t>(std::max<ssize_t>(0, ::read(fds[0], said.data(), said.size()))));
        ::close(fds[0]);
        ::wait(nullptr);
        if (said != "skip") {
            EXPECT_EQ(said, notStored + ending + "|old kept");
        }
        fs::remove_all(folder);
    }
}

}  // namespace
}  // namespace tallowin::plist
