#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tallowin::platform {

// A dynamically typed, immutable window-list value: a number that remembers
// whether it is integral, a text, a dictionary with text keys, or anything
// else. Dictionaries share their storage, so copying a snapshot is cheap.
class Value {
public:
    struct Other {};
    using Entry = std::pair<std::string, Value>;
    using Entries = std::vector<Entry>;

    Value() = default;  // "other": a value of no kind a reader expects
    static Value integer(std::int64_t number);
    static Value floating(double number);
    static Value text(std::string text);
    static Value dictionary(Entries entries);
    static Value other();

    // Reading rules: a value counts only when it has the expected kind, and
    // an integer only from a whole number within the target type's range.
    [[nodiscard]] std::optional<std::int32_t> asInt32() const;
    [[nodiscard]] std::optional<std::uint32_t> asUInt32() const;
    [[nodiscard]] std::optional<std::int64_t> asInt64() const;
    [[nodiscard]] std::optional<double> asDouble() const;
    [[nodiscard]] const std::string* asText() const;
    [[nodiscard]] bool isDictionary() const;

    // The value under key, or nullptr when absent or when this is no dictionary.
    [[nodiscard]] const Value* find(std::string_view key) const;
    // The entries in their order; none when this is no dictionary.
    [[nodiscard]] std::span<const Entry> entries() const;

private:
    // The entries sit in the same block as the count that shares them: a
    // reader touching a window's entry pays one cache miss, not two.
    struct Dictionary {
        std::shared_ptr<const Entry[]> entries;
        std::size_t size;
    };
    std::variant<Other, std::int64_t, double, std::shared_ptr<const std::string>, Dictionary> data_;
};

using WindowList = std::vector<Value>;

}  // namespace tallowin::platform
