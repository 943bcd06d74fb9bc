#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/line_output.h"

namespace tallowin::recorders::testing {

struct LineCapture final : platform::LineOutput {
    std::vector<std::string> lines;
    void writeLine(std::string_view text) override { lines.emplace_back(text); }
};

}  // namespace tallowin::recorders::testing
