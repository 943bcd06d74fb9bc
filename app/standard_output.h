#pragma once

#include <string>
#include <string_view>

#include "platform/line_output.h"

namespace tallowin {

// Status lines on standard output, flushed one by one. A line stays one
// line whatever it carries (window titles come from other programs).
// The lines are a side channel: once standard output is closed (a pipe's
// reader gone), they stop and the program goes on.
class StandardOutput final : public platform::LineOutput {
public:
    // Ignores SIGPIPE for the whole process, so a closed pipe fails a write
    // instead of ending the program.
    StandardOutput();
    void writeLine(std::string_view text) override;

private:
    bool closed_ = false;
};

// The text with every control character, line or paragraph separator and
// malformed UTF-8 byte written as an escape (\n, \x00, \u2028).
std::string escapeControlCharacters(std::string_view text);

}  // namespace tallowin
