#pragma once

#include <string_view>

namespace tallowin::platform {

// Standard output, one status line at a time.
class LineOutput {
public:
    virtual ~LineOutput() = default;

    // Writes text and one line feed, and flushes, so a pipe sees it at once.
    virtual void writeLine(std::string_view text) = 0;
};

}  // namespace tallowin::platform
