#include "box_field.h"

#include <cstring>
#include <limits>

namespace editors {

std::pair<std::int64_t, std::int64_t> fieldRange(FieldKind kind) {
    switch (kind) {
        case FieldKind::Int16:
            return {std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()};
        case FieldKind::Int32:
            return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
        case FieldKind::Byte:
            return {0, 255};
        case FieldKind::Text:
            break;
    }
    return {0, 0};
}

std::int64_t loadNumber(const std::byte* record, const BoxField& field) {
    const std::byte* at = record + field.offset;
    switch (field.kind) {
        case FieldKind::Int16: {
            std::int16_t v;
            std::memcpy(&v, at, sizeof v);
            return v;
        }
        case FieldKind::Int32: {
            std::int32_t v;
            std::memcpy(&v, at, sizeof v);
            return v;
        }
        case FieldKind::Byte: {
            std::uint8_t v;
            std::memcpy(&v, at, sizeof v);
            return v;
        }
        case FieldKind::Text:
            break;
    }
    return 0;
}

void storeNumber(std::byte* record, const BoxField& field, std::int64_t value) {
    std::byte* at = record + field.offset;
    switch (field.kind) {
        case FieldKind::Int16: {
            const auto v = static_cast<std::int16_t>(value);
            std::memcpy(at, &v, sizeof v);
            break;
        }
        case FieldKind::Int32: {
            const auto v = static_cast<std::int32_t>(value);
            std::memcpy(at, &v, sizeof v);
            break;
        }
        case FieldKind::Byte: {
            const auto v = static_cast<std::uint8_t>(value);
            std::memcpy(at, &v, sizeof v);
            break;
        }
        case FieldKind::Text:
            break;
    }
}

}  // namespace editors
