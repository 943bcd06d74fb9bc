#pragma once

#include <string>

namespace tallowin::platform {

// A file URL, kept as the absolute path it was made from.
struct FileURL {
    std::string path;
};

class Workspace {
public:
    virtual ~Workspace() = default;

    // Asks the system to open the item; yields whether it accepted.
    virtual bool openURL(const FileURL& url) = 0;
};

}  // namespace tallowin::platform
