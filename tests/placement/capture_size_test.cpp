#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "placement/capture_size.h"

namespace tallowin {
namespace {

TEST(CaptureSize, TruncatesTowardZeroAndSaturatesBeyondTheRange) {
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    const std::pair<double, std::int64_t> cases[] = {
        {1920.0, 1920},
        {-1920.0, -1920},
        {0.0, 0},
        {1919.9, 1919},
        {-1919.9, -1919},
        {9007199254740992.0, 9007199254740992},
        {9223372036854775808.0, max},  // what "9223372036854775807" becomes as a double
        {-9223372036854775808.0, min},
        {1e300, max},
        {-INFINITY, min},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(toCaptureInteger(value), expected) << value;
    }
}

}  // namespace
}  // namespace tallowin
