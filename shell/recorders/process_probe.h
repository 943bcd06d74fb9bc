#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>
#include <vector>

namespace tallowin::recorders {

// The processes of this user whose command name (/proc/PID/comm, at most
// 15 bytes) is `name`, read from `proc` (/proc by default).
std::vector<pid_t> processesNamed(std::string_view name, const std::filesystem::path& proc = "/proc");

// Whether an executable of that name is on PATH.
bool installed(std::string_view executable);

// Whether the process still exists (and is not a zombie).
bool processAlive(pid_t pid, const std::filesystem::path& proc = "/proc");

}  // namespace tallowin::recorders
