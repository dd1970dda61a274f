#include "btrieve_fixture.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <string_view>
#include <tuple>

namespace btrieve_test {

Bytes createBuffer(std::uint16_t recordLength, std::vector<wbtrv::SegmentEntry> keys) {
    wbtrv::CreateEntries entries;
    entries.recordLength = recordLength;
    for (wbtrv::SegmentEntry& k : keys) {
        k.flags |= B_KEY_EXTENDED_TYPE;
        entries.keys.push_back({k});
    }
    return wbtrv::buildCreateBuffer(entries);
}

std::int16_t createFile(const std::string& path, const Bytes& buffer, std::int8_t mode) {
    Bytes data = buffer;
    std::uint32_t length = static_cast<std::uint32_t>(data.size());
    Bytes name(path.begin(), path.end());
    name.push_back(0);
    Block block{};
    return BTRCALL(B_CREATE, block.data(), data.data(), &length, name.data(), static_cast<std::uint8_t>(name.size()),
                   mode);
}

std::int16_t openFile(Block& block, const std::string& path, std::int8_t mode) {
    Bytes name(path.begin(), path.end());
    name.push_back(0);
    std::uint32_t length = 0;
    return BTRCALL(B_OPEN, block.data(), nullptr, &length, name.data(), static_cast<std::uint8_t>(name.size()), mode);
}

std::int16_t Call::run(std::uint16_t operation, Block& block, std::int8_t keyNumber) {
    length = static_cast<std::uint32_t>(data.size());
    return BTRCALL(operation, block.data(), data.data(), &length, key.data(), static_cast<std::uint8_t>(key.size()),
                   keyNumber);
}

Bytes fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void runSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

std::vector<Bytes> readAll(Block& block, std::int16_t& status, std::size_t recordLength) {
    std::vector<Bytes> found;
    Call call{Bytes(recordLength)};
    for (status = call.run(B_GET_FIRST, block, 0); status == B_NO_ERROR; status = call.run(B_GET_NEXT, block, 0))
        found.push_back(call.data);
    if (status == B_END_OF_FILE) status = B_NO_ERROR;
    return found;
}

std::map<std::int64_t, Bytes> recordsByPosition(Block& block, std::size_t recordLength) {
    std::map<std::int64_t, Bytes> found;
    Call call{Bytes(recordLength)};
    std::int16_t status = call.run(B_STEP_FIRST, block, 0);
    for (; status == B_NO_ERROR; status = call.run(B_STEP_NEXT, block, 0)) {
        Call position{Bytes(4)};
        EXPECT_EQ(position.run(B_GET_POSITION, block, 0), B_NO_ERROR);
        found[wbtrv::client::recordAt({position.data[0], position.data[1], position.data[2], position.data[3]})] =
            call.data;
    }
    EXPECT_EQ(status, B_END_OF_FILE);
    return found;
}

std::map<std::int64_t, Bytes> replayJournal(const std::string& file, std::optional<std::int64_t> record) {
    std::map<std::int64_t, Bytes> records;
    std::uint64_t last = 0;
    wbtrv::client::JournalQuery oldestFirst;
    oldestFirst.order = wbtrv::client::JournalOrder::OldestFirst;
    oldestFirst.record = record;
    const auto status = wbtrv::client::readJournal(file, oldestFirst, [&](wbtrv::client::JournalEntry&& e) {
        SCOPED_TRACE("journal entry " + std::to_string(e.sequence) + " of record " + std::to_string(e.record));
        EXPECT_FALSE(e.damaged);
        EXPECT_GT(e.sequence, last);
        last = e.sequence;
        const auto it = records.find(e.record);
        const std::optional<Bytes> now = it == records.end() ? std::nullopt : std::optional(it->second);
        EXPECT_EQ(e.before, now) << "the change does not start from the record as it stood";
        EXPECT_EQ(e.after.has_value(), e.operation != B_DELETE);
        EXPECT_EQ(e.before.has_value(), e.operation != B_INSERT);
        if (e.after)
            records[e.record] = *e.after;
        else
            records.erase(e.record);
        return true;
    });
    EXPECT_EQ(status, B_NO_ERROR);
    return records;
}

int trials(int fallback) {
    const char* text = std::getenv("BTRIEVE_TRIALS");
    return text && *text ? std::atoi(text) : fallback;
}

void putInt(Bytes& record, std::size_t offset, std::size_t length, std::int64_t value) {
    wbtrv::writeLittleEndian(record.data() + offset, length, static_cast<std::uint64_t>(value));
}

std::int64_t getInt(const Bytes& record, std::size_t offset, std::size_t length, bool isSigned) {
    return isSigned ? wbtrv::readSignedLittleEndian(record.data() + offset, length)
                    : static_cast<std::int64_t>(wbtrv::readLittleEndian(record.data() + offset, length));
}

namespace {

template <typename T>
int order(const T& a, const T& b) {
    return a < b ? -1 : b < a ? 1 : 0;
}

// NaN above everything, -0 equal to +0.
int floatOrder(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return order(std::isnan(a), std::isnan(b));
    return order(a, b);
}

double bfloatValue(const std::uint8_t* p, std::size_t n) {
    const std::size_t bits = 8 * (n - 1);
    if (p[n - 1] == 0) return 0;
    std::uint64_t mantissa = wbtrv::readLittleEndian(p, n - 1);
    const bool negative = (mantissa >> (bits - 1)) & 1;
    mantissa |= std::uint64_t{1} << (bits - 1);  // the leading 1 the sign bit stands in for
    const double v = std::ldexp(static_cast<double>(mantissa), p[n - 1] - 128 - static_cast<int>(bits));
    return negative ? -v : v;
}

// Decimal and money: packed digits, the last nibble the sign; numeric: ASCII
// digits, the last one overpunched with its sign; numeric with a trailing sign byte.
int ascii(std::uint8_t c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

std::int64_t numberValue(const Segment& s, const std::uint8_t* p) {
    const bool packed = s.type == B_TYPE_DECIMAL || s.type == B_TYPE_MONEY;
    const std::uint8_t last = p[s.length - 1];
    const bool overpunched = s.type == B_TYPE_NUMERIC && (last == '{' || last == '}' || (last >= 'A' && last <= 'R'));
    std::int64_t v = 0;
    for (std::size_t i = 0; i + 1 < (packed ? 2u : 1u) * s.length; ++i)
        v = v * 10 + (packed ? (i % 2 ? p[i / 2] & 0xF : p[i / 2] >> 4) : ascii(p[i]));
    const bool negative = packed                     ? (last & 0xF) == 0xD
                          : s.type == B_TYPE_NUMERIC ? overpunched && (last == '}' || (last >= 'J' && last <= 'R'))
                                                     : last == '-';
    if (s.type == B_TYPE_NUMERIC)
        v = v * 10 + (!overpunched ? ascii(last) : last == '{' || last == '}' ? 0 : (last - 'A') % 9 + 1);
    return negative ? -v : v;
}

// The bytes of a string type that count, as they sort.
Bytes text(const Segment& s, const std::uint8_t* p) {
    const std::uint8_t* begin = p;
    const std::uint8_t* end = p + s.length;
    if (s.type == B_TYPE_LSTRING) {
        begin = p + 1;
        end = begin + std::min<std::size_t>(p[0], s.length - 1u);
    } else if (s.type == B_TYPE_ZSTRING) {
        end = std::find(p, end, 0);
    }
    Bytes out;
    for (const std::uint8_t* c = begin; c != end; ++c) {
        std::uint8_t b = *c;
        if (s.sequence)
            b = s.sequence->table[b];
        else if ((s.flags & B_KEY_NOCASE) && b >= 'a' && b <= 'z')
            b = static_cast<std::uint8_t>(b - 32);
        out.push_back(b);
    }
    return out;
}

int ascending(const Segment& s, const std::uint8_t* a, const std::uint8_t* b) {
    const std::size_t n = s.length;
    switch (s.type) {
        case B_TYPE_STRING:
        case B_TYPE_LSTRING:
        case B_TYPE_ZSTRING:
            return order(text(s, a), text(s, b));
        case B_TYPE_INTEGER:
        case B_TYPE_AUTOINCREMENT:
            return order(wbtrv::readSignedLittleEndian(a, n), wbtrv::readSignedLittleEndian(b, n));
        case B_TYPE_UNSIGNED_BINARY:
        case B_TYPE_LOGICAL:
            return order(wbtrv::readLittleEndian(a, n), wbtrv::readLittleEndian(b, n));
        case B_TYPE_FLOAT: {
            auto value = [n](const std::uint8_t* p) {
                const std::uint64_t bits = wbtrv::readLittleEndian(p, n);
                return n == 4 ? double{std::bit_cast<float>(static_cast<std::uint32_t>(bits))}
                              : std::bit_cast<double>(bits);
            };
            return floatOrder(value(a), value(b));
        }
        case B_TYPE_BFLOAT:
            return floatOrder(bfloatValue(a, n), bfloatValue(b, n));
        case B_TYPE_DATE:  // day, month, year: ordered by year, month, day
            return order(std::make_tuple(wbtrv::readSignedLittleEndian(a + 2, 2), a[1], a[0]),
                         std::make_tuple(wbtrv::readSignedLittleEndian(b + 2, 2), b[1], b[0]));
        case B_TYPE_TIME:  // hundredths, seconds, minutes, hours
            return order(std::make_tuple(a[3], a[2], a[1], a[0]), std::make_tuple(b[3], b[2], b[1], b[0]));
        default:
            return order(numberValue(s, a), numberValue(s, b));
    }
}

}  // namespace

int compareSegment(const Segment& s, const std::uint8_t* a, const std::uint8_t* b) {
    const int c = ascending(s, a, b);
    return (s.flags & B_KEY_DESCENDING) ? -c : c;
}

int compareKey(const std::vector<Segment>& key, const std::uint8_t* a, const std::uint8_t* b) {
    for (const Segment& s : key) {
        if (const int c = compareSegment(s, a, b); c != 0) return c;
        a += s.length;
        b += s.length;
    }
    return 0;
}

namespace {

// The old binary float format of `length` bytes for a value.
Bytes bfloatBytes(double value, std::size_t length) {
    Bytes out(length, 0);
    if (value == 0) return out;
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);  // in [0.5, 1)
    const std::size_t bits = 8 * (length - 1);
    std::uint64_t mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, static_cast<int>(bits)));
    mantissa &= ~(std::uint64_t{1} << (bits - 1));
    if (value < 0) mantissa |= std::uint64_t{1} << (bits - 1);
    wbtrv::writeLittleEndian(out.data(), length - 1, mantissa);
    out[length - 1] = static_cast<std::uint8_t>(exponent + 128);
    return out;
}

