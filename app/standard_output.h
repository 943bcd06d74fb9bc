#pragma once

#include <string>
#include <string_view>

#include "platform/line_output.h"

namespace tallowin {

class StandardOutput final : public platform::LineOutput {
public:
    void writeLine(std::string_view text) override;
};

// Shortest text that reads back as the same double; whole values keep one
// fractional zero (1920.0).
std::string formatDouble(double value);

}  // namespace tallowin
