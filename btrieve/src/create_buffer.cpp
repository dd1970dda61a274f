#include "create_buffer.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {
namespace {

std::uint16_t word(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

constexpr std::uint32_t kMinRecordLength = 4;
constexpr std::uint32_t kMaxRecordLength = 65535;
constexpr std::uint32_t kPageUnit = 512;
constexpr std::uint32_t kMaxPageSize = 16384;
constexpr std::uint32_t kMaxKeys = 119;

// Without the extended-type flag a key is a string, or unsigned binary with the binary flag.
std::uint8_t keyType(const std::uint8_t* spec) {
    const std::uint16_t flags = word(spec + 4);
    if (flags & B_KEY_EXTENDED_TYPE) return spec[10];
    return (flags & B_KEY_BINARY) ? B_TYPE_UNSIGNED_BINARY : B_TYPE_STRING;
}

int parseKey(const std::uint8_t* spec, std::uint32_t recordLength, KeySegment& segment) {
    const std::uint32_t position = word(spec);
    const std::uint32_t length = word(spec + 2);
    const std::uint16_t flags = word(spec + 4);
    const std::uint8_t type = keyType(spec);
    if (length == 0) return B_INVALID_KEY_LENGTH;
    if (position < 1 || position - 1 + length > recordLength) return B_INVALID_KEY_POSITION;
    if (!isIntegerType(type) || (flags & (B_KEY_SEGMENTED | B_KEY_DESCENDING | B_KEY_ALT_COLLATING)))
        return B_KEY_TYPE_ERROR;
    if (type == B_TYPE_AUTOINCREMENT && (flags & B_KEY_DUPLICATES)) return B_KEY_TYPE_ERROR;
    if (!lengthAllowed(type, length)) return B_INVALID_KEY_LENGTH;
    segment.attributes = flags;
    segment.dataType = type;
    segment.offset = position - 1;
    segment.length = length;
    segment.nullValue = spec[11];
    return B_NO_ERROR;
}

}  // namespace

int parseCreateBuffer(const std::uint8_t* buffer, std::uint32_t size, FileLayout& layout) {
    if (!buffer || size < BTR_FILE_SPEC_SIZE) return B_DATA_BUFFER_TOO_SHORT;
    layout = FileLayout{};
    layout.recordLength = word(buffer);
    layout.pageSize = word(buffer + 2);
    const std::uint32_t keyCount = word(buffer + 4);
    if (layout.recordLength < kMinRecordLength || layout.recordLength > kMaxRecordLength)
        return B_INVALID_RECORD_LENGTH;
    if (layout.pageSize < kPageUnit || layout.pageSize > kMaxPageSize || layout.pageSize % kPageUnit)
        return B_PAGE_SIZE_ERROR;
    if (keyCount < 1 || keyCount > kMaxKeys) return B_INVALID_NUMBER_OF_KEYS;
    if (size < BTR_FILE_SPEC_SIZE + keyCount * BTR_KEY_SPEC_SIZE) return B_DATA_BUFFER_TOO_SHORT;
    for (std::uint32_t k = 0; k < keyCount; ++k) {
        KeySegment segment;
        const int status = parseKey(buffer + BTR_FILE_SPEC_SIZE + k * BTR_KEY_SPEC_SIZE, layout.recordLength, segment);
        if (status != B_NO_ERROR) return status;
        layout.keys.push_back(KeyDefinition{{segment}});
    }
    return B_NO_ERROR;
}

}  // namespace wbtrv