Bytes le(std::int64_t v, std::size_t n) {
    Bytes b(n);
    wbtrv::writeLittleEndian(b.data(), n, static_cast<std::uint64_t>(v));
    return b;
}
Bytes f32(float v) { return le(std::bit_cast<std::uint32_t>(v), 4); }
Bytes f64(double v) { return le(static_cast<std::int64_t>(std::bit_cast<std::uint64_t>(v)), 8); }
Bytes text(std::string_view t) { return Bytes(t.begin(), t.end()); }
Bytes date(int day, int month, int year) {
    return {static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month), static_cast<std::uint8_t>(year),
            static_cast<std::uint8_t>(year >> 8)};
}

}  // namespace

const wbtrv::CollatingSequence& reversedSequence() {
    static const wbtrv::CollatingSequence sequence = [] {
        wbtrv::CollatingSequence s{"REVERSE", {}};
        for (int b = 0; b < 256; ++b) s.table[b] = static_cast<std::uint8_t>(255 - b);
        return s;
    }();
    return sequence;
}

const std::vector<OrderCase>& orderCases() {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    using namespace std::string_view_literals;
    static const std::vector<OrderCase> cases = {
        {"integer", {0, 2, B_TYPE_INTEGER}, {{le(-32768, 2)}, {le(-256, 2)}, {le(-1, 2)}, {le(0, 2)}, {le(255, 2)}}},
        {"integer 8", {0, 8, B_TYPE_INTEGER}, {{le(INT64_MIN, 8)}, {le(-1, 8)}, {le(0, 8)}, {le(INT64_MAX, 8)}}},
        {"unsigned", {0, 2, B_TYPE_UNSIGNED_BINARY}, {{le(0, 2)}, {le(255, 2)}, {le(256, 2)}, {le(65535, 2)}}},
        {"unsigned 8 descending",
         {0, 8, B_TYPE_UNSIGNED_BINARY, B_KEY_DESCENDING},
         {{le(-1, 8)}, {le(INT64_MIN, 8)}, {le(1, 8)}, {le(0, 8)}}},
        {"autoincrement", {0, 4, B_TYPE_AUTOINCREMENT}, {{le(-5, 4)}, {le(1, 4)}, {le(2, 4)}, {le(INT32_MAX, 4)}}},
        {"logical", {0, 2, B_TYPE_LOGICAL}, {{le(0, 2)}, {le(1, 2)}, {le(256, 2)}}},
        {"float",
         {0, 4, B_TYPE_FLOAT},
         {{f32(-inf)}, {f32(-1.5f)}, {f32(-0.0f), f32(0.0f)}, {f32(1e-30f)}, {f32(2)}, {f32(inf)}, {f32(nan)}}},
        {"double descending",
         {0, 8, B_TYPE_FLOAT, B_KEY_DESCENDING},
         {{f64(nan), f64(-nan)}, {f64(inf)}, {f64(1)}, {f64(0.0), f64(-0.0)}, {f64(-1e300)}}},
        {"bfloat",
         {0, 4, B_TYPE_BFLOAT},
         {{bfloatBytes(-3, 4)},
          {bfloatBytes(-0.5, 4)},
          {bfloatBytes(0, 4), Bytes{0, 0, 0x80, 0}},
          {bfloatBytes(0.5, 4)},
          {bfloatBytes(1, 4)},
          {bfloatBytes(1e5, 4)}}},
        {"string",
         {0, 3, B_TYPE_STRING},
         {{text("A\0\0"sv)}, {text("A  ")}, {text("AB ")}, {text("Ab ")}, {text("a  ")}, {text("\xE9  ")}}},
        {"string without case",
         {0, 3, B_TYPE_STRING, B_KEY_NOCASE},
         {{text("abc"), text("ABC"), text("aBc")}, {text("abd")}, {text("ab_")}, {text("\xE9  ")}}},
        {"string through a collating sequence",
         {0, 2, B_TYPE_STRING, B_KEY_ALT_COLLATING, &reversedSequence()},
         {{text("zz")}, {text("za")}, {text("az")}, {text("aa")}}},
        {"lstring",
         {0, 4, B_TYPE_LSTRING},
         {{text("\0xyz"sv), text("\0\0\0\0"sv)},
          {text("\2ab\0"sv), text("\2abz"sv)},
          {text("\3ab\0"sv)},
          {text("\3abc"sv), text("\11abc"sv)},
          {text("\1b\0\0"sv)}}},
        {"zstring",
         {0, 4, B_TYPE_ZSTRING},
         {{text("\0abc"sv), text("\0\0\0\0"sv)},
          {text("ab\0x"sv), text("ab\0\0"sv)},
          {text("abc\0"sv)},
          {text("abcd")},
          {text("b\0\0\0"sv)}}},
        {"date",
         {0, 4, B_TYPE_DATE},
         {{date(31, 12, -1)}, {date(1, 1, 1999)}, {date(2, 1, 1999)}, {date(1, 2, 1999)}, {date(1, 1, 2000)}}},
        {"time",
         {0, 4, B_TYPE_TIME},
         {{Bytes{99, 0, 0, 0}}, {Bytes{0, 1, 0, 0}}, {Bytes{0, 0, 1, 0}}, {Bytes{0, 0, 0, 1}}}},
        {"decimal",
         {0, 2, B_TYPE_DECIMAL},
         {{Bytes{0x12, 0x3D}},
          {Bytes{0x00, 0x5D}},
          {Bytes{0x00, 0x0C}, Bytes{0x00, 0x0D}, Bytes{0x00, 0x0F}},
          {Bytes{0x00, 0x5F}},
          {Bytes{0x01, 0x0C}},
          {Bytes{0x12, 0x3F}}}},
        {"money descending",
         {0, 2, B_TYPE_MONEY, B_KEY_DESCENDING},
         {{Bytes{0x12, 0x3C}}, {Bytes{0x00, 0x5C}}, {Bytes{0x00, 0x0C}}, {Bytes{0x00, 0x5D}}}},
        {"numeric",
         {0, 3, B_TYPE_NUMERIC},
         {{text("01R")},
          {text("00J")},
          {text("00{"), text("00}"), text("000")},
          {text("00A"), text("001")},
          {text("01{")}}},
        {"numeric with a trailing sign",
         {0, 3, B_TYPE_NUMERIC_STS},
         {{text("12-")}, {text("01-")}, {text("00-"), text("00+")}, {text("01+")}, {text("12+")}}},
    };
    return cases;
}

