// Row <-> structure conversion: round trips over every table, untouched bytes and
// refused conversions. That each saved table packs with its own list is caught by
// the editors' byte-identical save tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "records/class_record.h"
#include "records/item_record.h"
#include "records/message_record.h"
#include "records/monster_record.h"
#include "records/race_record.h"
#include "records/row_conversion.h"
#include "records/spell_record.h"
#include "records/struct_to_row.h"
#include "records/tables.h"
#include "records/tarrow_data_fields.h"

namespace records {
namespace {

using Bytes = std::vector<std::uint8_t>;

const TarrowDataFields& lists() {
    static const TarrowDataFields built = BuildFieldLists();
    return built;
}

Bytes randomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

// A structure-sized buffer aligned for any record.
struct StructBuffer {
    explicit StructBuffer(std::size_t size, std::uint8_t fill) : words((size + 7) / 8), size(size) {
        std::memset(words.data(), fill, size);
    }
    std::uint8_t* data() { return reinterpret_cast<std::uint8_t*>(words.data()); }
    Bytes bytes() const {
        return Bytes(reinterpret_cast<const std::uint8_t*>(words.data()),
                     reinterpret_cast<const std::uint8_t*>(words.data()) + size);
    }
    std::vector<std::uint64_t> words;
    std::size_t size;
};

struct TableCase {
    const char* name;
    std::span<const LayoutEntry> list;
    std::size_t recordLength;
    std::size_t structSize;
};

std::vector<TableCase> tableCases() {
    const TarrowDataFields& l = lists();
    return {
        {"races", l.RaceFields, tableFile(TableId::Races).recordLength, sizeof(RaceRecord)},
        {"classes", l.ClassFields, tableFile(TableId::Classes).recordLength, sizeof(ClassRecord)},
        {"spells", l.SpellFields, tableFile(TableId::Spells).recordLength, sizeof(SpellRecord)},
        {"monsters", l.MonsterFields, tableFile(TableId::Monsters).recordLength, sizeof(MonsterRecord)},
        {"items", l.ItemFields, tableFile(TableId::Items).recordLength, sizeof(ItemRecord)},
        {"messages", l.MessageFields, tableFile(TableId::Messages).recordLength, sizeof(MessageRecord)},
    };
}

// Structure bytes that some entry's member covers.
std::vector<bool> memberBytes(std::span<const LayoutEntry> list, std::size_t structSize) {
    std::vector<bool> covered(structSize, false);
    for (std::size_t i = 0; i < list.size(); ++i)
        for (std::int32_t k = 0; k < list[i].Length; ++k)
            covered[StructOffset(list, i) + static_cast<std::size_t>(k)] = true;
    return covered;
}

TEST(RowConversion, EveryDescribedByteRoundTripsAndNothingElseIsTouched) {
    std::uint32_t seed = 1;
    for (const TableCase& c : tableCases()) {
        SCOPED_TRACE(c.name);
        const std::size_t packed = PackedLength(c.list);
        for (int round = 0; round < 20; ++round) {
            const Bytes read = randomBytes(c.recordLength, seed++);
            StructBuffer structure(c.structSize, 0xA5);
            ASSERT_EQ(RowToStruct(read, c.list, structure.data(), c.structSize), ConversionResult::Ok);

            // Padding and anything past the last member keep what they held.
            const Bytes unpacked = structure.bytes();
            const std::vector<bool> covered = memberBytes(c.list, c.structSize);
            for (std::size_t i = 0; i < c.structSize; ++i) {
                if (!covered[i]) {
                    ASSERT_EQ(unpacked[i], 0xA5) << "structure byte " << i;
                }
            }

            const Bytes before = randomBytes(c.recordLength, seed++);
            Bytes written = before;
            ASSERT_EQ(StructToRow(written, c.list, structure.data(), c.structSize), ConversionResult::Ok);
            EXPECT_TRUE(std::equal(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(packed), written.begin()));
            EXPECT_TRUE(std::equal(before.begin() + static_cast<std::ptrdiff_t>(packed), before.end(),
                                   written.begin() + static_cast<std::ptrdiff_t>(packed)))
                << "bytes after the packed length changed";
        }
    }
}

TEST(RowConversion, RaceRecordSurvivesPackingAndUnpacking) {
    RaceRecord race{};
    race.Number = 12;
    const char name[29] = {'E', 'l', 'f', '\0', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                           ' ', ' ', ' ', ' ',  ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    std::memcpy(race.Name, name, sizeof name);
    race.Hidden31 = 0xFF;
    race.MinStrength = -32768;
    race.MaxCharm = 32767;
    for (int k = 0; k < 10; ++k) {
        race.AbilityCode[k] = static_cast<std::int16_t>(300 - 77 * k);
        race.AbilityValue[k] = static_cast<std::int16_t>(-k);
    }
    race.Hidden114[5] = 0x1234;
    static_assert(sizeof(RaceRecord) == 126, "no padding: the structure compares byte for byte");

    Bytes row(126, 0);
    ASSERT_EQ(RaceStructToRow(row, lists(), race), ConversionResult::Ok);
    EXPECT_EQ(0, std::memcmp(row.data() + 2, name, sizeof name));
    RaceRecord back;
    std::memset(&back, 0x5A, sizeof back);
    ASSERT_EQ(RowToStruct(row, lists().RaceFields, back), ConversionResult::Ok);
    EXPECT_EQ(0, std::memcmp(&race, &back, sizeof race));
}

TEST(RowConversion, RefusedConversionsChangeNothing) {
    const std::span<const LayoutEntry> race = lists().RaceFields;
    const auto withEntry = [&](std::size_t index, LayoutEntry entry) {
        std::vector<LayoutEntry> list(race.begin(), race.end());
        list[index] = entry;
        return list;
    };
    struct Case {
        const char* what;
        std::vector<LayoutEntry> list;
        std::size_t rowSize;
        std::size_t structSize;
        ConversionResult expected;
    };
    const std::vector<Case> cases{
        {"row one byte short", {race.begin(), race.end()}, 125, sizeof(RaceRecord), ConversionResult::RowTooShort},
        {"empty row", {race.begin(), race.end()}, 0, sizeof(RaceRecord), ConversionResult::RowTooShort},
        {"structure one byte small",
         {race.begin(), race.end()},
         126,
         sizeof(RaceRecord) - 1,
         ConversionResult::StructTooSmall},
        {"unknown type in the last entry", withEntry(49, {7, 2}), 126, sizeof(RaceRecord), ConversionResult::BadEntry},
        {"three-byte integer", withEntry(10, {IntegerField, 3}), 126, sizeof(RaceRecord), ConversionResult::BadEntry},
        {"integer of no length", withEntry(10, {IntegerField, 0}), 126, sizeof(RaceRecord), ConversionResult::BadEntry},
        {"two-byte byte field", withEntry(10, {ByteField, 2}), 126, sizeof(RaceRecord), ConversionResult::BadEntry},
        {"negative text length", withEntry(1, {TextField, -29}), 126, sizeof(RaceRecord), ConversionResult::BadEntry},
        {"text longer than the row", withEntry(1, {TextField, 1000}), 126, 4096, ConversionResult::RowTooShort},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes rowBefore = randomBytes(c.rowSize, 11);
        StructBuffer structure(c.structSize, 0x3C);
        const Bytes structBefore = structure.bytes();

        Bytes row = rowBefore;
        EXPECT_EQ(RowToStruct(row, c.list, structure.data(), c.structSize), c.expected);
        EXPECT_EQ(structure.bytes(), structBefore);
        EXPECT_EQ(StructToRow(row, c.list, structure.data(), c.structSize), c.expected);
        EXPECT_EQ(row, rowBefore);
    }
}

TEST(RowConversion, EntriesOfLengthZeroMoveNothing) {
    // A never-set entry in the middle of a list is no field: the rest packs as before.
    const std::span<const LayoutEntry> race = lists().RaceFields;
    std::vector<LayoutEntry> withGap(race.begin(), race.end());
    withGap.insert(withGap.begin() + 2, LayoutEntry{});
    const Bytes source = randomBytes(126, 21);
    RaceRecord plain{};
    RaceRecord gapped{};
    ASSERT_EQ(RowToStruct(source, race, plain), ConversionResult::Ok);
    ASSERT_EQ(RowToStruct(source, withGap, gapped), ConversionResult::Ok);
    EXPECT_EQ(0, std::memcmp(&plain, &gapped, sizeof plain));
}

}  // namespace
}  // namespace records
