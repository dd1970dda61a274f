// What a data file holds: its record length, page size and keys.
#pragma once

#include "core/key_definition.h"

#include <wbtrv32/btrieve.h>

#include <cstdint>
#include <span>
#include <vector>

namespace wbtrv {

struct FileLayout {
    std::uint32_t recordLength = 0;
    std::uint32_t pageSize = 0;
    bool variableLength = false;
    std::vector<KeyDefinition> keys;
    // The file keeps a journal of changes (its format version has one).
    bool journalKept = false;

    // Writes need every key computable and records of one fixed length.
    bool writable() const {
        if (variableLength) return false;
        for (const auto& k : keys)
            if (!k.supported()) return false;
        return true;
    }

    // The value of each key in a record, in key order; false when one cannot
    // be computed (an unsigned 8-byte value beyond an SQL integer's range).
    bool keyValues(std::span<const std::uint8_t> record, std::vector<KeyValue>& out) const {
        out.resize(keys.size());
        for (std::size_t k = 0; k < keys.size(); ++k)
            if (!keys[k].valueFromRecord(record, out[k])) return false;
        return true;
    }

    // Readies a record to be inserted: each autoincrement key holding 0 gets
    // the value after the highest in the file, read by `highest(key, value)`
    // under the file's write lock; then every key's value goes into `values`.
    // 0, 5 when an autoincrement key's range holds no further value, 41 when
    // a value cannot be computed, or what `highest` failed with.
    template <typename Highest>
    int readyToInsert(std::span<std::uint8_t> record, std::vector<KeyValue>& values, Highest&& highest) const {
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (!keys[k].awaitsNextValue(record)) continue;
            std::int64_t value = 0;
            if (const int status = highest(k, value); status != B_NO_ERROR) return status;
            if (!keys[k].giveNextValue(value, record)) return B_DUPLICATE_KEY_VALUE;
        }
        return keyValues(record, values) ? B_NO_ERROR : B_OPERATION_NOT_ALLOWED;
    }
};

}  // namespace wbtrv
