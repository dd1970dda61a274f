#include "core/record_check.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>

namespace wbtrv {
namespace {

std::string describe(const KeyValue& v, bool integer) {
    if (v.null) return "null";
    return integer ? std::to_string(v.integer) : "x'" + hex(v.encoded) + "'";
}

}  // namespace

int checkStoredRecord(const FileLayout& layout, std::int64_t id, std::span<const std::uint8_t> data, bool isBytes,
                      const KeyColumnReader& column, std::string& why) {
    const std::string record = "record " + std::to_string(id);
    if (!isBytes || (!layout.variableLength && data.size() != layout.recordLength)) {
        why = record + " holds " + std::to_string(data.size()) + " bytes, the record length is " +
              std::to_string(layout.recordLength);
        return B_IO_ERROR;
    }
    for (std::size_t k = 0; k < layout.keys.size(); ++k) {
        const KeyDefinition& key = layout.keys[k];
        if (key.absent() || !key.supported() || !key.fitsIn(data)) continue;
        KeyValue expected;
        KeyValue held;
        const bool computable = key.valueFromRecord(data, expected);
        const bool rightKind = column(k, held);
        if (!computable || !rightKind || held != expected) {
            why = record + ": key_" + std::to_string(k) + " holds " +
                  (rightKind ? describe(held, key.integerColumn()) : "a value of the wrong kind") + ", its bytes say " +
                  (computable ? describe(expected, key.integerColumn()) : "a value out of range");
            return B_IO_ERROR;
        }
    }
    return B_NO_ERROR;
}

}  // namespace wbtrv
