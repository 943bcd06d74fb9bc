#pragma once

#include <string>
#include <string_view>

#include "platform/line_output.h"

namespace tallowin {

class StandardOutput final : public platform::LineOutput {
public:
    void writeLine(std::string_view text) override;
};

}  // namespace tallowin