Bytes Standard::createBuffer() {
    return btrieve_test::createBuffer(recordLength, {{1, 4, 0, B_TYPE_AUTOINCREMENT},
                                                     {5, 2, B_KEY_DUPLICATES | B_KEY_MODIFIABLE, B_TYPE_INTEGER},
                                                     {7, 4, B_KEY_MODIFIABLE, B_TYPE_UNSIGNED_BINARY}});
}

Bytes Standard::record(std::int32_t id, std::int16_t group, std::uint32_t code, std::uint8_t fill) {
    Bytes r(recordLength, fill);
    putInt(r, 0, 4, id);
    putInt(r, 4, 2, group);
    putInt(r, 6, 4, code);
    return r;
}

void BtrieveTest::SetUp() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/btrieve-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
}

void BtrieveTest::TearDown() {
    wbtrv::client::reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void EngineTest::SetUp() {
    BtrieveTest::SetUp();
    if (!onServer()) return;
    if (!test_support::ServerSchema::available())
        GTEST_SKIP() << "GRIM_TEST_PG is not set: no PostgreSQL server to test on";
    schema_.emplace();
}

void EngineTest::TearDown() {
    BtrieveTest::TearDown();
    schema_.reset();
}

INSTANTIATE_TEST_SUITE_P(Engines, EngineTest, ::testing::Values(Engine::SQLite, Engine::Server),
                         [](const auto& info) { return info.param == Engine::SQLite ? "SQLite" : "Server"; });

void BtrieveTest::openStandard(Block& block, const std::string& name) {
    ASSERT_EQ(createFile(path(name), Standard::createBuffer()), B_NO_ERROR);
    ASSERT_EQ(openFile(block, path(name)), B_NO_ERROR);
}

}  // namespace btrieve_test
