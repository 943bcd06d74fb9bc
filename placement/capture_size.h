#pragma once

#include <cstdint>

namespace tallowin {

// Truncates toward zero into the signed 64-bit range. A request parsed from
// 9223372036854775807 arrives as 2^63, which no int64 holds: values beyond
// the range saturate at its ends (giving back the number the user typed),
// and NaN, which no request can carry, becomes 0.
std::int64_t toCaptureInteger(double value);

}  // namespace tallowin
