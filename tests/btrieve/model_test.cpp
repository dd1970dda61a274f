// Thousands of random operations over several position blocks on one file
// whose keys cover every key type, several segments, descending, case-
// insensitive and null keys, each checked against a small model of what the
// file and the cursors hold: the Gets by key and by value, key-only Gets,
// Steps, positions, writes, and transactions, each Abort checked against the
// records before its Begin, and at the end the journal replayed against the
// records. The model orders keys by compareKey, written from the published
// order rules, not by the record manager's encoding.
// A failure prints the seed; BTRIEVE_MODEL_SEED=<seed> replays it.
#include "btrieve_fixture.h"
#include "test_support/seed.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <random>
#include <set>

namespace btrieve_test {
namespace {

constexpr int kBlocks = 3;
constexpr int kOperations = 4000;
constexpr std::uint32_t kRecordLength = 87;
constexpr std::size_t kPayload = 82;

struct ModelKey {
    std::vector<Segment> segments;
    std::uint16_t flags;  // duplicates, modifiable, null (all or any segment)
    bool unique() const { return !(flags & B_KEY_DUPLICATES); }
    bool modifiable() const { return flags & B_KEY_MODIFIABLE; }
};

const std::vector<ModelKey>& modelKeys() {
    constexpr std::uint16_t dupMod = B_KEY_DUPLICATES | B_KEY_MODIFIABLE;
    static const std::vector<ModelKey> keys = {
        {{{0, 4, B_TYPE_AUTOINCREMENT}}, 0},
        {{{4, 2, B_TYPE_INTEGER}}, dupMod},
        {{{6, 4, B_TYPE_UNSIGNED_BINARY}}, B_KEY_MODIFIABLE},
        {{{10, 3, B_TYPE_STRING, B_KEY_NOCASE}, {13, 4, B_TYPE_DATE, B_KEY_DESCENDING}}, dupMod | B_KEY_NULL_ANY},
        {{{17, 4, B_TYPE_LSTRING}, {21, 4, B_TYPE_FLOAT}}, B_KEY_MODIFIABLE | B_KEY_NULL_ALL},
        {{{25, 4, B_TYPE_ZSTRING, B_KEY_DESCENDING}, {29, 2, B_TYPE_DECIMAL}, {31, 4, B_TYPE_TIME}}, dupMod},
        {{{35, 2, B_TYPE_MONEY}, {37, 3, B_TYPE_NUMERIC}, {40, 4, B_TYPE_BFLOAT}}, B_KEY_MODIFIABLE | B_KEY_NULL_ANY},
        {{{44, 2, B_TYPE_LOGICAL},
          {46, 3, B_TYPE_NUMERIC_STS},
          {49, 8, B_TYPE_FLOAT, B_KEY_DESCENDING},
          {57, 8, B_TYPE_INTEGER}},
         B_KEY_DUPLICATES},
        {{{65, 2, B_TYPE_STRING, B_KEY_ALT_COLLATING, &reversedSequence()},
          {67, 3, B_TYPE_STRING},
          {70, 2, B_TYPE_UNSIGNED_BINARY},
          {72, 2, B_TYPE_MONEY, B_KEY_DESCENDING},
          {74, 8, B_TYPE_UNSIGNED_BINARY, B_KEY_DESCENDING}},
         dupMod},
    };
    return keys;
}

const int kKeyCount = static_cast<int>(modelKeys().size());

// The file's Create layout; Stat answers with it, each segment naming its key.
wbtrv::CreateEntries modelEntries() {
    wbtrv::CreateEntries entries;
    entries.recordLength = kRecordLength;
    entries.sequences = {reversedSequence()};
    for (const ModelKey& key : modelKeys()) {
        wbtrv::KeySegments& out = entries.keys.emplace_back();
        for (const Segment& s : key.segments)
            out.push_back({static_cast<std::uint16_t>(s.offset + 1), s.length,
                           static_cast<std::uint16_t>(key.flags | s.flags | B_KEY_EXTENDED_TYPE), s.type, 0,
                           static_cast<std::uint8_t>(entries.keys.size() - 1), 0});
    }
    return entries;
}

// A key's bytes out of a record, its segments one after the other.
Bytes keyBytes(const Bytes& record, int key) {
    Bytes out;
    for (const Segment& s : modelKeys()[key].segments)
        out.insert(out.end(), record.begin() + s.offset, record.begin() + s.offset + s.length);
    return out;
}

// Null values are all zero bytes: a null key leaves the record out.
bool leftOut(const Bytes& keyValue, int key) {
    const ModelKey& k = modelKeys()[key];
    if (!(k.flags & (B_KEY_NULL_ALL | B_KEY_NULL_ANY))) return false;
    std::size_t nulls = 0, at = 0;
    for (const Segment& s : k.segments) {
        nulls += std::all_of(keyValue.begin() + at, keyValue.begin() + at + s.length, [](auto b) { return b == 0; });
        at += s.length;
    }
    return (k.flags & B_KEY_NULL_ANY) ? nulls > 0 : nulls == k.segments.size();
}

int compare(int key, const Bytes& a, const Bytes& b) {
    return compareKey(modelKeys()[key].segments, a.data(), b.data());
}

struct ModelCursor {
    bool positioned = false;  // a key position
    bool hasCurrent = false;
    bool skipDuplicates = false;         // after a key-only Get
    std::optional<std::int64_t> single;  // locks: one single lock or several multiple locks
    std::set<std::int64_t> multiple;
    int key = 0;
    Bytes value;          // key bytes of the record at the position
    std::int64_t id = 0;  // physical place
    Bytes lastRead;
};

struct Expected {
    std::int16_t status;
    Bytes record;  // the record read or written; for Get Position its 4-byte position
};

// A record's position as Get Position answers it: the high word first.
Bytes positionBytes(std::int64_t id) {
    Bytes at(4);
    putInt(at, 0, 2, id >> 16);
    putInt(at, 2, 2, id & 0xFFFF);
    return at;
}

bool isGetByValue(std::uint16_t op) { return op == B_GET_EQUAL || (op >= B_GET_GREATER && op <= B_GET_LESS_OR_EQUAL); }

class Model {
public:
    std::map<std::int64_t, Bytes> records;  // by id, the record's physical position
    ModelCursor cursors[kBlocks];
    std::optional<std::map<std::int64_t, Bytes>> beforeTransaction;

