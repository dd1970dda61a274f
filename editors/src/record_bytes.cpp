#include "record_bytes.h"

#include <limits>

namespace editors {
namespace {

template <class Member>
std::int64_t load(const std::byte* at) {
    Member value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template <class Member>
void store(std::byte* at, std::int64_t value) {
    const auto member = static_cast<Member>(value);
    std::memcpy(at, &member, sizeof member);
}

}  // namespace

std::pair<std::int64_t, std::int64_t> numberRange(std::size_t width) {
    switch (width) {
        case 1:
            return {0, std::numeric_limits<std::uint8_t>::max()};
        case 2:
            return {std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()};
        default:
            return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
    }
}

std::int64_t RecordBytes::number(FieldElement element) const {
    const std::byte* at = data() + element.offset();
    switch (element.field->width) {
        case 1:
            return load<std::uint8_t>(at);
        case 2:
            return load<std::int16_t>(at);
        default:
            return load<std::int32_t>(at);
    }
}

void RecordBytes::setNumber(FieldElement element, std::int64_t value) {
    std::byte* at = data() + element.offset();
    switch (element.field->width) {
        case 1:
            return store<std::uint8_t>(at, value);
        case 2:
            return store<std::int16_t>(at, value);
        default:
            return store<std::int32_t>(at, value);
    }
}

std::span<const char> RecordBytes::text(FieldElement element) const {
    return {reinterpret_cast<const char*>(data() + element.offset()), element.field->width};
}

std::span<char> RecordBytes::text(FieldElement element) {
    return {reinterpret_cast<char*>(data() + element.offset()), element.field->width};
}

}  // namespace editors
