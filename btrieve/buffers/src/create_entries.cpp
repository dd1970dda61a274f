#include <wbtrv32/bytes.h>
#include <wbtrv32/create_entries.h>

#include <algorithm>

namespace wbtrv {
namespace {

constexpr std::size_t kNameLength = 8;

std::uint16_t word(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(readLittleEndian(b.data() + at, 2));
}

}  // namespace

std::uint8_t SegmentEntry::effectiveType() const {
    if (flags & B_KEY_EXTENDED_TYPE) return type;
    return (flags & B_KEY_BINARY) ? B_TYPE_UNSIGNED_BINARY : B_TYPE_STRING;
}

std::vector<std::uint8_t> buildCreateBuffer(const CreateEntries& entries) {
    std::size_t segments = 0;
    for (const KeySegments& key : entries.keys) segments += key.size();
    std::vector<std::uint8_t> b(
        BTR_FILE_ENTRY_SIZE + segments * BTR_KEY_ENTRY_SIZE + entries.sequences.size() * BTR_COLLATING_SEQUENCE_SIZE,
        0);
    writeLittleEndian(&b[0], 2, entries.recordLength);
    writeLittleEndian(&b[2], 2, entries.pageSize);
    writeLittleEndian(&b[4], 2, entries.keys.size());
    writeLittleEndian(&b[6], 4, entries.recordCount);
    writeLittleEndian(&b[10], 2, entries.fileFlags);
    if (entries.ownerAccess) b[12] = 1, b[13] = *entries.ownerAccess;
    std::uint8_t* at = &b[BTR_FILE_ENTRY_SIZE];
    for (const KeySegments& key : entries.keys) {
        for (std::size_t s = 0; s < key.size(); ++s, at += BTR_KEY_ENTRY_SIZE) {
            const SegmentEntry& seg = key[s];
            const bool more = s + 1 < key.size();
            writeLittleEndian(at, 2, seg.position);
            writeLittleEndian(at + 2, 2, seg.length);
            writeLittleEndian(at + 4, 2,
                              more ? seg.flags | B_KEY_SEGMENTED : seg.flags & ~std::uint16_t{B_KEY_SEGMENTED});
            at[10] = seg.type;
            at[11] = seg.nullValue;
            at[14] = seg.keyNumber;
            at[15] = seg.collatingSequence;
        }
    }
    for (const CollatingSequence& sequence : entries.sequences) {
        at[0] = BTR_COLLATING_SEQUENCE_MARK;
        std::fill_n(at + 1, kNameLength, std::uint8_t{' '});
        std::copy_n(sequence.name.begin(), std::min(sequence.name.size(), kNameLength), at + 1);
        std::copy(sequence.table.begin(), sequence.table.end(), at + 1 + kNameLength);
        at += BTR_COLLATING_SEQUENCE_SIZE;
    }
    return b;
}

int readCreateBuffer(std::span<const std::uint8_t> b, CreateEntries& entries) {
    entries = CreateEntries{};
    if (b.size() < BTR_FILE_ENTRY_SIZE) return B_DATA_BUFFER_TOO_SHORT;
    entries.recordLength = word(b, 0);
    entries.pageSize = word(b, 2);
    const std::uint16_t keyCount = word(b, 4);
    entries.recordCount = static_cast<std::uint32_t>(readLittleEndian(&b[6], 4));
    entries.fileFlags = word(b, 10);
    if (b[12] == 1) entries.ownerAccess = b[13];
    std::size_t at = BTR_FILE_ENTRY_SIZE;
    int sequencesUsed = 0;
    for (std::uint16_t k = 0; k < keyCount; ++k) {
        KeySegments key;
        do {
            if (at + BTR_KEY_ENTRY_SIZE > b.size()) return B_DATA_BUFFER_TOO_SHORT;
            SegmentEntry seg;
            seg.position = word(b, at);
            seg.length = word(b, at + 2);
            seg.flags = word(b, at + 4);
            seg.type = b[at + 10];
            seg.nullValue = b[at + 11];
            seg.keyNumber = b[at + 14];
            seg.collatingSequence = b[at + 15];
            if (seg.flags & B_KEY_ALT_COLLATING) sequencesUsed = std::max(sequencesUsed, seg.collatingSequence + 1);
            key.push_back(seg);
            at += BTR_KEY_ENTRY_SIZE;
        } while (key.back().flags & B_KEY_SEGMENTED);
        entries.keys.push_back(std::move(key));
    }
    for (int n = 0; n < sequencesUsed; ++n, at += BTR_COLLATING_SEQUENCE_SIZE) {
        if (at + BTR_COLLATING_SEQUENCE_SIZE > b.size() || b[at] != BTR_COLLATING_SEQUENCE_MARK)
            return B_INVALID_COLLATING_SEQUENCE;
        CollatingSequence sequence;
        sequence.name.assign(b.begin() + static_cast<std::ptrdiff_t>(at + 1),
                             b.begin() + static_cast<std::ptrdiff_t>(at + 1 + kNameLength));
        sequence.name.erase(sequence.name.find_last_not_of(' ') + 1);
        std::copy_n(b.begin() + static_cast<std::ptrdiff_t>(at + 1 + kNameLength), 256, sequence.table.begin());
        entries.sequences.push_back(std::move(sequence));
    }
    return B_NO_ERROR;
}

}  // namespace wbtrv
