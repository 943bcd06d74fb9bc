#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/plist/plist_shape.h"

namespace tallowin::plist {

namespace {

constexpr std::string_view kNameEnds = " \t\r\n<>";

// libplist compares names as C strings.
bool isPlistTag(std::string_view name) { return name.substr(0, name.find('\0')) == "plist"; }

// Walks the markup the way libplist's reader tokenizes it, but refuses every
// spelling where the two could disagree about where an element ends: a quote
// holding '<' or '>', a document type with its own declarations, a stray '<'
// inside markup. Elements are counted whatever their name, so libplist, which
// knows fewer, never nests deeper or holds more than counted here.
class XmlScan {
public:
    explicit XmlScan(std::string_view text) : text_(text) {}

    std::optional<PlistShape> run() {
        PlistShape shape;
        shape.format = PlistFormat::Xml;
        while ((pos_ = text_.find('<', pos_)) != std::string_view::npos) {
            ++pos_;
            const std::string_view rest = text_.substr(pos_);
            if (rest.empty()) {
                return std::nullopt;
            }
            if (rest.starts_with("?")) {
                if (!skipMarkup() || text_[pos_ - 2] != '?') {
                    return std::nullopt;
                }
            } else if (rest.starts_with("!--")) {
                if (!skipPast("-->", pos_ + 3)) {
                    return std::nullopt;
                }
            } else if (rest.starts_with("![CDATA[")) {
                if (!skipPast("]]>", pos_ + 8)) {
                    return std::nullopt;
                }
            } else if (rest.starts_with("!DOCTYPE")) {
                if (!skipMarkup()) {
                    return std::nullopt;
                }
            } else if (!element(shape)) {
                return std::nullopt;
            }
        }
        if (!open_.empty()) {
            return std::nullopt;
        }
        return shape;
    }

private:
    bool skipPast(std::string_view marker, std::size_t from) {
        const std::size_t found = text_.find(marker, std::min(from, text_.size()));
        if (found == std::string_view::npos) {
            return false;
        }
        pos_ = found + marker.size();
        return true;
    }

    // Past the '>' that ends the markup begun before pos_. A quote runs to the
    // next quote wherever it is, as libplist reads it.
    bool skipMarkup() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '>') {
                ++pos_;
                return true;
            }
            if (c == '<' || c == '[') {
                return false;
            }
            if (c == '"') {
                const std::size_t close = text_.find('"', pos_ + 1);
                if (close == std::string_view::npos ||
                    text_.substr(pos_, close - pos_).find_first_of("<>") != std::string_view::npos) {
                    return false;
                }
                pos_ = close;
            }
            ++pos_;
        }
        return false;
    }

    bool element(PlistShape& shape) {
        const bool closing = text_[pos_] == '/';
        if (closing) {
            ++pos_;
        }
        const std::size_t nameEnd = text_.find_first_of(kNameEnds, pos_);
        if (nameEnd == std::string_view::npos) {
            return false;
        }
        std::string_view name = text_.substr(pos_, nameEnd - pos_);
        pos_ = nameEnd;
        if (!skipMarkup()) {
            return false;
        }
        const bool empty = text_[pos_ - 2] == '/';
        if (closing) {
            if (empty || open_.empty() || open_.back() != name) {
                return false;
            }
            if (isPlistTag(name)) {
                --openPlists_;
            }
            open_.pop_back();
            return true;
        }
        if (name.ends_with('/')) {
            name.remove_suffix(1);
        }
        // libplist puts whatever follows an empty outermost container into it,
        // one level deeper than it reads here; a file has one outermost value.
        const bool outermost = open_.size() == openPlists_;
        if (!isPlistTag(name)) {
            if (outermost && valueSeen_) {
                return false;
            }
            valueSeen_ = valueSeen_ || outermost;
        }
        shape.depth = std::max(shape.depth, static_cast<int>(open_.size()) + 1);
        if (++shape.values > kMostValues || shape.depth > kDeepestNesting) {
            return false;
        }
        if (!empty) {
            if (isPlistTag(name)) {
                ++openPlists_;
            }
            open_.push_back(name);
        }
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::vector<std::string_view> open_;
    std::size_t openPlists_ = 0;
    bool valueSeen_ = false;
};

}  // namespace

std::optional<PlistShape> measureXmlPlist(std::string_view bytes) {
    if (bytes.size() > kLargestFileBytes) {
        return std::nullopt;
    }
    return XmlScan(bytes).run();
}

}  // namespace tallowin::plist
