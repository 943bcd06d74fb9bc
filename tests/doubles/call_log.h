#pragma once

#include <string>
#include <vector>

namespace tallowin::doubles {

// One ordered record of every effect the doubles see, so tests can assert
// the order of effects across services (output lines included).
struct CallLog {
    std::vector<std::string> entries;

    void add(std::string entry) { entries.push_back(std::move(entry)); }
};

// Doubles built without a log note nothing.
inline void note(CallLog* log, std::string entry) {
    if (log != nullptr) {
        log->add(std::move(entry));
    }
}

}  // namespace tallowin::doubles
