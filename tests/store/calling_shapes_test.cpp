// What Get Equal and Stop / Reset hand to the record manager, and how a status is
// reported. The plain table operations are exercised with the real record
// manager by every window test.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "store/record_store.h"
#include "test_support/scripted_dialogs.h"

namespace {

using store::Operation;

struct SeenCall {
    std::uint16_t operation;
    void* positionBlock;
    void* dataBuffer;
    std::uint32_t dataLength;
    void* keyBuffer;
    std::uint8_t keyLength;
    std::int8_t keyNumber;
    std::array<std::uint8_t, 4> keyStart{};
    bool scratchZero = false;  // position block and data buffer all zero
};

class CallingShapes : public ::testing::Test {
protected:
    store::BtrCall fake() {
        return [this](std::uint16_t operation, void* position, void* data, std::uint32_t* length, void* key,
                      std::uint8_t keyLength, std::int8_t keyNumber) -> std::int16_t {
            SeenCall seen{operation, position, data, *length, key, keyLength, keyNumber};
            if (key != nullptr) std::copy_n(static_cast<const std::uint8_t*>(key), 4, seen.keyStart.begin());
            const auto* p = static_cast<const std::uint8_t*>(position);
            const auto* d = static_cast<const std::uint8_t*>(data);
            seen.scratchZero = std::all_of(p, p + 128, [](auto b) { return b == 0; }) &&
                               std::all_of(d, d + 4, [](auto b) { return b == 0; });
            *length = 7;  // whatever comes back must not be used
            calls.push_back(seen);
            return 0;
        };
    }

    std::vector<SeenCall> calls;
    test_support::ScriptedDialogs dialogs;
    store::RecordStore store{fake(), dialogs};
    store::TableFileBlock block{records::tableFile(records::TableId::Spells)};
};

TEST_F(CallingShapes, GetEqualPassesTheNumberAsFourLittleEndianBytes) {
    const struct {
        std::int32_t number;
        std::array<std::uint8_t, 4> bytes;
    } cases[] = {{12, {12, 0, 0, 0}}, {0x01020304, {4, 3, 2, 1}}, {-2, {0xFE, 0xFF, 0xFF, 0xFF}}};
    for (const auto& tc : cases) {
        calls.clear();
        ASSERT_EQ(store.getEqual(block, tc.number), 0);
        const auto& c = calls.at(0);
        EXPECT_EQ(c.operation, B_GET_EQUAL);
        EXPECT_EQ(c.positionBlock, block.positionBlock.data());
        EXPECT_EQ(c.dataBuffer, block.row.data());
        EXPECT_EQ(c.dataLength, 260u);
        EXPECT_NE(c.keyBuffer, block.keyBuffer.data()) << "the table's key buffer stays out of Get Equal";
        EXPECT_EQ(c.keyLength, 4);
        EXPECT_EQ(c.keyNumber, 0);
        EXPECT_EQ(c.keyStart, tc.bytes) << tc.number;
    }
}

TEST_F(CallingShapes, StopAndResetTakeZeroedScratchValuesAndNoKey) {
    block.positionBlock.fill(0xAA);
    for (const auto operation : {B_STOP, B_RESET}) {
        calls.clear();
        ASSERT_EQ(store.onRecordManager(operation), 0);
        const auto& c = calls.at(0);
        EXPECT_EQ(c.operation, operation);
        EXPECT_TRUE(c.scratchZero);
        EXPECT_EQ(c.dataLength, 0u);
        EXPECT_EQ(c.keyBuffer, nullptr);
        EXPECT_EQ(c.keyLength, 255);
        EXPECT_EQ(c.keyNumber, 0);
    }
}

TEST_F(CallingShapes, StatusCheckReportsPrefixAndStatus) {
    const struct {
        std::int16_t status;
        store::EndOfFile endOfFile;
        bool ok;
        const char* shown;  // nullptr: no box
    } cases[] = {
        {0, store::EndOfFile::Reported, true, nullptr},
        {9, store::EndOfFile::Silent, false, nullptr},
        {9, store::EndOfFile::Reported, false, "Error on BGETLAST: 9"},
        {4, store::EndOfFile::Silent, false, "Error on BGETLAST: 4"},
        {-1, store::EndOfFile::Reported, false, "Error on BGETLAST: -1"},
        {-32768, store::EndOfFile::Silent, false, "Error on BGETLAST: -32768"},
    };
    for (const auto& tc : cases) {
        dialogs.boxes.clear();
        EXPECT_EQ(store.check(tc.status, "Error on BGETLAST: ", tc.endOfFile), tc.ok) << tc.status;
        if (tc.shown == nullptr) {
            EXPECT_TRUE(dialogs.boxes.empty()) << tc.status;
        } else {
            ASSERT_EQ(dialogs.boxes.size(), 1u) << tc.status;
            EXPECT_EQ(dialogs.boxes[0].text, QString::fromLatin1(tc.shown));
            EXPECT_TRUE(dialogs.boxes[0].title.isEmpty()) << "the application title";
            EXPECT_EQ(dialogs.boxes[0].buttons, editors::Buttons::Ok);
        }
    }
}

}  // namespace
