#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/value.h"

namespace tallowin::platform {
namespace {

struct NumberCase {
    Value value;
    std::optional<std::int32_t> int32;
    std::optional<std::uint32_t> uint32;
    std::optional<std::int64_t> int64;
    std::optional<double> real;
};

TEST(ValueReadingRules, IntegersOnlyFromWholeNumbersInRangeAndDoublesOnlyWhenExact) {
    constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();
    const std::nullopt_t no = std::nullopt;
    const NumberCase cases[] = {
        {Value::integer(7), 7, 7U, 7, 7.0},
        {Value::floating(37.0), 37, 37U, 37, 37.0},
        {Value::floating(37.5), no, no, no, 37.5},
        {Value::floating(-0.0), 0, 0U, 0, -0.0},
        {Value::integer(-1), -1, no, -1, -1.0},
        {Value::integer(2147483648), no, 2147483648U, 2147483648, 2147483648.0},
        {Value::integer(-2147483648LL), std::numeric_limits<std::int32_t>::min(), no, -2147483648LL, -2147483648.0},
        {Value::floating(2147483648.0), no, 2147483648U, 2147483648, 2147483648.0},
        {Value::floating(-2147483649.0), no, no, -2147483649LL, -2147483649.0},
        {Value::integer(4294967296LL), no, no, 4294967296LL, 4294967296.0},
        {Value::floating(4294967296.0), no, no, 4294967296LL, 4294967296.0},
        {Value::floating(9223372036854775808.0), no, no, no, 9223372036854775808.0},
        {Value::floating(-9223372036854775808.0), no, no, int64Min, -9223372036854775808.0},
        {Value::integer(int64Min), no, no, int64Min, -9223372036854775808.0},
        {Value::integer(9007199254740993LL), no, no, 9007199254740993LL, no},  // no double of its own
        {Value::integer(std::numeric_limits<std::int64_t>::max()), no, no, std::numeric_limits<std::int64_t>::max(),
         no},
        {Value::floating(std::nan("")), no, no, no, std::nan("")},
        {Value::floating(INFINITY), no, no, no, INFINITY},
        {Value::text("7"), no, no, no, no},
        {Value::other(), no, no, no, no},
        {Value::dictionary({}), no, no, no, no},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.int64) + " " + ::testing::PrintToString(c.real));
        EXPECT_EQ(c.value.asInt32(), c.int32);
        EXPECT_EQ(c.value.asUInt32(), c.uint32);
        EXPECT_EQ(c.value.asInt64(), c.int64);
        const auto real = c.value.asDouble();
        if (c.real && std::isnan(*c.real)) {
            EXPECT_TRUE(real && std::isnan(*real));
        } else {
            EXPECT_EQ(real, c.real);
        }
    }
}

TEST(ValueReadingRules, TextAndDictionaryOnlyAsThemselves) {
    Value bounds =
        Value::dictionary({{"X", Value::integer(0)}, {"Height", Value::floating(24)}, {"X", Value::integer(5)}});
    const Value copy = bounds;
    bounds = Value::text("Mail");
    EXPECT_EQ(*bounds.asText(), "Mail");
    EXPECT_FALSE(bounds.isDictionary());
    EXPECT_EQ(bounds.find("X"), nullptr);
    EXPECT_EQ(bounds.entries(), nullptr);
    EXPECT_EQ(Value::integer(1).asText(), nullptr);

    EXPECT_TRUE(copy.isDictionary());
    EXPECT_EQ(copy.asText(), nullptr);
    EXPECT_EQ(copy.find("X")->asInt64(), 0) << "the first of a repeated key counts";
    EXPECT_EQ(copy.find("Height")->asInt64(), 24);
    EXPECT_EQ(copy.find("height"), nullptr);
    EXPECT_EQ(copy.entries()->size(), 3U);
}

}  // namespace
}  // namespace tallowin::platform