    // The first (forward) or last record in (key value, id) order that `admits`;
    // records left out of the key have no place in its order.
    template <class Admits>
    std::optional<std::int64_t> nearest(int key, bool forward, Admits admits) const {
        std::optional<std::int64_t> best;
        Bytes bestValue;
        for (const auto& [rid, r] : records) {
            const Bytes v = keyBytes(r, key);
            if (leftOut(v, key) || !admits(v, rid)) continue;
            const int c = best ? compare(key, v, bestValue) : 0;
            if (!best || (forward ? c < 0 || (c == 0 && rid < *best) : c > 0 || (c == 0 && rid > *best))) {
                best = rid;
                bestValue = v;
            }
        }
        return best;
    }

    bool clashes(const Bytes& r, std::optional<std::int64_t> except) const {
        for (const auto& [rid, other] : records)
            for (int k = 0; k < kKeyCount; ++k) {
                const Bytes a = keyBytes(r, k), b = keyBytes(other, k);
                if (modelKeys()[k].unique() && rid != except && !leftOut(a, k) && !leftOut(b, k) &&
                    compare(k, a, b) == 0)
                    return true;
            }
        return false;
    }

    void place(ModelCursor& c, int key, std::int64_t id, bool keyed = true) {
        c.positioned = keyed;
        c.hasCurrent = true;
        c.skipDuplicates = false;
        c.key = key;
        c.id = id;
        c.lastRead = records.at(id);
        c.value = keyBytes(c.lastRead, key);
    }

    // The lock a read's bias takes on record id (one process: never held elsewhere).
    static std::int16_t lock(ModelCursor& c, int bias, std::int64_t id) {
        if (!bias) return B_NO_ERROR;
        const bool multiple = bias >= B_MULTIPLE_WAIT_LOCK;
        if (multiple ? c.single.has_value() : !c.multiple.empty()) return B_INCOMPATIBLE_LOCK;
        if (multiple) c.multiple.insert(id);
        if (!multiple) c.single = id;
        return B_NO_ERROR;
    }

    Expected unlock(int block, int key, std::int64_t id) {
        ModelCursor& c = cursors[block];
        if (key >= 0 ? !c.single : key < -2 || c.single || (key == -1 && !c.multiple.contains(id)))
            return {B_LOCK_ERROR, {}};
        if (key >= 0) c.single.reset();
        if (key == -1) c.multiple.erase(id);
        if (key == -2) c.multiple.clear();
        return {B_NO_ERROR, {}};
    }

