// Row <-> structure conversion: round trips over every table, untouched bytes and
// refused conversions.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "records/descriptions.h"
#include "records/row_conversion.h"
#include "test_support/seed.h"

namespace records {
namespace {

using Bytes = std::vector<std::uint8_t>;

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
    const auto seed = test_support::testSeed("EveryDescribedByteRoundTrips");
    std::mt19937 random(seed);
    for (const TableFile& table : kTableFiles) {
        const RecordDescription& described = recordDescription(table.id);
        const std::span<const LayoutEntry> list = described.layout;  // with the entries never set
        const std::size_t structSize = described.structSize;
        const std::size_t recordLength = table.recordLength;
        SCOPED_TRACE(std::string(table.fileName) + ", seed " + std::to_string(seed));
        const auto packed = static_cast<std::ptrdiff_t>(packedLength(list));
        ASSERT_LE(packed, static_cast<std::ptrdiff_t>(recordLength));
        // Structure bytes that some entry's member covers; padding must keep what it held.
        std::vector<bool> covered(structSize, false);
        for (std::size_t i = 0; i < list.size(); ++i)
            std::fill_n(covered.begin() + static_cast<std::ptrdiff_t>(structOffset(list, i)), list[i].Length, true);
        for (int round = 0; round < 20; ++round) {
            const Bytes read = randomBytes(recordLength, random);
            StructBuffer structure(structSize, 0xA5);
            ASSERT_EQ(RowToStruct(read, list, structure.data(), structSize), ConversionResult::Ok);
            const Bytes unpacked = structure.bytes();
            for (std::size_t i = 0; i < structSize; ++i)
                ASSERT_TRUE(covered[i] || unpacked[i] == 0xA5) << "structure byte " << i;

            const Bytes before = randomBytes(recordLength, random);
            Bytes written = before;
            ASSERT_EQ(StructToRow(written, list, structure.data(), structSize), ConversionResult::Ok);
            EXPECT_TRUE(std::equal(read.begin(), read.begin() + packed, written.begin()));
            EXPECT_TRUE(std::equal(before.begin() + packed, before.end(), written.begin() + packed))
                << "bytes after the packed length changed";
        }
    }
}

TEST(RowConversion, RefusedConversionsChangeNothing) {
    const std::span<const LayoutEntry> race = kFieldLists.RaceFields;
    const auto withEntry = [&](std::size_t index, LayoutEntry entry) {
        std::vector<LayoutEntry> list(race.begin(), race.end());
        list[index] = entry;
        return list;
    };
    const std::vector<LayoutEntry> plain(race.begin(), race.end());
    // What is wrong, the layout list, the row and structure sizes, and the result.
    const std::tuple<const char*, std::vector<LayoutEntry>, std::size_t, std::size_t, ConversionResult> cases[] = {
        {"row one byte short", plain, 125, sizeof(RaceRecord), ConversionResult::RowTooShort},
        {"structure one byte small", plain, 126, sizeof(RaceRecord) - 1, ConversionResult::StructTooSmall},
        {"unknown type in the last entry", withEntry(49, {7, 2}), 126, sizeof(RaceRecord), ConversionResult::BadEntry},
        {"three-byte integer", withEntry(10, {IntegerField, 3}), 126, sizeof(RaceRecord), ConversionResult::BadEntry},
        {"negative text length", withEntry(1, {TextField, -29}), 126, sizeof(RaceRecord), ConversionResult::BadEntry},
        {"text longer than the row", withEntry(1, {TextField, 1000}), 126, 4096, ConversionResult::RowTooShort},
    };
    std::mt19937 random(11);
    for (const auto& [what, list, rowSize, structSize, expected] : cases) {
        SCOPED_TRACE(what);
        const Bytes rowBefore = randomBytes(rowSize, random);
        StructBuffer structure(structSize, 0x3C);
        const Bytes structBefore = structure.bytes();
        Bytes row = rowBefore;
        EXPECT_EQ(RowToStruct(row, list, structure.data(), structSize), expected);
        EXPECT_EQ(structure.bytes(), structBefore);
        EXPECT_EQ(StructToRow(row, list, structure.data(), structSize), expected);
        EXPECT_EQ(row, rowBefore);
    }
}

}  // namespace
}  // namespace records
