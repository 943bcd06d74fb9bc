#pragma once

#include <string_view>

namespace tallowin::platform {

class TextControl {
public:
    virtual ~TextControl() = default;

    virtual void setStringValue(std::string_view text) = 0;
};

}  // namespace tallowin::platform
