// The record manager's C++ client: a handle closes its file when it goes and
// keeps its position block in place when it moves, and every typed call
// reaches the record it names, checked against a model of the file's records.
#include <wbtrv32/bytes.h>
#include <wbtrv32/client.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
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

Bytes current(const client::File& file) { return {file.record().begin(), file.record().end()}; }

class ClientTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(client::create("c.dat", layout(), client::IfExists::Refuse), B_NO_ERROR); }
    test_support::TempFolder folder_;
};

TEST_F(ClientTest, AHandleClosesWhenItGoesAndKeepsItsBlockWhenItMoves) {
    EXPECT_EQ(client::create("c.dat", layout(), client::IfExists::Refuse), B_FILE_ALREADY_EXISTS);
    EXPECT_EQ(client::describeStatus(B_FILE_NOT_FOUND), "12 (file not found)");
    client::File missing;
    EXPECT_EQ(missing.open("missing.dat"), B_FILE_NOT_FOUND);
    EXPECT_EQ(missing.open(std::string(BTR_MAX_KEY_LENGTH, 'n')), B_INVALID_FILE_NAME);
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
    std::map<std::int32_t, Bytes> model;  // key 0 order
    for (std::int32_t number : {0, 10, 0, 30, 0}) {
        Bytes record = recordOf(number, number == 0 ? "auto" : "set ");
        ASSERT_EQ(file.insert(record), B_NO_ERROR);
        const auto assigned = static_cast<std::int32_t>(wbtrv::readSignedLittleEndian(record.data(), 4));
        EXPECT_EQ(assigned, number == 0 ? (model.empty() ? 1 : model.rbegin()->first + 1) : number);
        model[assigned] = record;
    }
    wbtrv::CreateEntries stated;
    ASSERT_EQ(file.stat(stated), B_NO_ERROR);
    EXPECT_EQ(stated.recordCount, model.size());
    stated.recordCount = 0;
    for (auto& key : stated.keys) key.front().keyNumber = 0;
    EXPECT_EQ(wbtrv::buildCreateBuffer(stated), wbtrv::buildCreateBuffer(layout()));

    const auto walk = [&](client::Status firstStatus, auto next) {
        std::vector<Bytes> seen;
        for (client::Status status = firstStatus; status == B_NO_ERROR; status = next()) seen.push_back(current(file));
        return seen;
    };
    std::vector<Bytes> ascending;
    for (const auto& [number, record] : model) ascending.push_back(record);
    EXPECT_EQ(walk(file.get(client::Move::First, 0), [&] { return file.get(client::Move::Next, 0); }), ascending);
    EXPECT_EQ(walk(file.step(client::Step::First), [&] { return file.step(client::Step::Next); }).size(), model.size());
    const std::vector<Bytes> descending(ascending.rbegin(), ascending.rend());
    EXPECT_EQ(walk(file.get(client::Move::Last, 0), [&] { return file.get(client::Move::Previous, 0); }), descending);

    // Each lookup against the model, for a value present and one between records.
    const std::map<client::Find, std::function<std::map<std::int32_t, Bytes>::const_iterator(std::int32_t)>> lookups{
        {client::Find::Equal, [&](std::int32_t v) { return model.find(v); }},
        {client::Find::Greater, [&](std::int32_t v) { return model.upper_bound(v); }},
        {client::Find::GreaterOrEqual, [&](std::int32_t v) { return model.lower_bound(v); }},
        {client::Find::Less,
         [&](std::int32_t v) {
             auto at = model.lower_bound(v);
             return at == model.begin() ? model.end() : --at;
         }},
        {client::Find::LessOrEqual,
         [&](std::int32_t v) {
             auto at = model.upper_bound(v);
             return at == model.begin() ? model.end() : --at;
         }},
    };
    for (const auto& [how, expected] : lookups)
        for (std::int32_t value : {0, 10, 20, 31, 32}) {
            SCOPED_TRACE("find " + std::to_string(static_cast<int>(how)) + " " + std::to_string(value));
            const auto at = expected(value);
            const client::Status status = file.find(how, 0, keyOf(value));
            EXPECT_EQ(status, at != model.end()            ? B_NO_ERROR
                              : how == client::Find::Equal ? B_KEY_VALUE_NOT_FOUND
                                                           : B_END_OF_FILE);
            if (at != model.end()) {
                EXPECT_EQ(current(file), at->second);
            }
        }
    EXPECT_EQ(file.find(client::Find::Equal, 0, Bytes{1, 0}), B_KEY_BUFFER_TOO_SHORT);
    ASSERT_EQ(file.find(client::Find::Equal, 1, Bytes{'s', 'e', 't', ' '}), B_NO_ERROR);
    EXPECT_EQ(current(file), model.at(10));

    // Position and direct read; update and delete of the record stood on; a transaction undone.
    client::Position position{};
    ASSERT_EQ(file.find(client::Find::Equal, 0, keyOf(30)), B_NO_ERROR);
    ASSERT_EQ(file.getPosition(position), B_NO_ERROR);
    ASSERT_EQ(file.get(client::Move::First, 0), B_NO_ERROR);
    ASSERT_EQ(file.getDirect(position, 0), B_NO_ERROR);
    EXPECT_EQ(current(file), model.at(30));
    ASSERT_EQ(file.update(recordOf(30, "new ")), B_NO_ERROR);
    ASSERT_EQ(file.find(client::Find::Equal, 1, Bytes{'n', 'e', 'w', ' '}), B_NO_ERROR);
    ASSERT_EQ(file.remove(), B_NO_ERROR);
    EXPECT_EQ(file.find(client::Find::Equal, 0, keyOf(30)), B_KEY_VALUE_NOT_FOUND);
    ASSERT_EQ(client::beginTransaction(), B_NO_ERROR);
    Bytes added = recordOf(40, "gone");
    ASSERT_EQ(file.insert(added), B_NO_ERROR);
    ASSERT_EQ(client::abortTransaction(), B_NO_ERROR);
    EXPECT_EQ(file.find(client::Find::Equal, 0, keyOf(40)), B_KEY_VALUE_NOT_FOUND);
    EXPECT_EQ(file.close(), B_NO_ERROR);
    EXPECT_EQ(file.get(client::Move::First, 0), B_FILE_NOT_OPEN);
}

}  // namespace
}  // namespace client_test
