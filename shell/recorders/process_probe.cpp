#include "shell/recorders/process_probe.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QStandardPaths>
#include <QString>

#include <charconv>
#include <fstream>
#include <string>
#include <system_error>

namespace tallowin::recorders {

namespace {

std::string firstLine(const std::filesystem::path& file) {
    std::ifstream stream(file);
    std::string line;
    std::getline(stream, line);
    return line;
}

}  // namespace

std::vector<pid_t> processesNamed(std::string_view name, const std::filesystem::path& proc) {
    std::vector<pid_t> found;
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
        if (firstLine(entry.path() / "comm") == name.substr(0, 15) && processAlive(pid, proc)) {
            found.push_back(pid);
        }
    }
    return found;
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
