#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "placement/resolution_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = tallowin::parseResolution(text);
    // An accepted text must print back to the same two numbers.
    if (parsed) {
        const auto again =
            tallowin::parseResolution(std::to_string(parsed->width) + "x" + std::to_string(parsed->height));
        if (!again || again->width != parsed->width || again->height != parsed->height) {
            __builtin_trap();
        }
    }
    return 0;
}
