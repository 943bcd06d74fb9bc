#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discovery/title_order.h"
#include "discovery/window_snapshot.h"
#include "tests/doubles/window_entries.h"

namespace tallowin {
namespace {

using doubles::WindowEntry;

// Entries titled exactly by their owner name, numbered in list order.
std::vector<std::uint32_t> orderOf(const std::vector<std::string>& owners) {
    platform::WindowList snapshot;
    std::int64_t number = 1;
    for (const auto& owner : owners) {
        WindowEntry entry;
        entry.number = number++;
        entry.name.reset();
        entry.owner = owner;
        snapshot.push_back(doubles::windowEntry(entry));
    }
    std::vector<std::uint32_t> order;
    for (const auto& window : visibleWindowsFrom(snapshot)) {
        order.push_back(window.windowID);
    }
    return order;
}

TEST(TitleOrder, CaseInsensitiveAscending) {
    EXPECT_EQ(orderOf({"beta", "Alpha", "gamma"}), (std::vector<std::uint32_t>{2, 1, 3}));
}

TEST(TitleOrder, EqualLowercasedTitlesKeepListOrder) {
    EXPECT_EQ(orderOf({"Notes - Notes", "notes - notes"}), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(orderOf({"notes - notes", "Notes - Notes"}), (std::vector<std::uint32_t>{1, 2}));
}

TEST(TitleOrder, EmptyFirstAndPrefixFirst) {
    EXPECT_EQ(orderOf({"b", "", "ab", "a"}), (std::vector<std::uint32_t>{2, 4, 3, 1}));
}

TEST(TitleOrder, CanonicallyEquivalentTitlesAreEqualKeys) {
    // e + combining acute composes to U+00E9: the two keep their list order.
    EXPECT_EQ(orderOf({"Caf\u00E9", "Cafe\u0301"}), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(orderOf({"Cafe\u0301", "Caf\u00E9"}), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(titleSortKey("Cafe\u0301"), "caf\u00E9");
}

TEST(TitleOrder, ScalarValueOrderNotUtf16Order) {
    // U+FF21 (fullwidth A) is below U+1F600 as a scalar value, but above it
    // in UTF-16 code units (the emoji starts with surrogate 0xD83D).
    EXPECT_EQ(orderOf({"\U0001F600", "\uFF41"}), (std::vector<std::uint32_t>{2, 1}));
}

TEST(TitleOrder, LocaleIndependentLowercase) {
    EXPECT_EQ(titleSortKey("\u0130stanbul"), "i\u0307stanbul");
    EXPECT_EQ(titleSortKey("\u00C9COLE"), "\u00E9cole");
    EXPECT_EQ(titleSortKey("\u03A3\u0391"), "\u03C3\u03B1");
    EXPECT_EQ(titleSortKey("ABC"), "abc");
}

}  // namespace
}  // namespace tallowin
