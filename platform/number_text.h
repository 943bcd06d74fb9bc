#pragma once

#include <string>

namespace tallowin::platform {

// Shortest text that reads back as the same double. Whole values are plain
// decimal with one fractional zero at any magnitude (1920.0,
// 10000000000000000.0); others use the exponent form below 1e-5.
std::string formatDouble(double value);

}  // namespace tallowin::platform
