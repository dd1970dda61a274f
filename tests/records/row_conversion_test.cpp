// Row <-> structure conversion: round trips over every table, untouched bytes and
// refused conversions.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "records/class_record.h"
#include "records/item_record.h"
#include "records/message_record.h"
#include "records/monster_record.h"
#include "records/race_record.h"
#include "records/row_conversion.h"
#include "records/spell_record.h"
#include "records/tables.h"
#include "records/tarrow_data_fields.h"
#include "test_support/seed.h"

namespace records {
namespace {

using Bytes = std::vector<std::uint8_t>;

const TarrowDataFields& lists() {
    static const TarrowDataFields built = BuildFieldLists();
    return built;
}

Bytes randomBytes(std::size_t size, std::mt19937& random) {
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

// A structure's bytes, aligned for any record.
struct StructBuffer {
    StructBuffer(std::size_t size, std::uint8_t fill) : words((size + 7) / 8), size(size) {
        std::fill_n(data(), size, fill);
    }
    std::uint8_t* data() { return reinterpret_cast<std::uint8_t*>(words.data()); }
    Bytes bytes() { return Bytes(data(), data() + size); }
    std::vector<std::uint64_t> words;
    std::size_t size;
};

TEST(RowConversion, EveryDescribedByteRoundTripsAndNothingElseIsTouched) {
    const struct {
        std::span<const LayoutEntry> list;
        TableId table;
        std::size_t structSize;
    } cases[] = {{lists().RaceFields, TableId::Races, sizeof(RaceRecord)},
                 {lists().ClassFields, TableId::Classes, sizeof(ClassRecord)},
                 {lists().SpellFields, TableId::Spells, sizeof(SpellRecord)},
                 {lists().MonsterFields, TableId::Monsters, sizeof(MonsterRecord)},
                 {lists().ItemFields, TableId::Items, sizeof(ItemRecord)},
                 {lists().MessageFields, TableId::Messages, sizeof(MessageRecord)}};
    const auto seed = test_support::testSeed("EveryDescribedByteRoundTrips");
    std::mt19937 random(seed);
    for (const auto& c : cases) {
        const std::size_t recordLength = tableFile(c.table).recordLength;
        SCOPED_TRACE(std::string(tableFile(c.table).fileName) + ", seed " + std::to_string(seed));
        const auto packed = static_cast<std::ptrdiff_t>(packedLength(c.list));
        ASSERT_LE(packed, static_cast<std::ptrdiff_t>(recordLength));
        // Structure bytes that some entry's member covers; padding must keep what it held.
        std::vector<bool> covered(c.structSize, false);
        for (std::size_t i = 0; i < c.list.size(); ++i)
            std::fill_n(covered.begin() + static_cast<std::ptrdiff_t>(structOffset(c.list, i)), c.list[i].Length, true);
        for (int round = 0; round < 20; ++round) {
            const Bytes read = randomBytes(recordLength, random);
            StructBuffer structure(c.structSize, 0xA5);
            ASSERT_EQ(RowToStruct(read, c.list, structure.data(), c.structSize), ConversionResult::Ok);
            const Bytes unpacked = structure.bytes();
            for (std::size_t i = 0; i < c.structSize; ++i)
                ASSERT_TRUE(covered[i] || unpacked[i] == 0xA5) << "structure byte " << i;

            const Bytes before = randomBytes(recordLength, random);
            Bytes written = before;
            ASSERT_EQ(StructToRow(written, c.list, structure.data(), c.structSize), ConversionResult::Ok);
            EXPECT_TRUE(std::equal(read.begin(), read.begin() + packed, written.begin()));
            EXPECT_TRUE(std::equal(before.begin() + packed, before.end(), written.begin() + packed))
                << "bytes after the packed length changed";
        }
    }
}

TEST(RowConversion, RefusedConversionsChangeNothing) {
    const std::span<const LayoutEntry> race = lists().RaceFields;
    const auto withEntry = [&](std::size_t index, LayoutEntry entry) {
        std::vector<LayoutEntry> list(race.begin(), race.end());
        list[index] = entry;
        return list;
    };
    const std::vector<LayoutEntry> plain(race.begin(), race.end());
    const struct {
        const char* what;
        std::vector<LayoutEntry> list;
        std::size_t rowSize;
        std::size_t structSize;
        ConversionResult expected;
    } cases[] = {
        {"row one byte short", plain, 125, sizeof(RaceRecord), ConversionResult::RowTooShort},
        {"structure one byte small", plain, 126, sizeof(RaceRecord) - 1, ConversionResult::StructTooSmall},
        {"unknown type in the last entry", withEntry(49, {7, 2}), 126, sizeof(RaceRecord), ConversionResult::BadEntry},
        {"three-byte integer", withEntry(10, {IntegerField, 3}), 126, sizeof(RaceRecord), ConversionResult::BadEntry},
        {"negative text length", withEntry(1, {TextField, -29}), 126, sizeof(RaceRecord), ConversionResult::BadEntry},
        {"text longer than the row", withEntry(1, {TextField, 1000}), 126, 4096, ConversionResult::RowTooShort},
    };
    std::mt19937 random(11);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes rowBefore = randomBytes(c.rowSize, random);
        StructBuffer structure(c.structSize, 0x3C);
        const Bytes structBefore = structure.bytes();
        Bytes row = rowBefore;
        EXPECT_EQ(RowToStruct(row, c.list, structure.data(), c.structSize), c.expected);
        EXPECT_EQ(structure.bytes(), structBefore);
        EXPECT_EQ(StructToRow(row, c.list, structure.data(), c.structSize), c.expected);
        EXPECT_EQ(row, rowBefore);
    }
}

}  // namespace
}  // namespace records