    Expected get(int block, std::uint16_t op, bool keyOnly, int key, const Bytes& probe, std::uint32_t capacity,
                 int bias) {
        ModelCursor& c = cursors[block];
        const bool moves = op == B_GET_NEXT || op == B_GET_PREVIOUS;
        if (key < 0 || key >= kKeyCount) return {B_INVALID_KEY_NUMBER, {}};
        if (moves && !c.positioned) return {B_INVALID_POSITIONING, {}};
        if (moves && c.key != key) return {B_DIFFERENT_KEY_NUMBER, {}};
        // A null value is in no record and has no place in the key's order.
        if (isGetByValue(op) && leftOut(probe, key))
            return {op == B_GET_EQUAL ? B_KEY_VALUE_NOT_FOUND : B_END_OF_FILE, {}};
        if (!keyOnly && capacity < kRecordLength) return {B_DATA_BUFFER_TOO_SHORT, {}};
        if (moves && leftOut(c.value, key)) return {B_END_OF_FILE, {}};
        // Next and Previous move by value alone on a unique key or after a key-only Get.
        const bool byValue = modelKeys()[key].unique() || c.skipDuplicates;
        // The nearest record in the Get's direction whose key compares to the probe (or,
        // for Next and Previous, to the position) as the Get asks.
        const bool forward = op != B_GET_LAST && op != B_GET_PREVIOUS && op != B_GET_LESS && op != B_GET_LESS_OR_EQUAL;
        const std::optional<std::int64_t> found = nearest(key, forward, [&](const Bytes& v, std::int64_t rid) {
            if (op == B_GET_FIRST || op == B_GET_LAST) return true;
            const int d = compare(key, v, moves ? c.value : probe);
            if (moves && !byValue && d == 0) return forward ? rid > c.id : rid < c.id;
            if (op == B_GET_EQUAL) return d == 0;
            if (op == B_GET_GREATER_OR_EQUAL) return d >= 0;
            if (op == B_GET_LESS_OR_EQUAL) return d <= 0;
            return forward ? d > 0 : d < 0;  // Greater, Next; Less, Previous
        });
        if (!found) return {op == B_GET_EQUAL ? B_KEY_VALUE_NOT_FOUND : B_END_OF_FILE, {}};
        if (const std::int16_t status = lock(c, bias, *found)) return {status, {}};
        place(c, key, *found);
        if (keyOnly) {
            c.hasCurrent = false;
            c.skipDuplicates = true;
            c.lastRead.clear();
        }
        return {B_NO_ERROR, records.at(*found)};
    }

    Expected step(int block, std::uint16_t op, std::uint32_t capacity, int bias) {
        ModelCursor& c = cursors[block];
        if (capacity < kRecordLength) return {B_DATA_BUFFER_TOO_SHORT, {}};
        auto it = records.end();
        if (op == B_STEP_FIRST) it = records.begin();
        if (op == B_STEP_NEXT) it = records.upper_bound(c.id);
        const auto below = records.lower_bound(op == B_STEP_LAST ? INT64_MAX : c.id);
        if ((op == B_STEP_LAST || op == B_STEP_PREVIOUS) && below != records.begin()) it = std::prev(below);
        if (it == records.end()) return {B_END_OF_FILE, {}};
        if (const std::int16_t status = lock(c, bias, it->first)) return {status, {}};
        place(c, c.key, it->first, false);
        return {B_NO_ERROR, it->second};
    }

    Expected position(int block) const {
        const ModelCursor& c = cursors[block];
        if (!c.hasCurrent) return {B_INVALID_POSITIONING, {}};
        return {B_NO_ERROR, positionBytes(c.id)};
    }

    Expected direct(int block, int key, std::int64_t id, std::uint32_t capacity, int bias) {
        ModelCursor& c = cursors[block];
        if (key < -1 || key >= kKeyCount) return {B_INVALID_KEY_NUMBER, {}};
        if (!records.contains(id)) return {B_INVALID_RECORD_ADDRESS, {}};
        if (key >= 0 && leftOut(keyBytes(records.at(id), key), key)) return {B_NULL_KEY_PATH, {}};
        if (const std::int16_t status = lock(c, bias, id)) return {status, {}};
        place(c, std::max(key, 0), id, key >= 0);
        if (capacity >= kRecordLength) return {B_NO_ERROR, records.at(id)};
        c.hasCurrent = false;  // the position is set, the record not read
        return {B_DATA_BUFFER_TOO_SHORT, {}};
    }

