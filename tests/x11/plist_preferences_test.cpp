#include <gtest/gtest.h>
#include <plist/plist.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/x11/plist_preferences.h"

namespace tallowin::x11 {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class PlistPreferencesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tallowin-prefs-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = fs::path(pattern) / "tallowin" / "defaults";
    }
    void TearDown() override { fs::remove_all(folder.parent_path().parent_path()); }

    void write(const std::string& key, std::int64_t y) {
        PlistPreferences preferences(folder);
        auto domain = preferences.openSuite("com.apple.screencapture");
        ASSERT_NE(domain, nullptr);
        domain->setObject({{"X", 0}, {"Y", y}, {"Width", 1920}, {"Height", 1080}}, key);
        EXPECT_TRUE(domain->synchronize());
    }
    fs::path file() const { return folder / "com.apple.screencapture.plist"; }

    fs::path folder;
};

TEST_F(PlistPreferencesTest, WritesTheSelectionAsAnXmlPropertyList) {
    write("last-selection", -24);
    const std::string xml = slurp(file());
    EXPECT_NE(xml.find("<key>last-selection</key>"), std::string::npos);
    EXPECT_NE(xml.find("<key>Y</key>\n\t\t<integer>-24</integer>"), std::string::npos);
}

TEST_F(PlistPreferencesTest, KeepsOtherKeysAndReplacesTheWholeValue) {
    write("other", 7);
    write("last-selection", 30);
    write("last-selection", 24);
    const std::string xml = slurp(file());
    EXPECT_NE(xml.find("<key>other</key>"), std::string::npos);
    EXPECT_EQ(xml.find("<integer>30</integer>"), std::string::npos);
    EXPECT_NE(xml.find("<integer>24</integer>"), std::string::npos);
}

TEST_F(PlistPreferencesTest, ReplacesAtomicallyLeavingNoTemporaryFile) {
    write("last-selection", 24);
    const auto inode = fs::status(file()).type();
    write("last-selection", 25);
    EXPECT_EQ(inode, fs::file_type::regular);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{".com.apple.screencapture.plist.lock", "com.apple.screencapture.plist"}));
}

TEST_F(PlistPreferencesTest, ConcurrentWritersNeverLoseEachOthersKeys) {
    fs::create_directories(folder);
    constexpr int kWriters = 8;
    std::vector<pid_t> children;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (int round = 0; round < 10; ++round) {
                PlistPreferences preferences(folder);
                auto domain = preferences.openSuite("com.apple.screencapture");
                domain->setObject({{"Round", round}}, "writer-" + std::to_string(writer));
                if (!domain->synchronize()) {
                    ::_exit(1);
                }
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    const std::string xml = slurp(file());
    for (int writer = 0; writer < kWriters; ++writer) {
        EXPECT_NE(xml.find("<key>writer-" + std::to_string(writer) + "</key>"), std::string::npos) << writer;
    }
}

TEST_F(PlistPreferencesTest, AnUnparsableFileIsKeptAsideNotDestroyed) {
    fs::create_directories(folder);
    for (const std::string garbage : {"not a plist <", "<plist><array/></plist>"}) {
        SCOPED_TRACE(garbage);
        std::ofstream(file()) << garbage;
        write("last-selection", 24);
        int kept = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().filename().string().starts_with("com.apple.screencapture.plist.unreadable-") &&
                slurp(entry.path()) == garbage) {
                ++kept;
            }
        }
        EXPECT_EQ(kept, 1);
        EXPECT_NE(slurp(file()).find("last-selection"), std::string::npos);
    }
}

TEST_F(PlistPreferencesTest, RefusesSuiteNamesThatAreNoPlainFileName) {
    PlistPreferences preferences(folder);
    for (const std::string& name :
         std::vector<std::string>{"", ".", "..", "../escape", "a/b", std::string("a\0b", 3)}) {
        EXPECT_EQ(preferences.openSuite(name), nullptr) << name;
    }
    EXPECT_EQ(PlistPreferences(fs::path{}).openSuite("com.apple.screencapture"), nullptr);
}

TEST(PlistPreferencesFolder, FollowsXdgConfigHomeElseHome) {
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(PlistPreferences::defaultFolder(), fs::path("/tmp/xdg/tallowin/defaults"));
    ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    ::setenv("HOME", "/tmp/home", 1);
    EXPECT_EQ(PlistPreferences::defaultFolder(), fs::path("/tmp/home/.config/tallowin/defaults"));
}

}  // namespace
}  // namespace tallowin::x11
