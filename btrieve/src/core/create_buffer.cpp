#include "core/create_buffer.h"

#include <wbtrv32/bytes.h>
#include <wbtrv32/create_entries.h>

#include <algorithm>

namespace wbtrv {
namespace {

constexpr std::uint32_t kMinRecordLength = 4;
constexpr std::uint32_t kMaxRecordLength = 65535;
constexpr std::uint32_t kPageUnit = 512;
constexpr std::uint32_t kMaxPageSize = 16384;
constexpr std::uint32_t kMaxKeys = 119;

// Flags every segment of a key must share.
constexpr std::uint16_t kKeyWideFlags = B_KEY_DUPLICATES | B_KEY_MODIFIABLE | B_KEY_NULL_ALL | B_KEY_NULL_ANY;

int parseSegment(const SegmentEntry& entry, const CreateEntries& file, KeySegment& segment) {
    const std::uint8_t type = entry.effectiveType();
    const std::uint16_t flags = entry.flags;
    if (entry.length == 0) return B_INVALID_KEY_LENGTH;
    if (entry.position < 1 || entry.position - 1u + entry.length > file.recordLength) return B_INVALID_KEY_POSITION;
    if (type > B_TYPE_NUMERIC_STS || type == B_TYPE_NOTE || type == B_TYPE_LVAR || type == B_TYPE_BIT)
        return B_KEY_TYPE_ERROR;
    if (!lengthAllowed(type, entry.length)) return B_INVALID_KEY_LENGTH;
    const bool folds = flags & B_KEY_NOCASE, collates = flags & B_KEY_ALT_COLLATING;
    if ((folds || collates) && (!isStringType(type) || (folds && collates))) return B_INCONSISTENT_KEY_FLAGS;
    segment.attributes = flags;
    segment.dataType = type;
    segment.offset = entry.position - 1u;
    segment.length = entry.length;
    segment.nullValue = entry.nullValue;
    if (collates) segment.collating = std::make_shared<CollatingSequence>(file.sequences[entry.collatingSequence]);
    return B_NO_ERROR;
}

int parseKey(const KeySegments& segments, const CreateEntries& file, KeyDefinition& key) {
    for (const SegmentEntry& s : segments) {
        KeySegment segment;
        if (const int status = parseSegment(s, file, segment); status != B_NO_ERROR) return status;
        if ((s.flags & kKeyWideFlags) != (segments.front().flags & kKeyWideFlags)) return B_INCONSISTENT_KEY_FLAGS;
        key.segments.push_back(std::move(segment));
    }
    if (key.length() > BTR_MAX_KEY_LENGTH) return B_INVALID_KEY_LENGTH;
    // An autoincrement key is unique and numbers records by itself alone.
    const bool autoincrement = std::any_of(segments.begin(), segments.end(), [](const SegmentEntry& s) {
        return s.effectiveType() == B_TYPE_AUTOINCREMENT;
    });
    if (autoincrement && (!key.integerColumn() || (segments.front().flags & B_KEY_DUPLICATES))) return B_KEY_TYPE_ERROR;
    key.encodedColumn = !key.integerColumn();
    return B_NO_ERROR;
}

}  // namespace

int parseCreateBuffer(const std::uint8_t* buffer, std::uint32_t size, FileLayout& layout) {
    if (!buffer || size < BTR_FILE_ENTRY_SIZE) return B_DATA_BUFFER_TOO_SHORT;
    layout = FileLayout{};
    layout.recordLength = static_cast<std::uint32_t>(readLittleEndian(buffer, 2));
    layout.pageSize = static_cast<std::uint32_t>(readLittleEndian(buffer + 2, 2));
    const std::uint64_t keyCount = readLittleEndian(buffer + 4, 2);
    if (layout.recordLength < kMinRecordLength || layout.recordLength > kMaxRecordLength)
        return B_INVALID_RECORD_LENGTH;
    if (layout.pageSize < kPageUnit || layout.pageSize > kMaxPageSize || layout.pageSize % kPageUnit)
        return B_PAGE_SIZE_ERROR;
    if (keyCount < 1 || keyCount > kMaxKeys) return B_INVALID_NUMBER_OF_KEYS;
    CreateEntries entries;
    if (const int status = readCreateBuffer({buffer, size}, entries); status != B_NO_ERROR) return status;
    for (const KeySegments& segments : entries.keys) {
        KeyDefinition key;
        if (const int status = parseKey(segments, entries, key); status != B_NO_ERROR) return status;
        layout.keys.push_back(std::move(key));
    }
    return B_NO_ERROR;
}

int parseKeyEntries(const std::uint8_t* buffer, std::uint32_t size, std::uint32_t recordLength, KeyDefinition& key,
                    std::uint8_t& number) {
    if (!buffer) return B_DATA_BUFFER_TOO_SHORT;
    // Read as the Create buffer of a file with this one key.
    std::vector<std::uint8_t> whole(BTR_FILE_ENTRY_SIZE, 0);
    writeLittleEndian(whole.data(), 2, recordLength);
    writeLittleEndian(whole.data() + 4, 2, 1);
    // The most a key's entries can take: a segment per byte of the longest key, and every sequence numbered.
    constexpr std::uint32_t kLongest = BTR_MAX_KEY_LENGTH * BTR_KEY_ENTRY_SIZE + 256 * BTR_COLLATING_SEQUENCE_SIZE;
    whole.insert(whole.end(), buffer, buffer + std::min(size, kLongest));
    CreateEntries entries;
    if (const int status = readCreateBuffer(whole, entries); status != B_NO_ERROR) return status;
    key = KeyDefinition{};
    if (const int status = parseKey(entries.keys.front(), entries, key); status != B_NO_ERROR) return status;
    number = entries.keys.front().front().keyNumber;
    return B_NO_ERROR;
}

}  // namespace wbtrv
