#include "shell/recorders/process_probe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QStandardPaths>
#include <QString>

#include <charconv>
#include <string>
#include <system_error>

namespace tallowin::recorders {

namespace {

// Plain reads: a stream per file costs more than the file (hundreds of them).
std::string firstLine(const std::filesystem::path& file) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return {};
    }
    char buffer[512];
    const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
    ::close(descriptor);
    const std::string_view text(buffer, count > 0 ? static_cast<std::size_t>(count) : 0U);
    return std::string(text.substr(0, text.find('\n')));
}

}  // namespace

std::vector<RunningProcess> runningProcesses(const std::filesystem::path& proc) {
    std::vector<RunningProcess> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(proc, error)) {
        const std::string folder = entry.path().filename().string();
        pid_t pid = 0;
        const auto [end, failure] = std::from_chars(folder.data(), folder.data() + folder.size(), pid);
        if (failure != std::errc{} || end != folder.data() + folder.size()) {
            continue;
        }
        struct stat status {};
        if (::stat(entry.path().c_str(), &status) != 0 || status.st_uid != ::getuid()) {
            continue;
        }
        if (processAlive(pid, proc)) {
            found.push_back({pid, firstLine(entry.path() / "comm")});
        }
    }
    return found;
}

std::vector<pid_t> processesNamed(const std::vector<RunningProcess>& processes, std::string_view name) {
    std::vector<pid_t> found;
    for (const auto& process : processes) {
        if (process.name == name.substr(0, 15)) {
            found.push_back(process.pid);
        }
    }
    return found;
}

std::vector<pid_t> processesNamed(std::string_view name, const std::filesystem::path& proc) {
    return processesNamed(runningProcesses(proc), name);
}

bool installed(std::string_view executable) {
    return !QStandardPaths::findExecutable(
                QString::fromUtf8(executable.data(), static_cast<qsizetype>(executable.size())))
                .isEmpty();
}

bool processAlive(pid_t pid, const std::filesystem::path& proc) {
    // "PID (comm) S ...": the state follows the last parenthesis.
    const std::string stat = firstLine(proc / std::to_string(pid) / "stat");
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z' && stat[close + 2] != 'X';
}

}  // namespace tallowin::recorders
