#include "platform/macos/basic_cf_ref.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

namespace tallowin::macos {
namespace {

struct Object {
    int references = 1;  // as a Create or Copy result hands it over
};

// Stands in for CFRetain/CFRelease: counts every call and fails the test on
// a release of null (which crashes CFRelease) or of a dead object.
struct CountingPolicy {
    static inline int retains = 0;
    static inline int releases = 0;
    static void retain(Object* object) {
        ASSERT_NE(object, nullptr);
        ++object->references;
        ++retains;
    }
    static void release(Object* object) {
        ASSERT_NE(object, nullptr) << "released null";
        ASSERT_GT(object->references, 0) << "released a dead object";
        --object->references;
        ++releases;
    }
};

using Ref = BasicCFRef<Object*, CountingPolicy>;

class CFRefTest : public ::testing::Test {
protected:
    void SetUp() override { CountingPolicy::retains = CountingPolicy::releases = 0; }
};

// Adopt takes over the Create rule's reference, retain adds one of its own
// (the Get rule); null is neither retained nor released.
TEST_F(CFRefTest, AdoptAndRetainEachReleaseOnceAndNeverTouchNull) {
    Object created;
    Object borrowed;
    {
        const auto adopted = Ref::adopt(&created);
        const auto retained = Ref::retain(&borrowed);
        const auto adoptedNull = Ref::adopt(nullptr);
        const auto retainedNull = Ref::retain(nullptr);
        EXPECT_EQ(borrowed.references, 2);
        EXPECT_FALSE(adoptedNull || retainedNull);
    }
    EXPECT_EQ(created.references, 0);
    EXPECT_EQ(borrowed.references, 1);
    EXPECT_EQ(CountingPolicy::retains, 1);
    EXPECT_EQ(CountingPolicy::releases, 2);
}

TEST_F(CFRefTest, MovesHandOverAndAssignmentReleasesWhatItReplaces) {
    Object old;
    Object replacement;
    {
        auto first = Ref::adopt(&old);
        Ref moved = std::move(first);
        EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): the moved-from state is the point
        moved = Ref::adopt(&replacement);
        EXPECT_EQ(old.references, 0);
        auto& alias = moved;
        moved = std::move(alias);
        EXPECT_EQ(moved.get(), &replacement);
        moved.reset();
        moved.reset();
    }
    EXPECT_EQ(replacement.references, 0);
    EXPECT_EQ(CountingPolicy::releases, 2);
}

static_assert(!std::is_copy_constructible_v<Ref> && !std::is_copy_assignable_v<Ref>);
static_assert(std::is_nothrow_move_constructible_v<Ref> && std::is_nothrow_move_assignable_v<Ref>);

}  // namespace
}  // namespace tallowin::macos
