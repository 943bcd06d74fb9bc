#include "platform/macos/basic_cf_ref.h"

#include <gtest/gtest.h>

#include <map>
#include <type_traits>
#include <utility>
#include <vector>

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
        ASSERT_GT(object->references, 0);
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

TEST_F(CFRefTest, AdoptedReferenceIsReleasedOnceAtScopeEnd) {
    Object created;
    {
        const auto ref = Ref::adopt(&created);
        EXPECT_EQ(ref.get(), &created);
        EXPECT_EQ(CountingPolicy::retains, 0);
    }
    EXPECT_EQ(created.references, 0);
    EXPECT_EQ(CountingPolicy::releases, 1);
}

TEST_F(CFRefTest, RetainedReferenceLeavesTheLendersReferenceAlone) {
    Object borrowed;  // owned by a container, lent through a Get call
    {
        const auto ref = Ref::retain(&borrowed);
        EXPECT_EQ(borrowed.references, 2);
    }
    EXPECT_EQ(borrowed.references, 1);
    EXPECT_EQ(CountingPolicy::retains, 1);
    EXPECT_EQ(CountingPolicy::releases, 1);
}

TEST_F(CFRefTest, NullIsNeverRetainedNorReleased) {
    {
        const Ref empty;
        const auto adoptedNull = Ref::adopt(nullptr);
        const auto retainedNull = Ref::retain(nullptr);
        EXPECT_FALSE(empty);
        EXPECT_FALSE(adoptedNull);
        EXPECT_FALSE(retainedNull);
    }
    EXPECT_EQ(CountingPolicy::retains, 0);
    EXPECT_EQ(CountingPolicy::releases, 0);
}

TEST_F(CFRefTest, MoveHandsOverOwnershipWithoutTouchingTheCount) {
    Object created;
    {
        auto first = Ref::adopt(&created);
        Ref second = std::move(first);
        EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): the moved-from state is the point
        EXPECT_EQ(second.get(), &created);
        EXPECT_EQ(created.references, 1);
    }
    EXPECT_EQ(CountingPolicy::releases, 1);
    EXPECT_EQ(created.references, 0);
}

TEST_F(CFRefTest, MoveAssignmentReleasesTheObjectItReplaces) {
    Object old;
    Object replacement;
    {
        auto target = Ref::adopt(&old);
        target = Ref::adopt(&replacement);
        EXPECT_EQ(old.references, 0);
        EXPECT_EQ(target.get(), &replacement);
    }
    EXPECT_EQ(replacement.references, 0);
    EXPECT_EQ(CountingPolicy::releases, 2);
}

TEST_F(CFRefTest, SelfMoveAssignmentKeepsTheReference) {
    Object created;
    {
        auto ref = Ref::adopt(&created);
        auto& alias = ref;
        ref = std::move(alias);
        EXPECT_EQ(ref.get(), &created);
        EXPECT_EQ(created.references, 1);
    }
    EXPECT_EQ(created.references, 0);
}

TEST_F(CFRefTest, ResetReleasesOnceAndLeavesItEmpty) {
    Object created;
    auto ref = Ref::adopt(&created);
    ref.reset();
    ref.reset();
    EXPECT_FALSE(ref);
    EXPECT_EQ(CountingPolicy::releases, 1);
}

// A container of holders, as an element array is: every element released
// exactly once however the container goes.
TEST_F(CFRefTest, EveryHolderInAContainerIsReleasedExactlyOnce) {
    std::map<int, Object> objects;
    {
        std::vector<Ref> holders;
        for (int i = 0; i < 5; ++i) {
            holders.push_back(Ref::retain(&objects[i]));  // forces moves on regrowth
        }
        holders.erase(holders.begin() + 1);
        EXPECT_EQ(objects[1].references, 1);
    }
    for (const auto& [index, object] : objects) {
        EXPECT_EQ(object.references, 1) << "object " << index;
    }
    EXPECT_EQ(CountingPolicy::retains, 5);
    EXPECT_EQ(CountingPolicy::releases, 5);
}

static_assert(!std::is_copy_constructible_v<Ref> && !std::is_copy_assignable_v<Ref>);
static_assert(std::is_nothrow_move_constructible_v<Ref> && std::is_nothrow_move_assignable_v<Ref>);

}  // namespace
}  // namespace tallowin::macos