    Expected transaction(std::uint16_t op) {
        const bool open = beforeTransaction.has_value();
        if (op == B_BEGIN_TRANSACTION || op == B_BEGIN_CONCURRENT_TRANSACTION) {
            if (open) return {B_TRANSACTION_ACTIVE, {}};
            beforeTransaction = records;
            return {B_NO_ERROR, {}};
        }
        if (!open) return {B_NO_TRANSACTION, {}};
        if (op == B_ABORT_TRANSACTION) records = *beforeTransaction;
        beforeTransaction.reset();
        return {B_NO_ERROR, {}};
    }

    Expected insert(int block, int key, Bytes r, std::uint32_t capacity) {
        if (capacity != kRecordLength)
            return {capacity < kRecordLength ? B_DATA_BUFFER_TOO_SHORT : B_INVALID_RECORD_LENGTH, {}};
        if (key < 0 || key >= kKeyCount) return {B_INVALID_KEY_NUMBER, {}};
        if (getInt(r, 0, 4) == 0) {
            std::int64_t highest = 0;
            for (const auto& [rid, other] : records) highest = std::max(highest, getInt(other, 0, 4));
            putInt(r, 0, 4, highest + 1);
        }
        if (clashes(r, std::nullopt)) return {B_DUPLICATE_KEY_VALUE, {}};
        const std::int64_t id = records.empty() ? 1 : records.rbegin()->first + 1;
        records[id] = r;
        place(cursors[block], key, id);
        return {B_NO_ERROR, r};
    }

    // Update and Delete need a current record that nothing changed since it was read.
    std::int16_t changeable(const ModelCursor& c) const {
        if (!c.hasCurrent) return B_INVALID_POSITIONING;
        const auto it = records.find(c.id);
        return it == records.end() || it->second != c.lastRead ? B_CONFLICT : B_NO_ERROR;
    }

    Expected update(int block, const Bytes& r, std::uint32_t capacity) {
        ModelCursor& c = cursors[block];
        if (capacity != kRecordLength)
            return {capacity < kRecordLength ? B_DATA_BUFFER_TOO_SHORT : B_INVALID_RECORD_LENGTH, {}};
        if (const std::int16_t status = changeable(c)) return {status, {}};
        for (int k = 0; k < kKeyCount; ++k) {
            const Bytes a = keyBytes(r, k), b = keyBytes(c.lastRead, k);
            const bool same = leftOut(a, k) ? leftOut(b, k) : !leftOut(b, k) && compare(k, a, b) == 0;
            if (!modelKeys()[k].modifiable() && !same) return {B_MODIFIABLE_KEY_VALUE_ERROR, {}};
        }
        if (clashes(r, c.id)) return {B_DUPLICATE_KEY_VALUE, {}};
        records[c.id] = r;
        if (c.single == c.id) c.single.reset();
        place(c, c.key, c.id, c.positioned);
        return {B_NO_ERROR, r};
    }

