#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/value.h"

namespace tallowin::platform {
namespace {

struct IntegerCase {
    const char* what;
    Value value;
    std::optional<std::int32_t> int32;
    std::optional<std::uint32_t> uint32;
    std::optional<std::int64_t> int64;
};

TEST(ValueReadingRules, IntegersOnlyFromWholeNumbersInRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const IntegerCase cases[] = {
        {"integer 7", Value::integer(7), 7, 7U, 7},
        {"whole float 37.0", Value::floating(37.0), 37, 37U, 37},
        {"fraction 37.5", Value::floating(37.5), std::nullopt, std::nullopt, std::nullopt},
        {"negative integer", Value::integer(-1), -1, std::nullopt, -1},
        {"int32 max + 1", Value::integer(2147483648), std::nullopt, 2147483648U, 2147483648},
        {"int32 min", Value::integer(-2147483648LL), std::numeric_limits<std::int32_t>::min(), std::nullopt,
         -2147483648LL},
        {"uint32 max", Value::integer(4294967295LL), std::nullopt, 4294967295U, 4294967295LL},
        {"uint32 max + 1", Value::integer(4294967296LL), std::nullopt, std::nullopt, 4294967296LL},
        {"float 2^63", Value::floating(9223372036854775808.0), std::nullopt, std::nullopt, std::nullopt},
        {"float -2^63", Value::floating(-9223372036854775808.0), std::nullopt, std::nullopt,
         std::numeric_limits<std::int64_t>::min()},
        {"float 2^32", Value::floating(4294967296.0), std::nullopt, std::nullopt, 4294967296LL},
        {"NaN", Value::floating(nan), std::nullopt, std::nullopt, std::nullopt},
        {"infinity", Value::floating(INFINITY), std::nullopt, std::nullopt, std::nullopt},
        {"negative zero", Value::floating(-0.0), 0, 0U, 0},
        {"text \"7\"", Value::text("7"), std::nullopt, std::nullopt, std::nullopt},
        {"other", Value::other(), std::nullopt, std::nullopt, std::nullopt},
        {"dictionary", Value::dictionary({}), std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.value.asInt32(), c.int32);
        EXPECT_EQ(c.value.asUInt32(), c.uint32);
        EXPECT_EQ(c.value.asInt64(), c.int64);
    }
}

TEST(ValueReadingRules, DoublesOnlyWhenExact) {
    EXPECT_EQ(Value::floating(0.5).asDouble(), 0.5);
    EXPECT_EQ(Value::integer(1920).asDouble(), 1920.0);
    EXPECT_EQ(Value::integer(9007199254740992LL).asDouble(), 9007199254740992.0);
    // 2^53 + 1 has no double of its own.
    EXPECT_EQ(Value::integer(9007199254740993LL).asDouble(), std::nullopt);
    EXPECT_EQ(Value::integer(std::numeric_limits<std::int64_t>::max()).asDouble(), std::nullopt);
    EXPECT_EQ(Value::integer(std::numeric_limits<std::int64_t>::min()).asDouble(), -9223372036854775808.0);
    EXPECT_EQ(Value::text("1.5").asDouble(), std::nullopt);
}

TEST(ValueReadingRules, TextAndDictionaryOnlyAsThemselves) {
    const Value text = Value::text("Mail");
    ASSERT_NE(text.asText(), nullptr);
    EXPECT_EQ(*text.asText(), "Mail");
    EXPECT_FALSE(text.isDictionary());
    EXPECT_EQ(text.find("X"), nullptr);
    EXPECT_EQ(Value::integer(1).asText(), nullptr);

    const Value bounds = Value::dictionary({{"X", Value::integer(0)}, {"Height", Value::floating(24)}});
    EXPECT_TRUE(bounds.isDictionary());
    EXPECT_EQ(bounds.asText(), nullptr);
    ASSERT_NE(bounds.find("Height"), nullptr);
    EXPECT_EQ(bounds.find("Height")->asInt64(), 24);
    EXPECT_EQ(bounds.find("height"), nullptr);
}

TEST(ValueCopies, ShareImmutableStorage) {
    Value original = Value::dictionary({{"kCGWindowName", Value::text("Inbox")}});
    const Value copy = original;
    original = Value::other();
    ASSERT_NE(copy.find("kCGWindowName"), nullptr);
    EXPECT_EQ(*copy.find("kCGWindowName")->asText(), "Inbox");
}

}  // namespace
}  // namespace tallowin::platform
