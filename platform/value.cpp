#include "platform/value.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tallowin::platform {

namespace {

// Exact range test: the double bounds are powers of two, so the comparisons
// below are exact and the cast that follows is defined.
template <typename Int>
std::optional<Int> wholeNumberIn(double number) {
    const auto low = static_cast<double>(std::numeric_limits<Int>::min());
    const double highExclusive = std::ldexp(1.0, std::numeric_limits<Int>::digits);
    if (!std::isfinite(number) || std::trunc(number) != number || number < low || number >= highExclusive) {
        return std::nullopt;
    }
    return static_cast<Int>(number);
}

template <typename Int>
std::optional<Int> integerIn(std::int64_t number) {
    if constexpr (std::numeric_limits<Int>::is_signed) {
        if (number < std::numeric_limits<Int>::min() || number > std::numeric_limits<Int>::max()) {
            return std::nullopt;
        }
    } else {
        if (number < 0 || static_cast<std::uint64_t>(number) > std::numeric_limits<Int>::max()) {
            return std::nullopt;
        }
    }
    return static_cast<Int>(number);
}

template <typename Int, typename Data>
std::optional<Int> readInteger(const Data& data) {
    if (const auto* number = std::get_if<std::int64_t>(&data)) {
        return integerIn<Int>(*number);
    }
    if (const auto* number = std::get_if<double>(&data)) {
        return wholeNumberIn<Int>(*number);
    }
    return std::nullopt;
}

}  // namespace

Value Value::integer(std::int64_t number) {
    Value value;
    value.data_ = number;
    return value;
}

Value Value::floating(double number) {
    Value value;
    value.data_ = number;
    return value;
}

Value Value::text(std::string text) {
    Value value;
    value.data_ = std::make_shared<const std::string>(std::move(text));
    return value;
}

Value Value::dictionary(Entries entries) {
    auto block = std::make_shared<Entry[]>(entries.size());
    std::move(entries.begin(), entries.end(), block.get());
    Value value;
    value.data_ = Dictionary{std::move(block), entries.size()};
    return value;
}

Value Value::other() { return Value{}; }

std::optional<std::int32_t> Value::asInt32() const { return readInteger<std::int32_t>(data_); }
std::optional<std::uint32_t> Value::asUInt32() const { return readInteger<std::uint32_t>(data_); }
std::optional<std::int64_t> Value::asInt64() const { return readInteger<std::int64_t>(data_); }

std::optional<double> Value::asDouble() const {
    if (const auto* number = std::get_if<double>(&data_)) {
        return *number;
    }
    if (const auto* number = std::get_if<std::int64_t>(&data_)) {
        // Only when the double holds the integer exactly; 2^63 itself is out.
        const auto converted = static_cast<double>(*number);
        if (converted < 9223372036854775808.0 && static_cast<std::int64_t>(converted) == *number) {
            return converted;
        }
    }
    return std::nullopt;
}

const std::string* Value::asText() const {
    const auto* text = std::get_if<std::shared_ptr<const std::string>>(&data_);
    return text != nullptr ? text->get() : nullptr;
}

bool Value::isDictionary() const { return std::holds_alternative<Dictionary>(data_); }

std::span<const Value::Entry> Value::entries() const {
    const auto* dictionary = std::get_if<Dictionary>(&data_);
    if (dictionary == nullptr) {
        return {};
    }
    return {dictionary->entries.get(), dictionary->size};
}

const Value* Value::find(std::string_view key) const {
    for (const auto& [entryKey, entryValue] : entries()) {
        if (entryKey == key) {
            return &entryValue;
        }
    }
    return nullptr;
}

}  // namespace tallowin::platform
