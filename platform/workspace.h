#pragma once

#include <cstdint>
#include <string>

namespace tallowin::platform {

// A file URL, kept as the absolute path it was made from.
struct FileURL {
    std::string path;
};

// The rectangle a recording is to take, in screen coordinates.
struct CaptureRectangle {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// What the screenshot tool is opened with after a placement: the rectangle
// stored as its last selection, and the window placed there.
struct CaptureHandoff {
    FileURL tool;
    CaptureRectangle rectangle;
    std::uint32_t windowNumber = 0;
};

class Workspace {
public:
    virtual ~Workspace() = default;

    // Asks the system to open the item; yields whether it accepted.
    virtual bool openURL(const FileURL& url) = 0;

    // Opens the screenshot tool ready to record the rectangle. Where the
    // tool reads the stored selection itself (macOS), opening it is all;
    // a platform whose recorders take the rectangle another way overrides
    // this and reports on its own.
    virtual bool openCaptureTool(const CaptureHandoff& handoff) { return openURL(handoff.tool); }
};

}  // namespace tallowin::platform
