// The record manager's C++ client: a handle closes its file when it goes and
// keeps its position block in place when it moves, and every typed call
// reaches the record it names.
#include <wbtrv32/bytes.h>
#include <wbtrv32/client.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "test_support/temp_folder.h"

namespace client_test {
namespace {

namespace client = wbtrv::client;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kRecordLength = 12;

// Key 0 a 4-byte autoincrement at the start; key 1 a 4-byte string after it, modifiable, duplicates allowed.
wbtrv::CreateEntries layout() {
    wbtrv::CreateEntries entries;
    entries.recordLength = kRecordLength;
    entries.keys = {{{1, 4, B_KEY_EXTENDED_TYPE, B_TYPE_AUTOINCREMENT}},
                    {{5, 4, B_KEY_EXTENDED_TYPE | B_KEY_DUPLICATES | B_KEY_MODIFIABLE, B_TYPE_STRING}}};
    return entries;
}

Bytes recordOf(std::int32_t number, const std::string& name) {
    Bytes record(kRecordLength, '.');
    wbtrv::writeLittleEndian(record.data(), 4, static_cast<std::uint32_t>(number));
    std::copy(name.begin(), name.end(), record.begin() + 4);
    return record;
}

Bytes keyOf(std::int32_t number) {
    Bytes key(4);
    wbtrv::writeLittleEndian(key.data(), 4, static_cast<std::uint32_t>(number));
    return key;
}

Bytes text(std::string_view characters) { return {characters.begin(), characters.end()}; }

Bytes current(const client::File& file) { return {file.record().begin(), file.record().end()}; }

class ClientTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(client::create("c.dat", layout(), client::IfExists::Refuse), B_NO_ERROR); }
    test_support::TempFolder folder_;
};

TEST_F(ClientTest, AHandleClosesWhenItGoesAndKeepsItsBlockWhenItMoves) {
    EXPECT_EQ(client::File().open(std::string(BTR_MAX_KEY_LENGTH, 'n')), B_INVALID_FILE_NAME);
    {
        client::File file;
        ASSERT_EQ(file.open("c.dat", client::OpenMode::Exclusive), B_NO_ERROR);
        for (const char* name : {"bbbb", "aaaa"}) {
            Bytes record = recordOf(0, name);
            ASSERT_EQ(file.insert(record), B_NO_ERROR);
        }
        EXPECT_EQ(client::File().open("c.dat"), B_FILE_IN_USE);
    }
    client::File first;
    ASSERT_EQ(first.open("c.dat"), B_NO_ERROR);
    ASSERT_EQ(first.get(client::Move::First, 0), B_NO_ERROR);
    client::File moved = std::move(first);
    EXPECT_EQ(first.get(client::Move::Next, 0), B_FILE_NOT_OPEN);
    first = client::File();  // the moved-from handle goes without closing the moved file
    ASSERT_EQ(moved.get(client::Move::Next, 0), B_NO_ERROR);
    EXPECT_EQ(current(moved), recordOf(2, "aaaa"));
    client::File other;
    ASSERT_EQ(other.open("c.dat"), B_NO_ERROR);
    moved = std::move(other);  // closes what moved had open
    EXPECT_EQ(client::File().open("c.dat", client::OpenMode::Exclusive), B_FILE_IN_USE);
    moved = client::File();
    EXPECT_EQ(client::File().open("c.dat", client::OpenMode::Exclusive), B_NO_ERROR);
}

TEST_F(ClientTest, TypedCallsReachTheRecordsTheyName) {
    client::File file;
    ASSERT_EQ(file.open("c.dat"), B_NO_ERROR);
    for (std::int32_t number : {10, 0, 30}) {  // 0 takes 11, written back into the record
        Bytes record = recordOf(number, number == 30 ? "last" : "some");
        ASSERT_EQ(file.insert(record), B_NO_ERROR);
        EXPECT_EQ(wbtrv::readSignedLittleEndian(record.data(), 4), number == 0 ? 11 : number);
    }
    // Each way of reaching a record, and the record number it must bring back (negative: the status).
    const std::pair<std::function<client::Status()>, std::int32_t> reads[] = {
        {[&] { return file.get(client::Move::Last, 0); }, 30},
        {[&] { return file.get(client::Move::Previous, 0); }, 11},
        {[&] { return file.step(client::Step::First); }, 10},
        {[&] { return file.step(client::Step::Next); }, 11},
        {[&] { return file.find(client::Find::Equal, 0, keyOf(20)); }, -B_KEY_VALUE_NOT_FOUND},
        {[&] { return file.find(client::Find::Greater, 0, keyOf(11)); }, 30},
        {[&] { return file.find(client::Find::GreaterOrEqual, 0, keyOf(11)); }, 11},
        {[&] { return file.find(client::Find::Less, 0, keyOf(11)); }, 10},
        {[&] { return file.find(client::Find::LessOrEqual, 0, keyOf(29)); }, 11},
        {[&] { return file.find(client::Find::Equal, 1, text("last")); }, 30},
        {[&] { return file.find(client::Find::Equal, 0, text("\n")); }, -B_KEY_BUFFER_TOO_SHORT},
        {[&] { return file.get(client::Move::First, 0, client::Lock::SingleNoWait); }, 10},
        {[&] { return file.unlock(); }, 10},
    };
    for (const auto& [read, expected] : reads) {
        const client::Status status = read();
        if (expected < 0) {
            EXPECT_EQ(status, -expected);
        } else {
            EXPECT_EQ(status, B_NO_ERROR);
            EXPECT_EQ(current(file), recordOf(expected, expected == 30 ? "last" : "some"));
        }
    }
    EXPECT_EQ(file.unlock(), B_LOCK_ERROR);

    // Position and direct read; update and delete of the record stood on.
    client::Position position{};
    ASSERT_EQ(file.find(client::Find::Equal, 0, keyOf(30)), B_NO_ERROR);
    ASSERT_EQ(file.getPosition(position), B_NO_ERROR);
    ASSERT_EQ(file.get(client::Move::First, 0), B_NO_ERROR);
    ASSERT_EQ(file.getDirect(position, 0), B_NO_ERROR);
    EXPECT_EQ(current(file), recordOf(30, "last"));
    ASSERT_EQ(file.update(recordOf(30, "new ")), B_NO_ERROR);
    ASSERT_EQ(file.find(client::Find::Equal, 1, text("new ")), B_NO_ERROR);
    ASSERT_EQ(file.remove(), B_NO_ERROR);
    EXPECT_EQ(file.find(client::Find::Equal, 0, keyOf(30)), B_KEY_VALUE_NOT_FOUND);
    // Files in a folder naming no server never load the server's client library.
    EXPECT_EQ(dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD), nullptr);
}

}  // namespace
}  // namespace client_test
