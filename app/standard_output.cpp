#include "app/standard_output.h"

#include <cstdio>

namespace tallowin {

void StandardOutput::writeLine(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace tallowin
