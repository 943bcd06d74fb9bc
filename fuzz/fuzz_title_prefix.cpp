#include <cstddef>
#include <cstdint>
#include <string_view>

#include "placement/title_prefix.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = size == 0 ? 0 : data[0] % (size + 1);
    const std::string_view window = input.substr(0, split);
    const std::string_view entry = input.substr(split);
    static_cast<void>(tallowin::isTitlePrefix(window, entry));
    // Every text begins itself, and the empty title begins every text.
    if (!tallowin::isTitlePrefix(entry, entry) || !tallowin::isTitlePrefix({}, entry)) {
        __builtin_trap();
    }
    return 0;
}