    Expected remove(int block) {
        ModelCursor& c = cursors[block];
        if (const std::int16_t status = changeable(c)) return {status, {}};
        records.erase(c.id);
        c.hasCurrent = false;
        if (c.single == c.id) c.single.reset();
        c.multiple.erase(c.id);
        return {B_NO_ERROR, {}};
    }
};

TEST_P(EngineTest, RandomOperationsOnEveryKeyTypeAgreeWithTheModel) {
    std::mt19937 rng(test_support::testSeed("RandomOperationsOnEveryKeyTypeAgreeWithTheModel"));
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    // Segment values come from the order table: small pools of the cases a naive
    // comparison gets wrong, so equal values, duplicates and clashes are frequent.
    auto fill = [&](const Segment& s, Bytes& r) {
        std::vector<Bytes> pool;
        for (const OrderCase& c : orderCases())
            if (c.segment.type == s.type && c.segment.length == s.length)
                for (const auto& group : c.groups) pool.insert(pool.end(), group.begin(), group.end());
        const Bytes& v = pool[static_cast<std::size_t>(pick(0, static_cast<int>(pool.size()) - 1))];
        std::copy(v.begin(), v.end(), r.begin() + s.offset);
    };

    Block blocks[kBlocks]{};
    ASSERT_EQ(createFile(path("model.dat"), wbtrv::buildCreateBuffer(modelEntries())), B_NO_ERROR);
    for (Block& block : blocks) ASSERT_EQ(openFile(block, path("model.dat")), B_NO_ERROR);
    Model model;

    // A record with a new value in every key; from a base, an attempt to
    // change a key that may not change now and then. Segments of null keys
    // are sometimes all zero: their null value.
    auto randomRecord = [&](const Bytes* base) {
        Bytes r = base ? *base : Bytes(kRecordLength, 0);
        if (pick(0, base ? 9 : 3) == 0) putInt(r, 0, 4, pick(1, 60));
        putInt(r, 4, 2, pick(-4, 4));
        putInt(r, 6, 4, pick(0, 1) ? pick(0, 80) : 0xFFFFFF00u + static_cast<std::uint32_t>(pick(0, 80)));
        for (int k = 3; k < kKeyCount; ++k) {
            const ModelKey& key = modelKeys()[k];
            if (!key.modifiable() && base && pick(0, 9) != 0) continue;
            for (const Segment& s : key.segments) {
                std::fill_n(r.begin() + s.offset, s.length, std::uint8_t{0});
                if (!(key.flags & (B_KEY_NULL_ALL | B_KEY_NULL_ANY)) || pick(0, 7) != 0) fill(s, r);
            }
        }
        for (std::size_t i = kPayload; i < kRecordLength; ++i) r[i] = static_cast<std::uint8_t>(pick(0, 255));
        return r;
    };

    auto anyRecord = [&] { return std::next(model.records.begin(), pick(0, int(model.records.size()) - 1)); };
    // A key value for the Gets by value: mostly one some record holds, sometimes a new one.
    auto probeValue = [&](int key) {
        return keyBytes(model.records.empty() || pick(0, 3) == 0 ? randomRecord(nullptr) : anyRecord()->second, key);
    };
    static const std::uint16_t reads[] = {B_GET_FIRST,    B_GET_LAST,         B_GET_NEXT,    B_GET_NEXT,
                                          B_GET_PREVIOUS, B_GET_EQUAL,        B_GET_GREATER, B_GET_GREATER_OR_EQUAL,
                                          B_GET_LESS,     B_GET_LESS_OR_EQUAL};
    static const std::uint16_t steps[] = {B_STEP_FIRST, B_STEP_LAST, B_STEP_NEXT, B_STEP_NEXT, B_STEP_PREVIOUS};
    static const std::uint16_t transactions[] = {B_BEGIN_TRANSACTION, B_BEGIN_CONCURRENT_TRANSACTION, B_END_TRANSACTION,
                                                 B_ABORT_TRANSACTION, B_ABORT_TRANSACTION};

    for (int n = 0; n < kOperations; ++n) {
        const int block = pick(0, kBlocks - 1);
        int key = pick(0, 40) == 0 ? kKeyCount : pick(0, kKeyCount - 1);
        const int kind = pick(0, 99);
        Call call{Bytes(kRecordLength + 1, 0)};
        Expected expected{};
        std::uint16_t op = 0;
        bool keyOnly = false;
        // A lock bias on one read in six.
        const int bias = pick(0, 5) == 0 ? B_SINGLE_WAIT_LOCK * pick(1, 4) : 0;
        const int roll = pick(0, 29);
        std::uint32_t capacity = roll == 0 ? kRecordLength - 1 : roll == 1 ? kRecordLength + 1 : kRecordLength;
        if (kind < 28) {
            op = kind < 18 ? B_INSERT : B_UPDATE;
            const Bytes& last = model.cursors[block].lastRead;
            const Bytes r = randomRecord(op == B_UPDATE && !last.empty() ? &last : nullptr);
            std::copy(r.begin(), r.end(), call.data.begin());
            expected = op == B_INSERT ? model.insert(block, key, r, capacity) : model.update(block, r, capacity);
        } else if (kind < 35) {
            op = B_DELETE;
            expected = model.remove(block);
        } else if (kind < 38) {
            op = transactions[pick(0, 4)];
            expected = model.transaction(op);
        } else if (kind < 41) {
            op = B_GET_POSITION;
            expected = model.position(block);
        } else if (kind < 48) {
            // Mostly a position some record has; key -1 sets no key position, -1 and -2 unlock multiple locks.
            op = kind < 45 ? B_GET_DIRECT : B_UNLOCK;
            const std::int64_t id = model.records.empty() || pick(0, 4) == 0 ? pick(1, 200) : anyRecord()->first;
            key = pick(0, 2) == 0 ? -pick(1, 3) : key;
            const Bytes at = positionBytes(id);
            std::copy(at.begin(), at.end(), call.data.begin());
            expected = op == B_UNLOCK ? model.unlock(block, key, id) : model.direct(block, key, id, capacity, bias);
        } else if (kind < 55) {
            op = steps[pick(0, 4)];
            expected = model.step(block, op, capacity, bias);
        } else {
            op = reads[pick(0, 9)];
            keyOnly = !bias && pick(0, 5) == 0;
            Bytes value;
            if (isGetByValue(op) && key < kKeyCount) {
                value = probeValue(key);
                std::copy(value.begin(), value.end(), call.key.begin());
            }
            expected = model.get(block, op, keyOnly, key, value, capacity, bias);
        }
        const bool biased = bias && (op == B_GET_DIRECT || isGetByValue(op) || (op >= B_GET_NEXT && op <= B_GET_LAST) ||
                                     op == B_STEP_NEXT || op >= B_STEP_FIRST);
        SCOPED_TRACE("operation " + std::to_string(n) + ": code " + std::to_string(op) + (keyOnly ? " key only" : "") +
                     " bias " + std::to_string(biased ? bias : 0) + " on block " + std::to_string(block) + " key " +
                     std::to_string(key));
        const Bytes before = call.data, keyBefore = call.key;
        const std::uint32_t capacityBefore = capacity;
        const std::int16_t status =
            BTRCALL(static_cast<std::uint16_t>(op + (keyOnly ? B_GET_KEY_BIAS : 0) + (biased ? bias : 0)),
                    blocks[block].data(), call.data.data(), &capacity, call.key.data(),
                    static_cast<std::uint8_t>(call.key.size()), static_cast<std::int8_t>(key));
        ASSERT_EQ(status, expected.status);
        const bool read = op != B_INSERT && op != B_UPDATE;
        const bool steps = op >= B_STEP_FIRST || op == B_STEP_NEXT;
        if (status == B_NO_ERROR && !expected.record.empty()) {
            if (keyOnly) {
                ASSERT_EQ(call.data, before) << "a key-only Get wrote into the data buffer";
                ASSERT_EQ(capacity, capacityBefore);
            } else {
                ASSERT_TRUE(std::equal(expected.record.begin(), expected.record.end(), call.data.begin()));
            }
            if (steps || op == B_GET_POSITION || (op == B_GET_DIRECT && key < 0)) {
                ASSERT_EQ(call.key, keyBefore) << "the key buffer changed";
            } else if (op != B_UPDATE) {  // every Get and Insert returns the key value
                const Bytes k = keyBytes(expected.record, key);
                ASSERT_TRUE(std::equal(k.begin(), k.end(), call.key.begin()));
            }
            if (read && !keyOnly) {
                ASSERT_EQ(capacity, expected.record.size());
            }
        }
        if (status != B_NO_ERROR && read) {
            ASSERT_EQ(call.data, before) << "a failed read wrote into the data buffer";
        }
    }
    if (model.beforeTransaction) {
        ASSERT_EQ(BTRCALL(B_END_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
    }
    std::string message;
    EXPECT_EQ(verify(path("model.dat"), message), B_NO_ERROR) << message;
    // Stat answers with the Create layout and the record count in its unused bytes.
    wbtrv::CreateEntries entries = modelEntries();
    entries.recordCount = static_cast<std::uint32_t>(model.records.size());
    const Bytes layout = wbtrv::buildCreateBuffer(entries);
    Call stat{Bytes(layout.size() - 1)};
    EXPECT_EQ(stat.run(B_STAT, blocks[0], 0), B_DATA_BUFFER_TOO_SHORT);
    stat.data.resize(layout.size());
    ASSERT_EQ(stat.run(B_STAT, blocks[0], 0), B_NO_ERROR);
    EXPECT_EQ(stat.data, layout);
    // Finally the file holds exactly the model's records, in key 0 order.
    std::int16_t status = B_NO_ERROR;
    const std::vector<Bytes> stored = readAll(blocks[0], status, kRecordLength);
    EXPECT_EQ(status, B_NO_ERROR);
    std::vector<Bytes> modelled;
    for (const auto& [id, r] : model.records) modelled.push_back(r);
    std::sort(modelled.begin(), modelled.end(),
              [](const Bytes& a, const Bytes& b) { return getInt(a, 0, 4) < getInt(b, 0, 4); });
    EXPECT_EQ(stored, modelled);
    // The journal holds every committed change and nothing aborted: the whole
    // journal, and each record's own history, replay to the records held now.
    EXPECT_EQ(replayJournal(path("model.dat")), model.records);
    for (const auto& [id, r] : model.records)
        EXPECT_EQ(replayJournal(path("model.dat"), id), (decltype(model.records){{id, r}}));
}

}  // namespace
}  // namespace btrieve_test
