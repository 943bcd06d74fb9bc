#include "platform/plist/plist_preferences.h"

#include <gtest/gtest.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace tallowin::plist {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void spill(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

struct NodeDeleter {
    void operator()(void* node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

Node readBack(const fs::path& path) {
    const std::string bytes = slurp(path);
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
    return Node(root);
}

std::int64_t integerAt(plist_t root, const char* key, const char* name) {
    std::uint64_t value = 0;
    plist_get_uint_val(plist_dict_get_item(plist_dict_get_item(root, key), name), &value);
    return static_cast<std::int64_t>(value);
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// {"other": {"A": 1}, "last-selection": {"Y": 30}} as libplist writes it.
std::string existingDomain(bool binary) {
    const Node root(plist_new_dict());
    for (const auto& [key, name, value] : {std::tuple{"other", "A", 1U}, std::tuple{"last-selection", "Y", 30U}}) {
        Node entry(plist_new_dict());
        plist_dict_set_item(entry.get(), name, plist_new_uint(value));
        plist_dict_set_item(root.get(), key, entry.release());
    }
    char* raw = nullptr;
    std::uint32_t length = 0;
    (binary ? plist_to_bin : plist_to_xml)(root.get(), &raw, &length);
    std::string bytes(raw, length);
    (binary ? plist_to_bin_free : plist_to_xml_free)(raw);
    return bytes;
}

std::string nestedXml(int levels) {
    std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>deep</key>";
    for (int level = 0; level < levels; ++level) {
        xml += "<array>";
    }
    for (int level = 0; level < levels; ++level) {
        xml += "</array>";
    }
    return xml + "</dict></plist>";
}

// {key: levels nested arrays, each holding `fanout` references to the next one}.
std::string nestedBinary(std::uint32_t levels, std::uint32_t fanout, const std::string& key = "deep") {
    std::string bytes = "bplist00";
    const auto put = [&bytes](std::uint64_t value, int width) {
        for (int shift = 8 * (width - 1); shift >= 0; shift -= 8) {
            bytes += static_cast<char>((value >> shift) & 0xFFU);
        }
    };
    std::vector<std::size_t> offsets{bytes.size()};
    bytes += '\xD1';
    put(1, 4);
    put(2, 4);
    offsets.push_back(bytes.size());
    bytes += static_cast<char>(0x50U | key.size());
    bytes += key;
    for (std::uint32_t level = 0; level <= levels; ++level) {
        offsets.push_back(bytes.size());
        const std::uint32_t refs = level < levels ? fanout : 0;
        bytes += static_cast<char>(0xA0U | refs);
        for (std::uint32_t ref = 0; ref < refs; ++ref) {
            put(level + 3, 4);
        }
    }
    const std::size_t table = bytes.size();
    for (const std::size_t offset : offsets) {
        put(offset, 4);
    }
    bytes.append(6, '\0');
    put(4, 1);
    put(4, 1);
    put(offsets.size(), 8);
    put(0, 8);
    put(table, 8);
    return bytes;
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
        PlistPreferences preferences(folder);
        auto domain = preferences.openSuite("com.apple.screencapture");
        ASSERT_NE(domain, nullptr);
        domain->setObject({{"X", 0}, {"Y", y}, {"Width", 1920}, {"Height", 1080}}, key);
        EXPECT_TRUE(domain->synchronize());
    }
    fs::path file() const { return folder / "com.apple.screencapture.plist"; }

    fs::path root;
    fs::path folder;
};

TEST_F(PlistPreferencesTest, WritesXmlReplacingOnlyTheGivenKeyAtomically) {
    write("other", 7);
    write("last-selection", 30);
    write("last-selection", -24);
    const std::string xml = slurp(file());
    EXPECT_TRUE(xml.starts_with("<?xml"));
    EXPECT_NE(xml.find("<key>other</key>"), std::string::npos);
    EXPECT_NE(xml.find("<key>Y</key>\n\t\t<integer>-24</integer>"), std::string::npos);
    EXPECT_EQ(xml.find("<integer>30</integer>"), std::string::npos);
    EXPECT_EQ(namesIn(folder),
              (std::vector<std::string>{".com.apple.screencapture.plist.lock", "com.apple.screencapture.plist"}));
    EXPECT_EQ(fs::status(file()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(PlistPreferencesTest, ConcurrentWritersNeverLoseEachOthersKeys) {
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
        {"binary 64 deep", nestedBinary(62, 1), false},
        {"binary 65 deep", nestedBinary(63, 1), true},
        {"binary 50,000 deep", nestedBinary(50'000, 1), true},
        {"binary sharing its way to 4^10 values", nestedBinary(10, 4), true},
        {"binary that libplist would write back unreadable", nestedBinary(1, 1, "\x9E\x9E"), true},
        {"over 1 MiB", "<plist><dict><key>big</key><string>" + std::string(1U << 20U, 'a') + "</string></dict></plist>",
         true},
    };
    for (const auto& [name, bytes, keptAside] : cases) {
        SCOPED_TRACE(name);
        fs::remove_all(folder);
        fs::create_directories(folder);
        spill(file(), bytes);
        write("last-selection", 24);
        const std::string aside = "com.apple.screencapture.plist.unreadable-";
        int kept = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            kept += entry.path().filename().string().starts_with(aside) && slurp(entry.path()) == bytes ? 1 : 0;
        }
        EXPECT_EQ(kept, keptAside ? 1 : 0);
        const Node written = readBack(file());
        ASSERT_NE(written, nullptr);
        EXPECT_EQ(integerAt(written.get(), "last-selection", "Y"), 24);
        EXPECT_EQ(plist_dict_get_size(written.get()), keptAside ? 1U : 2U);
        if (keptAside) {
            EXPECT_LE(fs::file_size(file()), 512U);
        }
    }
}

TEST_F(PlistPreferencesTest, KeepsTheFormatPermissionsAndLinksOfTheUsersFile) {
    enum class Reached { Plainly, ThroughALink, ThroughTwoLinks };
    const struct {
        const char* name;
        bool binary;
        fs::perms mode;
        Reached reached;
    } cases[] = {
        {"XML, 0644", false, fs::perms(0644), Reached::Plainly},
        {"binary, 0600", true, fs::perms(0600), Reached::Plainly},
        {"binary, 0640, relative link", true, fs::perms(0640), Reached::ThroughALink},
        {"XML, 0644, link to a link", false, fs::perms(0644), Reached::ThroughTwoLinks},
    };
    for (const auto& [name, binary, mode, reached] : cases) {
        SCOPED_TRACE(name);
        fs::remove_all(folder);
        fs::remove_all(root / "elsewhere");
        fs::create_directories(folder);
        fs::create_directories(root / "elsewhere");
        const fs::path target = reached == Reached::Plainly ? file() : root / "elsewhere" / "prefs.plist";
        if (reached == Reached::ThroughALink) {
            fs::create_symlink("../../elsewhere/prefs.plist", file());
        } else if (reached == Reached::ThroughTwoLinks) {
            fs::create_symlink("hop.plist", file());
            fs::create_symlink(target, folder / "hop.plist");
        }
        spill(target, existingDomain(binary));
        fs::permissions(target, mode);
        write("last-selection", 24);

        EXPECT_EQ(fs::is_symlink(file()), reached != Reached::Plainly);
        EXPECT_EQ(slurp(target).starts_with("bplist00"), binary);
        EXPECT_EQ(fs::status(target).permissions(), mode);
        const Node written = readBack(target);
        ASSERT_NE(written, nullptr);
        EXPECT_EQ(integerAt(written.get(), "other", "A"), 1);
        EXPECT_EQ(integerAt(written.get(), "last-selection", "Y"), 24);
        const std::string targetName = target.filename().string();
        EXPECT_EQ(namesIn(target.parent_path()), (std::vector<std::string>{"." + targetName + ".lock", targetName}));
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
}  // namespace tallowin::plist
