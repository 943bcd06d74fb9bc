#include "platform/plist/plist_preferences.h"

#include <gtest/gtest.h>
#include <plist/plist.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "placement/capture_handoff.h"
#include "tests/doubles/doubles.h"

namespace tallowin::plist {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// What libplist reads from a file, as XML without layout from the outer <dict> on; empty when unreadable.
std::string contents(const fs::path& path) {
    const std::string bytes = slurp(path);
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    std::string text(xml, length);
    plist_to_xml_free(xml);
    plist_free(root);
    std::erase_if(text, [](char c) { return c == '\n' || c == '\t'; });
    return text.substr(std::min(text.find("<dict>"), text.size()));
}

// Nothing but the file and its lock: no temporary left behind.
void expectAlone(const fs::path& file) {
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 2);
    EXPECT_TRUE(fs::exists(file.parent_path() / ("." + file.filename().string() + ".lock")));
}

std::string times(int count, const std::string& text) {
    std::string repeated;
    while (count-- > 0) repeated += text;
    return repeated;
}

// A binary domain past 64 KiB, where libplist writes offsets 3 bytes wide.
std::string largeBinary() {
    DomainEntries entries;
    for (int i = 0; i < 4000; ++i) {
        entries["key-" + std::to_string(i)] = platform::IntegerDictionary{{"A", i}};
    }
    return newDomain(entries, PlistFormat::Binary);
}

std::string nestedXml(int levels, int trues = 0) {
    return "<plist><dict><key>t</key><true/><key>deep</key>" + times(levels, "<array>") + times(trues, "<true/>") +
           times(levels, "</array>") + "</dict></plist>";
}

// {key: `levels` nested arrays, each but the innermost holding `fanout`
// references to the next; the innermost empty or, given one, a text. Made by
// hand: libplist shares no arrays, and writes offsets 3 bytes wide past 64 KiB.
std::string binary(const std::string& key, int levels, int fanout, const std::string& text = "") {
    std::string objects = "\xD1\x01\x02" + std::string(1, static_cast<char>(0x50U | key.size())) + key;
    std::string offsets = {8, 11};
    for (int level = 0; level < levels; ++level) {
        offsets += static_cast<char>(8 + objects.size());
        const int refs = level + 1 < levels ? fanout : 0;
        if (refs == 0 && !text.empty()) {
            objects +=
                "\x5F\x11" + std::string{static_cast<char>(text.size() >> 8U), static_cast<char>(text.size())} + text;
        } else {
            objects += static_cast<char>(0xA0 | refs);
            objects.append(static_cast<std::size_t>(refs), static_cast<char>(level + 3));
        }
    }
    std::string trailer(32, '\0');
    trailer[6] = trailer[7] = 1;  // offsets and references one byte wide
    trailer[15] = static_cast<char>(offsets.size());
    trailer[30] = static_cast<char>((8 + objects.size()) >> 8U);
    trailer[31] = static_cast<char>(8 + objects.size());
    return "bplist00" + objects + offsets + trailer;
}

class PlistPreferencesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tallowin-prefs-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        folder = root / "tallowin" / "defaults";
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(root); }

    void write(const std::string& key, std::int64_t y) {
        const auto domain = PlistPreferences(folder).openSuite("com.apple.screencapture");
        domain->setObject({{"Y", y}}, key);
        domain->setInteger(0, "last-selection-display");
        EXPECT_TRUE(domain->synchronize());
    }
    fs::path file() const { return folder / "com.apple.screencapture.plist"; }

    fs::path root;
    fs::path folder;
};

