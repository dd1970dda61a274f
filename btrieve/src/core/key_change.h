// A change of a file's keys (a key added by Create Index, a key dropped by
// Drop Index), worked out once for every engine: the layout after it, and
// where each key of that layout comes from.
#pragma once

#include "core/file_layout.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace wbtrv {

struct KeyChange {
    FileLayout layout;  // the file's layout afterwards
    // Per key number of `layout`: the number the key had before; none for a
    // number no key has and for the key added.
    std::vector<std::optional<std::size_t>> formerNumber;
    // The number of the key added, whose values come from the records; none for a drop.
    std::optional<std::size_t> added;
};

// Adds `key` as key `number`, a number no key has.
KeyChange addingKey(const FileLayout& layout, std::size_t number, KeyDefinition key);
// Drops key `number`; the keys above it move down one number unless `keepNumbers`.
KeyChange droppingKey(const FileLayout& layout, std::size_t number, bool keepNumbers);
// The lowest number no key has.
std::size_t lowestFreeKeyNumber(const FileLayout& layout);

}  // namespace wbtrv
