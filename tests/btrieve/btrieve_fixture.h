// Shared pieces of the record manager's tests: a temporary folder, Create
// buffers, position blocks and short forms of the calls.
#pragma once

#include <wbtrv32/btrieve.h>
#include <wbtrv32/bytes.h>
#include <wbtrv32/client.h>
#include <wbtrv32/create_entries.h>

#include <gtest/gtest.h>

#include "test_support/server_schema.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace btrieve_test {

using Bytes = std::vector<std::uint8_t>;
using Block = std::array<std::uint8_t, BTR_POSITION_BLOCK_SIZE>;

// A Create buffer of one-segment keys, each of an extended type.
Bytes createBuffer(std::uint16_t recordLength, std::vector<wbtrv::SegmentEntry> keys);
std::int16_t createFile(const std::string& path, const Bytes& buffer, std::int8_t mode = 0);
std::int16_t openFile(Block& block, const std::string& path, std::int8_t mode = B_MODE_NORMAL);

// One call with a data buffer whose length is its size; the length that
// comes back is left in `length`.
struct Call {
    Bytes data;
    Bytes key = Bytes(BTR_MAX_KEY_LENGTH, 0);
    std::uint32_t length = 0;
    std::int16_t run(std::uint16_t operation, Block& block, std::int8_t keyNumber);
};

Bytes fileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const Bytes& bytes);
// Runs SQL on a file as another program would.
void runSql(const std::string& path, const std::string& sql);
// Every record along key 0; `status` is 0 or what stopped the walk.
std::vector<Bytes> readAll(Block& block, std::int16_t& status, std::size_t recordLength = 16);
// Every record with its position (the number the journal gives it), in physical order.
std::map<std::int64_t, Bytes> recordsByPosition(Block& block, std::size_t recordLength = 16);
// The records the file's journal says it holds: the entries replayed oldest
// first, each checked against the record as it stood (an Insert finds its
// position free, an Update or Delete finds its before image there), with
// increasing sequence numbers and no damaged entry. With `record`, only that
// record's history.
std::map<std::int64_t, Bytes> replayJournal(const std::string& file, std::optional<std::int64_t> record = {});
// Trials of a randomised test: BTRIEVE_TRIALS when set (make crash-trials), else `fallback`.
int trials(int fallback);
using wbtrv::client::verify;

// Little-endian field access in a record.
void putInt(Bytes& record, std::size_t offset, std::size_t length, std::int64_t value);
std::int64_t getInt(const Bytes& record, std::size_t offset, std::size_t length, bool isSigned = true);

// A key segment as the tests describe it: offset 0-based.
struct Segment {
    std::uint16_t offset;
    std::uint16_t length;
    std::uint8_t type;
    std::uint16_t flags = 0;  // direction, case, collating sequence
    const wbtrv::CollatingSequence* sequence = nullptr;
};

// The order of two values of a segment (or of a key: its segments' bytes one
// after the other), written from the key types' published order rules and
// independent of how the record manager stores keys: < 0, 0 or > 0.
int compareSegment(const Segment& s, const std::uint8_t* a, const std::uint8_t* b);
int compareKey(const std::vector<Segment>& key, const std::uint8_t* a, const std::uint8_t* b);

// Each key type's order, against values chosen to break a naive comparison
// (negative numbers, -0, NaN, blanks, case, trailing zero bytes, the sign
// nibble of decimals, length bytes): the groups are in ascending key order,
// the values of a group compare equal.
struct OrderCase {
    const char* name;
    Segment segment;
    std::vector<std::vector<Bytes>> groups;
};
const std::vector<OrderCase>& orderCases();
// A collating sequence that reverses the byte order.
const wbtrv::CollatingSequence& reversedSequence();

// The layout most tests use: 16-byte records; key 0 a 4-byte autoincrement at
// offset 0, key 1 a 2-byte integer at 4 (duplicates, modifiable), key 2 a
// 4-byte unsigned binary at 6 (unique, modifiable), payload from 10.
struct Standard {
    static constexpr std::uint16_t recordLength = 16;
    static Bytes createBuffer();
    static Bytes record(std::int32_t id, std::int16_t group, std::uint32_t code, std::uint8_t fill = 0);
};

// Each test gets an empty folder and leaves the record manager with no open files.
class BtrieveTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    // Creates a file of the standard layout and opens `block` on it.
    void openStandard(Block& block, const std::string& name = "standard.dat");
    std::filesystem::path dir_;
};

// The engines a test of the record manager's promises runs on.
enum class Engine { SQLite, Server };
inline void PrintTo(Engine engine, std::ostream* out) { *out << (engine == Engine::SQLite ? "SQLite" : "Server"); }

// A test on each engine: on the server every file of the test lives in a
// schema of its own, made for the test and dropped after it, on the server
// GRIM_TEST_PG names (scripts/with-postgres starts one); without it the
// server's cases are skipped.
class EngineTest : public BtrieveTest, public ::testing::WithParamInterface<Engine> {
protected:
    void SetUp() override;
    void TearDown() override;
    bool onServer() const { return GetParam() == Engine::Server; }
    std::optional<test_support::ServerSchema> schema_;
};

}  // namespace btrieve_test
