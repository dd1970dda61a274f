// Whatever a caller passes, the answer is a status: no crash, no write
// outside the given lengths, and files that are not ours stay untouched.
#include "btrieve_fixture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <random>

namespace btrieve_test {
namespace {

TEST_P(EngineTest, PositionBlocksWeDidNotSetUpGet3) {
    Block open{};
    openStandard(open);
    Call insert{Standard::record(0, 1, 1)};
    ASSERT_EQ(insert.run(B_INSERT, open, 0), B_NO_ERROR);

    Block stale{};
    ASSERT_EQ(openFile(stale, path("standard.dat")), B_NO_ERROR);
    const Block staleCopy = stale;
    ASSERT_EQ(BTRCALL(B_CLOSE, stale.data(), nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    Block random{};
    std::mt19937 rng(3);
    for (auto& b : random) b = static_cast<std::uint8_t>(rng());

    const std::pair<const char*, Block> blocks[] = {
        {"zeroed", Block{}},
        {"random", random},
        {"closed", staleCopy},
        {"copy of an open block", open},
    };
    for (const auto& [name, original] : blocks) {
        for (std::uint16_t op : {B_CLOSE, B_INSERT, B_UPDATE, B_DELETE, B_GET_EQUAL, B_GET_NEXT, B_GET_PREVIOUS,
                                 B_GET_FIRST, B_GET_LAST, B_STAT, B_SET_OWNER, B_CLEAR_OWNER, B_CREATE_INDEX,
                                 B_DROP_INDEX, B_GET_BY_PERCENTAGE, B_FIND_PERCENTAGE}) {
            SCOPED_TRACE(std::string(name) + ", operation " + std::to_string(op));
            Block block = original;
            Call call{Standard::record(0, 1, 2)};
            EXPECT_EQ(call.run(op, block, 0), B_FILE_NOT_OPEN);
            EXPECT_EQ(block, original);
        }
    }
    // The original block still works, and nothing was added through a copy.
    Call call{Bytes(Standard::recordLength)};
    ASSERT_EQ(call.run(B_GET_LAST, open, 0), B_NO_ERROR);
    EXPECT_EQ(getInt(call.data, 0, 4), 1);
}

TEST_P(EngineTest, NullAndShortBuffersGetAStatus) {
    Block block{};
    openStandard(block);
    struct Case {
        const char* name;
        std::uint16_t op;
        bool data;
        char length;  // 'n' no length, 'r' the record length, '0' zero
        char key;     // 'n' no key buffer, '0' a zeroed one, 'x' the file name "x"
        std::uint8_t keyLength;
        std::int8_t keyNumber;
        std::int16_t status;
    };
    const Case cases[] = {
        {"insert without data", B_INSERT, false, 'r', '0', 255, 0, B_DATA_BUFFER_TOO_SHORT},
        {"insert without length", B_INSERT, true, 'n', '0', 255, 0, B_DATA_BUFFER_TOO_SHORT},
        {"insert without key buffer", B_INSERT, true, 'r', 'n', 255, 0, B_KEY_BUFFER_TOO_SHORT},
        {"insert with a short key buffer", B_INSERT, true, 'r', '0', 3, 0, B_KEY_BUFFER_TOO_SHORT},
        {"get first without data", B_GET_FIRST, false, 'n', '0', 255, 0, B_DATA_BUFFER_TOO_SHORT},
        {"get equal with a short key", B_GET_EQUAL, true, 'r', '0', 1, 1, B_KEY_BUFFER_TOO_SHORT},
        {"get equal without key", B_GET_EQUAL, true, 'r', 'n', 4, 0, B_KEY_BUFFER_TOO_SHORT},
        {"stat without data", B_STAT, false, 'n', 'n', 0, 0, B_DATA_BUFFER_TOO_SHORT},
        {"open without name", B_OPEN, false, 'n', 'n', 0, 0, B_INVALID_FILE_NAME},
        {"open with an empty name", B_OPEN, false, 'n', '0', 255, 0, B_INVALID_FILE_NAME},
        {"create without buffer", B_CREATE, false, 'n', 'x', 2, 0, B_DATA_BUFFER_TOO_SHORT},
        {"get by percentage without data", B_GET_BY_PERCENTAGE, false, 'n', '0', 255, 0, B_DATA_BUFFER_TOO_SHORT},
        {"get by percentage with a short key", B_GET_BY_PERCENTAGE, true, 'r', '0', 3, 0, B_KEY_BUFFER_TOO_SHORT},
        {"find percentage without data", B_FIND_PERCENTAGE, false, 'n', '0', 255, -1, B_DATA_BUFFER_TOO_SHORT},
        {"find percentage without key", B_FIND_PERCENTAGE, true, 'r', 'n', 255, 1, B_KEY_BUFFER_TOO_SHORT},
        {"set owner without key buffer", B_SET_OWNER, true, 'r', 'n', 255, 0, B_INVALID_OWNER},
        {"create index without data", B_CREATE_INDEX, false, 'n', 'n', 0, 0, B_DATA_BUFFER_TOO_SHORT},
        {"set directory without key", B_SET_DIRECTORY, false, 'n', 'n', 0, 0, B_INVALID_FILE_NAME},
        {"get directory into one byte", B_GET_DIRECTORY, false, 'n', '0', 1, 0, B_KEY_BUFFER_TOO_SHORT},
    };
    for (const Case& c : cases) {
        Bytes record = Standard::record(0, 1, 1);
        Bytes key(BTR_MAX_KEY_LENGTH, 0);
        if (c.key == 'x') key[0] = 'x';
        std::uint32_t length = c.length == 'r' ? Standard::recordLength : 0;
        EXPECT_EQ(BTRCALL(c.op, block.data(), c.data ? record.data() : nullptr, c.length == 'n' ? nullptr : &length,
                          c.key == 'n' ? nullptr : key.data(), c.keyLength, c.keyNumber),
                  c.status)
            << c.name;
    }
    EXPECT_EQ(BTRCALL(B_GET_NEXT, nullptr, nullptr, nullptr, nullptr, 0, 0), B_FILE_NOT_OPEN) << "everything null";
}

// A caller's buffer of exactly its length, ending where an unmapped page
// begins: a read or write past its end faults at once, sanitizer or not.
class GuardedBuffer {
public:
    explicit GuardedBuffer(const Bytes& bytes) : page_(static_cast<std::size_t>(sysconf(_SC_PAGESIZE))) {
        mapped_ = (bytes.size() + page_ - 1) / page_ * page_ + page_;
        base_ = static_cast<std::uint8_t*>(
            mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        mprotect(base_ + mapped_ - page_, page_, PROT_NONE);
        data_ = base_ + mapped_ - page_ - bytes.size();
        std::copy(bytes.begin(), bytes.end(), data_);
    }
    ~GuardedBuffer() { munmap(base_, mapped_); }
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;
    std::uint8_t* data() const { return data_; }

private:
    std::size_t page_, mapped_;
    std::uint8_t* base_;
    std::uint8_t* data_;
};

// Requests of the extended reads and Insert Extended cut short at every
// length, and requests whose own length says less than they hold: each gets
// its status, and nothing is read or written past the data length.
TEST_P(EngineTest, ExtendedBuffersCutShortGetTheirStatus) {
    Block block{};
    openStandard(block);
    Bytes records{3, 0};
    for (std::uint32_t code : {7u, 8u, 9u}) {
        const Bytes r = Standard::record(0, 1, code);
        records.insert(records.end(), {Standard::recordLength, 0});
        records.insert(records.end(), r.begin(), r.end());
    }
    wbtrv::client::ExtendedRequest request = wbtrv::client::ExtendedRequest::wholeRecords(Standard::recordLength, 2);
    wbtrv::client::FilterTerm& code = request.terms.emplace_back();
    code.type = B_TYPE_UNSIGNED_BINARY;
    code.offset = 6;
    code.length = 4;
    code.compare = wbtrv::client::Compare::Greater;
    code.value = Bytes(4);
    const Bytes descriptor = request.descriptor();
    const std::uint32_t answer = request.answerLength();
    Bytes key(BTR_MAX_KEY_LENGTH);
    const auto call = [&](std::uint16_t op, const Bytes& bytes) {
        GuardedBuffer buffer(bytes);
        auto length = static_cast<std::uint32_t>(bytes.size());
        return BTRCALL(op, block.data(), buffer.data(), &length, key.data(), BTR_MAX_KEY_LENGTH, 0);
    };
    for (std::size_t k = 0; k < records.size(); ++k) {
        SCOPED_TRACE("Insert Extended of " + std::to_string(k) + " bytes");
        EXPECT_EQ(call(B_INSERT_EXTENDED, Bytes(records.begin(), records.begin() + k)), B_INVALID_INSERT_BUFFER);
    }
    ASSERT_EQ(call(B_INSERT_EXTENDED, records), B_NO_ERROR);
    for (std::uint32_t k = 0; k <= answer; ++k) {
        SCOPED_TRACE("Step Previous Extended of " + std::to_string(k) + " bytes");
        Bytes bytes(descriptor.begin(), descriptor.begin() + std::min<std::size_t>(k, descriptor.size()));
        bytes.resize(k);
        const std::int16_t expected = k < descriptor.size() ? B_INCORRECT_DESCRIPTOR
                                      : k < answer          ? B_DATA_BUFFER_TOO_SMALL
                                                            : B_NO_ERROR;
        EXPECT_EQ(call(B_STEP_PREVIOUS_EXTENDED, bytes), expected);
        // The same bytes saying they are all the request: it runs past its own length.
        if (k < 2 || k >= descriptor.size()) continue;
        putInt(bytes, 0, 2, k);
        EXPECT_EQ(call(B_STEP_PREVIOUS_EXTENDED, bytes), B_INCORRECT_DESCRIPTOR);
    }
}

TEST_P(EngineTest, UnknownOperationsAndOpenModes) {
    Block block{};
    openStandard(block);
    Call call{Standard::record(0, 1, 1)};
    for (std::uint16_t op : {16, 73, 99, 102, 125, 1000, 1619, 65535})
        EXPECT_EQ(call.run(op, block, 0), B_INVALID_OPERATION) << op;
    Call version{Bytes(4)};
    EXPECT_EQ(version.run(B_VERSION, block, 0), B_DATA_BUFFER_TOO_SHORT);
    version.data.resize(5);
    EXPECT_EQ(version.run(B_VERSION, block, 0), B_NO_ERROR);
    EXPECT_EQ(version.length, 5u);
    Block other{};
    for (std::int8_t mode : {1, 2, -5, 100, -128})
        EXPECT_EQ(openFile(other, path("standard.dat"), mode), B_INCOMPATIBLE_MODE) << int(mode);
}

TEST_P(EngineTest, FileNamesWithoutAZeroWithinTheKeyLength) {
    const std::string name = path("standard.dat");
    ASSERT_EQ(createFile(name, Standard::createBuffer()), B_NO_ERROR);
    // The key buffer holds the name with its zero, but the key length stops short of it.
    Bytes key(name.begin(), name.end());
    key.push_back(0);
    Block block{};
    EXPECT_EQ(BTRCALL(B_OPEN, block.data(), nullptr, nullptr, key.data(), static_cast<std::uint8_t>(name.size()), 0),
              B_INVALID_FILE_NAME);
    Bytes buffer = Standard::createBuffer();
    std::uint32_t length = static_cast<std::uint32_t>(buffer.size());
    EXPECT_EQ(
        BTRCALL(B_CREATE, block.data(), buffer.data(), &length, key.data(), static_cast<std::uint8_t>(name.size()), 0),
        B_INVALID_FILE_NAME);
    // A name made to break out of a quoted string is only a name: not found, and nothing changes.
    for (const char* missing : {"missing.dat", "no-such-folder/x.dat", "x'); DROP TABLE wbtrv_files; --"})
        EXPECT_EQ(openFile(block, path(missing)), B_FILE_NOT_FOUND) << missing;
    EXPECT_EQ(createFile(path("x'); DROP TABLE wbtrv_files; --"), Standard::createBuffer(), -1), B_NO_ERROR);
    EXPECT_EQ(openFile(block, name), B_NO_ERROR);
}

// Files that are not ours: refused on Open and left byte for byte as they were.
TEST_F(BtrieveTest, ForeignFilesAreRefusedAndLeftUnchanged) {
    std::ofstream(path("empty.dat")).close();
    std::ofstream(path("text.dat")) << "Room 1: a dark cave.\r\nRoom 2: a bright hall.\r\n";
    Bytes noise(8192);
    std::mt19937 rng(11);
    for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
    writeFileBytes(path("random.dat"), noise);
    runSql(path("other.dat"),
           "CREATE TABLE rooms(id INTEGER PRIMARY KEY, name TEXT); INSERT INTO rooms VALUES(1,'x');");
    for (auto [name, sql] : {std::pair{"v2.dat", "UPDATE metadata_t SET version = 2;"},
                             {"columns.dat", "DELETE FROM keys_t WHERE number = 1;"},
                             {"cut.dat", ""}}) {
        ASSERT_EQ(createFile(path(name), Standard::createBuffer()), B_NO_ERROR);
        runSql(path(name), std::string(sql) + "PRAGMA journal_mode=DELETE;");
    }
    Bytes cut = fileBytes(path("cut.dat"));
    cut.resize(cut.size() / 3);
    writeFileBytes(path("cut.dat"), cut);
    for (const char* name : {"empty.dat", "text.dat", "random.dat", "other.dat", "v2.dat", "columns.dat", "cut.dat"}) {
        SCOPED_TRACE(name);
        const Bytes before = fileBytes(path(name));
        for (std::int8_t mode : {B_MODE_NORMAL, B_MODE_READ_ONLY, B_MODE_EXCLUSIVE}) {
            Block block{};
            EXPECT_EQ(openFile(block, path(name), mode), B_NOT_A_DATA_FILE);
            Call call{Bytes(Standard::recordLength)};
            EXPECT_EQ(call.run(B_GET_FIRST, block, 0), B_FILE_NOT_OPEN);
        }
        std::string message;
        EXPECT_EQ(verify(path(name), message), B_NOT_A_DATA_FILE) << message;
        EXPECT_EQ(fileBytes(path(name)), before);
        EXPECT_FALSE(std::filesystem::exists(path(name) + "-journal"));
    }
}

// Create buffers with one 2-byte field set to each of `values` (and key 0's
// type byte set when `type` is not -1): refused with `status`, or made.
struct CreateCase {
    const char* name;
    std::size_t at;
    std::vector<std::int64_t> values;
    std::int16_t status;
    int type = -1;
};

constexpr std::size_t key0 = BTR_FILE_ENTRY_SIZE;
constexpr std::int64_t extended = B_KEY_EXTENDED_TYPE;
const CreateCase createCases[] = {
    {"record length", 0, {3, 0}, B_INVALID_RECORD_LENGTH},
    {"page size", 2, {0, 1000, 16896}, B_PAGE_SIZE_ERROR},
    {"number of keys", 4, {0, 120}, B_INVALID_NUMBER_OF_KEYS},
    {"more keys than the buffer holds", 4, {4}, B_DATA_BUFFER_TOO_SHORT},
    {"key position", key0, {0, 14}, B_INVALID_KEY_POSITION},
    {"autoincrement length", key0 + 2, {0, 8}, B_INVALID_KEY_LENGTH},
    {"integer length", key0 + 2, {3}, B_INVALID_KEY_LENGTH, B_TYPE_INTEGER},
    {"date length", key0 + 2, {2}, B_INVALID_KEY_LENGTH, B_TYPE_DATE},
    {"lstring length", key0 + 2, {1}, B_INVALID_KEY_LENGTH, B_TYPE_LSTRING},
    {"note key", key0 + 2, {4}, B_KEY_TYPE_ERROR, B_TYPE_NOTE},
    {"bit key", key0 + 2, {4}, B_KEY_TYPE_ERROR, B_TYPE_BIT},
    {"unknown type", key0 + 2, {4}, B_KEY_TYPE_ERROR, 200},
    {"segmented key whose segments run out", key0 + 4, {extended | B_KEY_SEGMENTED}, B_DATA_BUFFER_TOO_SHORT},
    {"descending autoincrement or with duplicates",
     key0 + 4,
     {extended | B_KEY_DESCENDING, extended | B_KEY_DUPLICATES},
     B_KEY_TYPE_ERROR},
    {"case-insensitive integer", key0 + 4, {extended | B_KEY_NOCASE}, B_INCONSISTENT_KEY_FLAGS},
    {"string with a collating sequence the buffer lacks",
     key0 + 4,
     {extended | B_KEY_ALT_COLLATING},
     B_INVALID_COLLATING_SEQUENCE,
     B_TYPE_STRING},
    {"string key", key0 + 2, {4}, B_NO_ERROR, B_TYPE_STRING},
    {"no extended type: a string; binary: unsigned", key0 + 4, {0, B_KEY_BINARY}, B_NO_ERROR},
};

TEST_P(EngineTest, BadCreateBuffersAreRefusedAndCreateNothing) {
    int made = 0;
    auto expectCreate = [&](const Bytes& buffer, std::int16_t status) {
        const std::string name = path("made" + std::to_string(++made) + ".dat");
        EXPECT_EQ(createFile(name, buffer), status);
        Block block{};
        EXPECT_EQ(openFile(block, name), status == B_NO_ERROR ? B_NO_ERROR : B_FILE_NOT_FOUND);
    };
    for (const CreateCase& c : createCases)
        for (std::int64_t value : c.values) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(value));
            Bytes buffer = Standard::createBuffer();
            putInt(buffer, c.at, 2, value);
            if (c.type >= 0) buffer[key0 + 10] = static_cast<std::uint8_t>(c.type);
            expectCreate(buffer, c.status);
        }
    Bytes cut = Standard::createBuffer();
    cut.resize(10);  // inside the file's entry
    expectCreate(cut, B_DATA_BUFFER_TOO_SHORT);
    // Keys 1 and 2 become one key of two segments that differ in duplicates.
    Bytes differ = Standard::createBuffer();
    putInt(differ, 4, 2, 2);
    putInt(differ, key0 + 16 + 4, 2, extended | B_KEY_DUPLICATES | B_KEY_SEGMENTED);
    putInt(differ, key0 + 32 + 4, 2, extended);
    expectCreate(differ, B_INCONSISTENT_KEY_FLAGS);
}

TEST_P(EngineTest, CreateOverExistingFiles) {
    Block block{};
    openStandard(block);
    EXPECT_EQ(createFile(path("standard.dat"), Standard::createBuffer()), B_FILE_IN_USE);
    EXPECT_EQ(createFile(path("standard.dat"), Standard::createBuffer(), -1), B_FILE_ALREADY_EXISTS);
    Call call{Standard::record(0, 1, 1)};
    ASSERT_EQ(call.run(B_INSERT, block, 0), B_NO_ERROR);
    ASSERT_EQ(call.run(B_CLOSE, block, 0), B_NO_ERROR);
    // Replaced: the new file is empty.
    ASSERT_EQ(createFile(path("standard.dat"), Standard::createBuffer()), B_NO_ERROR);
    ASSERT_EQ(openFile(block, path("standard.dat")), B_NO_ERROR);
    EXPECT_EQ(call.run(B_GET_FIRST, block, 0), B_END_OF_FILE);
    if (!onServer()) {
        EXPECT_EQ(createFile(path("no-such-folder/x.dat"), Standard::createBuffer()), B_CREATE_IO_ERROR);
    }
}

}  // namespace
}  // namespace btrieve_test
