#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tallowin::recorders {

struct RunningProcess {
    pid_t pid = 0;
    std::string name;  // /proc/PID/comm: at most 15 bytes of it
};

// This user's live processes, in one pass over `proc` (/proc by default).
std::vector<RunningProcess> runningProcesses(const std::filesystem::path& proc = "/proc");

// Those of them whose command name is `name` (cut to 15 bytes as comm is).
std::vector<pid_t> processesNamed(const std::vector<RunningProcess>& processes, std::string_view name);
std::vector<pid_t> processesNamed(std::string_view name, const std::filesystem::path& proc = "/proc");

// Whether an executable of that name is on PATH.
bool installed(std::string_view executable);

// Whether the process still exists (and is not a zombie).
bool processAlive(pid_t pid, const std::filesystem::path& proc = "/proc");

}  // namespace tallowin::recorders
