#include "shell/recorders/ini_text.h"

#include <vector>

namespace tallowin::recorders {

namespace {

struct Line {
    std::string_view body;    // without its line ending
    std::string_view ending;  // "\n", "\r\n" or nothing at the very end
};

std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    while (!text.empty()) {
        const auto feed = text.find('\n');
        if (feed == std::string_view::npos) {
            lines.push_back({text, {}});
            break;
        }
        const bool carriage = feed > 0 && text[feed - 1] == '\r';
        lines.push_back(
            {text.substr(0, carriage ? feed - 1 : feed), text.substr(carriage ? feed - 1 : feed, carriage ? 2 : 1)});
        text.remove_prefix(feed + 1);
    }
    return lines;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The section a header line opens, or nothing for any other line.
std::optional<std::string_view> sectionOf(std::string_view body) {
    const auto line = trimmed(body);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        return line.substr(1, line.size() - 2);
    }
    return std::nullopt;
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> keyOf(std::string_view body) {
    const auto line = trimmed(body);
    if (line.empty() || line.front() == ';' || line.front() == '#') {
        return std::nullopt;
    }
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyLine{trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1))};
}

}  // namespace

std::optional<std::string> iniValue(std::string_view text, std::string_view section, std::string_view key) {
    bool inSection = false;
    for (const auto& line : splitLines(text)) {
        if (const auto opened = sectionOf(line.body)) {
            inSection = *opened == section;
            continue;
        }
        const auto entry = keyOf(line.body);
        if (inSection && entry && entry->key == key) {
            auto value = entry->value;
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return std::string(value);
        }
    }
    return std::nullopt;
}

std::string withIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
    const auto lines = splitLines(text);
    const std::string entry = std::string(key) + "=" + std::string(value);
    std::string_view ending = "\n";
    for (const auto& line : lines) {
        if (!line.ending.empty()) {
            ending = line.ending;
            break;
        }
    }

    std::optional<std::size_t> sectionHeader;
    std::optional<std::size_t> lastKey;
    bool inSection = false;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (const auto opened = sectionOf(lines[index].body)) {
            inSection = *opened == section;
            if (inSection && !sectionHeader) {
                sectionHeader = index;
                lastKey = index;
            }
            continue;
        }
        const auto found = keyOf(lines[index].body);
        if (inSection && found) {
            if (found->key == key) {
                std::string result;
                for (std::size_t other = 0; other < lines.size(); ++other) {
                    result += other == index ? std::string_view(entry) : lines[other].body;
                    result += lines[other].ending;
                }
                return result;
            }
            lastKey = index;
        }
    }

    std::string result;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        result += lines[index].body;
        result += lines[index].ending.empty() ? ending : lines[index].ending;
        if (lastKey && index == *lastKey) {
            result += entry;
            result += ending;
        }
    }
    if (!sectionHeader) {
        if (!result.empty()) {
            result += ending;
        }
        result += '[';
        result += section;
        result += ']';
        result += ending;
        result += entry;
        result += ending;
    }
    return result;
}

}  // namespace tallowin::recorders
