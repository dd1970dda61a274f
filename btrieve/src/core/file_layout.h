// What a data file holds: its record length, page size and keys.
#pragma once

#include "core/key_definition.h"

#include <cstdint>
#include <vector>

namespace wbtrv {

struct FileLayout {
    std::uint32_t recordLength = 0;
    std::uint32_t pageSize = 0;
    bool variableLength = false;
    std::vector<KeyDefinition> keys;

    // Writes need every key computable and records of one fixed length.
    bool writable() const {
        if (variableLength) return false;
        for (const auto& k : keys)
            if (!k.supported()) return false;
        return true;
    }
};

}  // namespace wbtrv
