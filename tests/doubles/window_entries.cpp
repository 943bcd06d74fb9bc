#include "tests/doubles/window_entries.h"

#include "platform/window_list_source.h"

namespace tallowin::doubles {

platform::Value windowEntry(const WindowEntry& entry) {
    using platform::Value;
    Value::Entries bounds;
    if (entry.x) bounds.emplace_back("X", Value::floating(*entry.x));
    if (entry.y) bounds.emplace_back("Y", Value::floating(*entry.y));
    if (entry.width) bounds.emplace_back("Width", Value::floating(*entry.width));
    if (entry.height) bounds.emplace_back("Height", Value::floating(*entry.height));

    Value::Entries fields;
    if (entry.number) fields.emplace_back(platform::kWindowNumberKey, Value::integer(*entry.number));
    if (entry.pid) fields.emplace_back(platform::kWindowOwnerPIDKey, Value::integer(*entry.pid));
    if (entry.name) fields.emplace_back(platform::kWindowNameKey, Value::text(*entry.name));
    if (entry.owner) fields.emplace_back(platform::kWindowOwnerNameKey, Value::text(*entry.owner));
    if (entry.alpha) fields.emplace_back(platform::kWindowAlphaKey, Value::floating(*entry.alpha));
    fields.emplace_back(platform::kWindowBoundsKey, Value::dictionary(std::move(bounds)));
    return Value::dictionary(std::move(fields));
}

}  // namespace tallowin::doubles