// The first makes a private XML file; none loses another's key.
TEST_F(PlistPreferencesTest, ConcurrentWritersNeverLoseEachOthersKeys) {
    std::vector<std::jthread> writers;
    for (int writer = 0; writer < 8; ++writer) {
        writers.emplace_back([this, writer] {
            for (int round = 0; round < 10; ++round) {
                write("writer-" + std::to_string(writer), round);
            }
        });
    }
    writers.clear();
    EXPECT_TRUE(slurp(file()).starts_with("<?xml"));
    for (int writer = 0; writer < 8; ++writer) {
        EXPECT_NE(contents(file()).find("<key>writer-" + std::to_string(writer) + "</key>"), std::string::npos);
    }
    EXPECT_EQ(fs::status(file()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    expectAlone(file());
}

// Nesting counts the outermost element or object as 1, <plist> included.
TEST_F(PlistPreferencesTest, FilesBeyondTheBoundsAreKeptAsideAndNeverGrown) {
    const struct {
        const char* name;
        std::string bytes;
        bool keptAside;
    } cases[] = {
        {"no property list", "not a plist <", true},
        {"no dictionary", "<plist><array/></plist>", true},
        {"values after the outermost one", "<dict/><key>k</key><true/>", true},
        {"XML 64 deep", nestedXml(62), false},
        {"XML 65 deep", nestedXml(63), true},
        {"XML 50,000 deep", nestedXml(50'000), true},
        {"XML of 2^16 and 6 values", nestedXml(1, 65'536), true},
        {"binary 64 deep", binary("deep", 63, 1), false},
        {"binary past 64 KiB", largeBinary(), false},
        {"binary 65 deep", binary("deep", 64, 1), true},
        {"binary sharing its way to 4^8 values", binary("deep", 9, 4), true},
        {"binary sharing 4 KiB of text 512 times", binary("deep", 10, 2, std::string(4096, 'x')), true},
        {"binary of a key libplist would write back unreadable", binary("\x9E\x9E", 1, 0), true},
        {"over 1 MiB", "<plist><dict><key>big</key><string>" + std::string(1U << 20U, 'a') + "</string></dict></plist>",
         true},
    };
    const std::string entry =
        "<key>last-selection</key><dict><key>Y</key><integer>24</integer></dict>"
        "<key>last-selection-display</key><integer>0</integer></dict></plist>";
    int keptSoFar = 0;
    for (const auto& [name, bytes, keptAside] : cases) {
        SCOPED_TRACE(name);
        std::ofstream(file(), std::ios::binary) << bytes;
        write("last-selection", 24);
        int asides = 0, kept = 0;
        for (const auto& aside : fs::directory_iterator(folder)) {
            if (aside.path().filename().string().starts_with("com.apple.screencapture.plist.unreadable-")) {
                ++asides;
                kept += slurp(aside.path()) == bytes ? 1 : 0;
            }
        }
        keptSoFar += keptAside ? 1 : 0;
        EXPECT_EQ(asides, keptSoFar);
        EXPECT_EQ(kept, keptAside ? 1 : 0);
        const std::string written = contents(file());
        EXPECT_TRUE(written.ends_with(entry)) << written.substr(0, 200);
        EXPECT_EQ(written == "<dict>" + entry, keptAside);
    }
    // libplist would write that one back unshared, with offsets 3 bytes wide
    // that the scan refuses, so it would be kept aside without its own bound.
    EXPECT_FALSE(measurePlist(binary("deep", 9, 4)));
}

TEST_F(PlistPreferencesTest, KeepsTheFormatPermissionsAndLinksOfTheUsersFileAndReplacesItWhole) {
    for (const int links : {0, 1, 2}) {
        for (const bool binary : {false, true}) {
            SCOPED_TRACE(std::to_string(links) + (binary ? " links, binary" : " links, XML"));
            const fs::perms mode = binary ? fs::perms(0640) : fs::perms(0604);
            fs::remove_all(root);
            fs::create_directories(folder);
            fs::create_directories(root / "elsewhere");
            const fs::path target = links == 0 ? file() : root / "elsewhere" / "prefs.plist";
            if (links == 1) {
                fs::create_symlink("../../elsewhere/prefs.plist", file());
            } else if (links == 2) {
                fs::create_symlink("hop.plist", file());
                fs::create_symlink(target, folder / "hop.plist");
            }
            std::ofstream(target, std::ios::binary)
                << newDomain({{"other", platform::IntegerDictionary{{"A", 1}}},
                              {"last-selection", platform::IntegerDictionary{{"Z", 30}}},
                              {"last-selection-display", std::int64_t{2}}},
                             binary ? PlistFormat::Binary : PlistFormat::Xml);
            fs::permissions(target, mode);
            const std::string before = slurp(target);
            std::ifstream reader(target, std::ios::binary);  // still reads the old file whole
            write("last-selection", -24);

            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), before);
            EXPECT_EQ(fs::is_symlink(file()), links != 0);
            EXPECT_EQ(slurp(target).starts_with("bplist00"), binary);
            EXPECT_EQ(fs::status(target).permissions(), mode);
            EXPECT_EQ(contents(target),
                      "<dict><key>last-selection</key><dict><key>Y</key><integer>-24</integer></dict>"
                      "<key>last-selection-display</key><integer>0</integer>"
                      "<key>other</key><dict><key>A</key><integer>1</integer></dict></dict></plist>");
            expectAlone(target);
        }
    }
}

// Its folder follows XDG_CONFIG_HOME, else HOME; a suite name is a plain file name.
TEST_F(PlistPreferencesTest, NamesItsFolderAndFilesPlainly) {
    for (const std::string& name :
         std::vector<std::string>{"", ".", "..", "../escape", "a/b", std::string("a\0b", 3)}) {
        EXPECT_EQ(PlistPreferences(folder).openSuite(name), nullptr) << name;
    }
    EXPECT_EQ(PlistPreferences(fs::path{}).openSuite("com.apple.screencapture"), nullptr);

    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(PlistPreferences::defaultFolder(), fs::path("/tmp/xdg/tallowin/defaults"));
    ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    ::setenv("HOME", "/tmp/home", 1);
    EXPECT_EQ(PlistPreferences::defaultFolder(), fs::path("/tmp/home/.config/tallowin/defaults"));
}

// The capture rectangle stored through the core's handoff, on the real file
// system: when it cannot be stored the user is told, and the old file stays
// whole.
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
