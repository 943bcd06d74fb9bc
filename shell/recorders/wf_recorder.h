#pragma once

#include <filesystem>
#include <string>

#include "platform/workspace.h"

namespace tallowin::recorders {

// The shell command that records the rectangle with wf-recorder into file,
// each argument quoted for sh: wf-recorder -g 'X,Y WxH' -f 'FILE'.
std::string wfRecorderCommand(const platform::CaptureRectangle& rectangle, const std::filesystem::path& file);

// Where a recording made now goes: the user's videos folder when it exists,
// else home, named after the local time (tallowin-YYYYMMDD-HHMMSS.mp4).
std::filesystem::path wfRecorderFile(const std::filesystem::path& videos, const std::filesystem::path& home);

// The line that hands the rectangle over: wf-recorder records from the
// moment it starts, so the user runs the command when ready.
std::string wfRecorderLine(const platform::CaptureRectangle& rectangle, const std::filesystem::path& file);

}  // namespace tallowin::recorders
