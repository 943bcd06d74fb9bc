#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/plist/plist_shape.h"

namespace tallowin::plist {

namespace {

constexpr std::size_t kHeaderBytes = 8;
constexpr std::size_t kTrailerBytes = 32;

bool isWordSize(std::uint64_t size) { return size == 1 || size == 2 || size == 4 || size == 8; }

// libplist writes offsets 3 bytes wide past 64 KiB: any width up to 8 is read.
bool isByteWidth(std::uint64_t size) { return size >= 1 && size <= 8; }

// Measures each object once (a table entry per object), recursing only as deep
// as the nesting bound allows. libplist reads a shared object anew at every
// reference, so values and bytes are summed per reference, not per object.
class BinaryScan {
public:
    explicit BinaryScan(std::string_view bytes) : bytes_(bytes) {}

    std::optional<PlistShape> run() {
        if (bytes_.size() < kHeaderBytes + kTrailerBytes || bytes_.size() > kLargestFileBytes) {
            return std::nullopt;
        }
        const std::size_t trailer = bytes_.size() - kTrailerBytes;
        offsetSize_ = number(trailer + 6, 1);
        refSize_ = number(trailer + 7, 1);
        objects_ = number(trailer + 8, 8);
        const std::uint64_t root = number(trailer + 16, 8);
        tableOffset_ = number(trailer + 24, 8);
        if (!isByteWidth(offsetSize_) || !isByteWidth(refSize_) || objects_ == 0 || objects_ > bytes_.size() ||
            root >= objects_ || tableOffset_ < kHeaderBytes || tableOffset_ > trailer ||
            objects_ * offsetSize_ > trailer - tableOffset_) {
            return std::nullopt;
        }
        measured_.assign(static_cast<std::size_t>(objects_), Measure{});
        Measure whole;
        if (!measure(root, 1, whole)) {
            return std::nullopt;
        }
        return PlistShape{PlistFormat::Binary, whole.height, whole.values};
    }

private:
    enum class State : std::uint8_t { Unseen, Open, Done };
    // One per object, so kept small; every sum stays far below 2^32 under the bounds.
    struct Measure {
        State state = State::Unseen;
        std::uint8_t height = 0;
        std::uint32_t values = 0;
        std::uint32_t bytes = 0;
    };

    // Big-endian; the caller has checked the range.
    [[nodiscard]] std::uint64_t number(std::uint64_t at, std::uint64_t size) const {
        std::uint64_t value = 0;
        for (std::uint64_t i = 0; i < size; ++i) {
            value = (value << 8U) | static_cast<unsigned char>(bytes_[static_cast<std::size_t>(at + i)]);
        }
        return value;
    }

    // The object's own bytes and how many references follow its header;
    // false for a kind libplist cannot read or one that overruns the objects.
    bool layout(std::uint64_t at, std::uint64_t& header, std::uint64_t& payload, std::uint64_t& refs) const {
        const auto marker = static_cast<unsigned char>(bytes_[static_cast<std::size_t>(at)]);
        const unsigned kind = marker >> 4U;
        const unsigned low = marker & 0x0FU;
        std::uint64_t count = low;
        header = 1;
        const bool counted = kind == 0x4 || kind == 0x5 || kind == 0x6 || kind == 0xA || kind == 0xC || kind == 0xD;
        if (counted && low == 0x0F) {
            if (at + 2 > tableOffset_) {
                return false;
            }
            const auto sizeMarker = static_cast<unsigned char>(bytes_[static_cast<std::size_t>(at + 1)]);
            const std::uint64_t width = std::uint64_t{1} << (sizeMarker & 0x0FU);
            if ((sizeMarker >> 4U) != 0x1 || width > 8 || at + 2 + width > tableOffset_) {
                return false;
            }
            count = number(at + 2, width);
            header = 2 + width;
        }
        if (count > bytes_.size()) {
            return false;
        }
        refs = 0;
        switch (kind) {
            case 0x0:  // false and true; libplist reads no other
                payload = 0;
                if (low != 0x8 && low != 0x9) {
                    return false;
                }
                break;
            case 0x1:
                payload = std::uint64_t{1} << low;
                if (low > 4) {
                    return false;
                }
                break;
            case 0x2:
                payload = std::uint64_t{1} << low;
                if (low != 2 && low != 3) {
                    return false;
                }
                break;
            case 0x3:
                payload = 8;
                if (low != 3) {
                    return false;
                }
                break;
            case 0x4:
            case 0x5:
                payload = count;
                break;
            case 0x6:
                payload = 2 * count;
                break;
            case 0x8:
                payload = low + 1U;
                if (!isWordSize(payload)) {
                    return false;
                }
                break;
            case 0xA:
            case 0xC:
                refs = count;
                payload = refs * refSize_;
                break;
            case 0xD:
                refs = 2 * count;
                payload = refs * refSize_;
                break;
            default:
                return false;
        }
        return at + header + payload <= tableOffset_;
    }

    bool measure(std::uint64_t index, int depth, Measure& out) {
        Measure& slot = measured_[static_cast<std::size_t>(index)];
        if (slot.state == State::Done) {
            out = slot;
            return true;
        }
        if (slot.state == State::Open || depth > kDeepestNesting) {
            return false;
        }
        const std::uint64_t at = number(tableOffset_ + index * offsetSize_, offsetSize_);
        std::uint64_t header = 0;
        std::uint64_t payload = 0;
        std::uint64_t refs = 0;
        if (at < kHeaderBytes || at >= tableOffset_ || !layout(at, header, payload, refs)) {
            return false;
        }
        slot.state = State::Open;
        Measure whole{State::Done, 1, 1, static_cast<std::uint32_t>(header + payload)};
        for (std::uint64_t i = 0; i < refs; ++i) {
            const std::uint64_t child = number(at + header + i * refSize_, refSize_);
            Measure part;
            if (child >= objects_ || !measure(child, depth + 1, part)) {
                return false;
            }
            whole.height = std::max(whole.height, static_cast<std::uint8_t>(part.height + 1));
            whole.values += part.values;
            whole.bytes += part.bytes;
            if (whole.values > kMostValues || whole.bytes > kLargestFileBytes) {
                return false;
            }
        }
        slot = whole;
        out = whole;
        return true;
    }

    std::string_view bytes_;
    std::uint64_t offsetSize_ = 0;
    std::uint64_t refSize_ = 0;
    std::uint64_t objects_ = 0;
    std::uint64_t tableOffset_ = 0;
    std::vector<Measure> measured_;
};

}  // namespace

std::optional<PlistShape> measureBinaryPlist(std::string_view bytes) { return BinaryScan(bytes).run(); }

std::optional<PlistShape> measurePlist(std::string_view bytes) {
    return isBinaryPlist(bytes) ? measureBinaryPlist(bytes) : measureXmlPlist(bytes);
}

}  // namespace tallowin::plist
