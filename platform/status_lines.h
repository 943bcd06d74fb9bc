#pragma once

#include <string_view>

#include "platform/line_output.h"

namespace tallowin::platform {

// Where a provider says what the core cannot: a window system's refusal in its
// own words, a lost connection. The provider exists before standard output is
// set up, so it is attached later; until then the lines go nowhere.
class StatusLines final : public LineOutput {
public:
    void attach(LineOutput& output) { output_ = &output; }
    void writeLine(std::string_view text) override {
        if (output_ != nullptr) {
            output_->writeLine(text);
        }
    }

private:
    LineOutput* output_ = nullptr;
};

}  // namespace tallowin::platform
