// Thousands of random operations over several position blocks on one file
// whose keys cover every key type, several segments, descending, case-
// insensitive and null keys, each checked against a small model of what the
// file and the cursors hold: the Gets by key and by value, key-only Gets,
// Steps, positions, writes, transactions, each Abort checked against the
// records before its Begin, the extended reads against a plain walk of the
// model's records with random filters, extractors, reject counts and faulty
// requests, Insert Extended, and at the end the journal replayed against the
// records. The model orders keys by compareKey, written from the published
// order rules, not by the record manager's encoding.
// A failure prints the seed; BTRIEVE_MODEL_SEED=<seed> replays it.
#include "btrieve_fixture.h"
#include "child_process.h"
#include "test_support/seed.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <tuple>

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

// A key of a file whose keys change: which model key it is, and whether Create Index added it.
struct FileKey {
    int model;
    bool added = false;
};

// The Create layout of a file with these keys by number (none: a number left
// free); Stat answers with it, each segment naming its key's number.
wbtrv::CreateEntries entriesFor(const std::vector<std::optional<FileKey>>& keys) {
    wbtrv::CreateEntries entries;
    entries.recordLength = kRecordLength;
    for (std::size_t number = 0; number < keys.size(); ++number) {
        if (!keys[number]) continue;
        const ModelKey& key = modelKeys()[keys[number]->model];
        const auto added = static_cast<std::uint16_t>(keys[number]->added ? B_KEY_SUPPLEMENTAL : 0);
        wbtrv::KeySegments& out = entries.keys.emplace_back();
        for (const Segment& s : key.segments)
            if (s.sequence) entries.sequences = {*s.sequence};
        for (const Segment& s : key.segments)
            out.push_back({static_cast<std::uint16_t>(s.offset + 1), s.length,
                           static_cast<std::uint16_t>(key.flags | s.flags | added | B_KEY_EXTENDED_TYPE), s.type, 0,
                           static_cast<std::uint8_t>(number), 0});
    }
    return entries;
}

// The file of every model key.
wbtrv::CreateEntries modelEntries() {
    std::vector<std::optional<FileKey>> keys;
    for (int k = 0; k < kKeyCount; ++k) keys.push_back(FileKey{k});
    return entriesFor(keys);
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

// An extended read's request as the test writes it, wrong values included.
struct ExtTerm {
    std::uint8_t type;
    std::uint16_t length, offset;
    std::uint8_t code, connector;  // comparison with its bits; 0 last, 1 AND, 2 OR
    Bytes value;
    std::uint16_t other = 0;  // with B_COMPARE_OTHER_FIELD
};

struct ExtRequest {
    const char* letters = "EG";
    std::uint16_t maxRejects = 0, records = 1;
    std::vector<ExtTerm> terms;
    std::vector<std::array<std::uint16_t, 2>> fields;  // offset, length
    int lengthError = 0;                               // added to the length the header declares

    Bytes bytes() const {
        Bytes out{0, 0, std::uint8_t(letters[0]), std::uint8_t(letters[1])};
        const auto put = [&](std::uint64_t v, std::size_t n) {
            out.resize(out.size() + n);
            wbtrv::writeLittleEndian(out.data() + out.size() - n, n, v);
        };
        put(maxRejects, 2);
        put(terms.size(), 2);
        for (const ExtTerm& t : terms) {
            for (const auto& [v, n] :
                 {std::pair{t.type, 1}, {t.length, 2}, {t.offset, 2}, {t.code, 1}, {t.connector, 1}})
                put(v, n);
            if (t.code & B_COMPARE_OTHER_FIELD)
                put(t.other, 2);
            else
                out.insert(out.end(), t.value.begin(), t.value.end());
        }
        put(records, 2);
        put(fields.size(), 2);
        for (const auto& [offset, length] : fields) put(std::uint32_t{length} | std::uint32_t{offset} << 16, 4);
        putInt(out, 0, 2, static_cast<std::int64_t>(out.size()) + lengthError);
        return out;
    }
    std::uint32_t width() const {
        std::uint32_t width = 0;
        for (const auto& field : fields) width += field[1];
        return width;
    }
    std::uint32_t answerLength() const { return 2 + records * (6 + width()); }
    // The filter by the published order rules (compareSegment), strictly left to right.
    bool accepts(const Bytes& r) const {
        for (const ExtTerm& t : terms) {
            const Segment s{t.offset, t.length, t.type, std::uint16_t(t.code & B_COMPARE_NO_CASE ? B_KEY_NOCASE : 0),
                            t.code & B_COMPARE_COLLATED ? &reversedSequence() : nullptr};
            const int c = compareSegment(s, r.data() + t.offset,
                                         t.code & B_COMPARE_OTHER_FIELD ? r.data() + t.other : t.value.data());
            const bool holds = std::array{c == 0, c > 0, c < 0, c != 0, c >= 0, c <= 0}[(t.code & 7) - 1];
            if (t.connector == 0 || holds == (t.connector == 2)) return holds;
        }
        return true;
    }
};

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

    // What an extended read along a key needs: 6 no such key, 8 no key position, 7 another key's.
    std::int16_t keyPosition(int block, int key) const {
        if (key < 0 || key >= kKeyCount) return B_INVALID_KEY_NUMBER;
        if (!cursors[block].positioned) return B_INVALID_POSITIONING;
        return cursors[block].key != key ? B_DIFFERENT_KEY_NUMBER : B_NO_ERROR;
    }

    // An extended read (36-39) of a well-formed request: the model's records
    // walked plainly from the block's position; `key` receives the key
    // bytes of the last record examined along a key.
    Expected extended(int block, std::uint16_t op, int key, const ExtRequest& rq, int bias, Bytes& keyOut) {
        ModelCursor& c = cursors[block];
        const bool along = op <= B_GET_PREVIOUS_EXTENDED,
                   forward = op == B_GET_NEXT_EXTENDED || op == B_STEP_NEXT_EXTENDED;
        std::vector<std::int64_t> walk;
        for (const auto& [rid, r] : records)
            if (!along || !leftOut(keyBytes(r, key), key)) walk.push_back(rid);
        if (along)
            std::stable_sort(walk.begin(), walk.end(), [&](auto a, auto b) {
                return compare(key, keyBytes(records.at(a), key), keyBytes(records.at(b), key)) < 0;
            });
        if (!forward) std::reverse(walk.begin(), walk.end());
        // Whether a record lies at (UC) or after (EG) the block's position in the walk's order.
        const bool placed = c.positioned || c.hasCurrent || c.id != 0;
        const bool pastValue = along && rq.letters[0] == 'E' && (c.skipDuplicates || modelKeys()[key].unique());
        const auto examined = [&](std::int64_t rid) {
            if (!along && !placed) return true;
            if (along && leftOut(c.value, key)) return false;
            const int d = (along ? compare(key, keyBytes(records.at(rid), key), c.value) : 0) * (forward ? 1 : -1);
            if (d != 0 || pastValue) return d > 0;
            return rid == c.id ? rq.letters[0] == 'U' : (rid > c.id) == forward;
        };
        Bytes answer(2);
        std::vector<std::int64_t> kept;
        std::optional<std::int64_t> last;
        std::uint32_t rejected = 0;
        std::int16_t status = B_END_OF_FILE;
        for (const std::int64_t rid : walk) {
            if (!examined(rid)) continue;
            const Bytes& r = records.at(rid);
            last = rid;
            const bool passes = rq.accepts(r);
            rejected += !passes;
            if (passes) {
                kept.push_back(rid);
                Bytes entry(2);
                putInt(entry, 0, 2, rq.width());
                const Bytes at = positionBytes(rid);
                entry.insert(entry.end(), at.begin(), at.end());
                for (const auto& [offset, length] : rq.fields)
                    entry.insert(entry.end(), r.begin() + offset, r.begin() + offset + length);
                answer.insert(answer.end(), entry.begin(), entry.end());
            }
            if (kept.size() == rq.records || rejected == (rq.maxRejects ? rq.maxRejects : 4095u)) {
                status = kept.size() == rq.records ? B_NO_ERROR : B_REJECT_COUNT_REACHED;
                break;
            }
        }
        // A lock bias locks the last record returned, or each (multiple locks): all or none.
        if (bias && !kept.empty())
            for (auto it = bias >= B_MULTIPLE_WAIT_LOCK ? kept.begin() : kept.end() - 1; it != kept.end(); ++it)
                if (const std::int16_t refused = lock(c, bias, *it)) return {refused, {}};
        putInt(answer, 0, 2, static_cast<std::int64_t>(kept.size()));
        if (!last) return {status, answer};
        c.positioned = along;
        c.hasCurrent = c.skipDuplicates = false;
        c.id = *last;
        c.lastRead.clear();
        if (along) keyOut = c.value = keyBytes(records.at(*last), key);
        return {status, answer};
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

    // A term on a key segment or on string bytes of the payload, against a
    // value some record holds, one of the order table's, or another field.
    auto randomTerm = [&](std::uint8_t connector) {
        const auto length = std::uint16_t(pick(1, 2));
        ExtTerm t{B_TYPE_STRING, length, std::uint16_t(pick(kPayload, kRecordLength - length)), 0, connector, {}};
        if (pick(0, 3) != 0) {
            const ModelKey& k = modelKeys()[pick(0, kKeyCount - 1)];
            const Segment& s = k.segments[pick(0, int(k.segments.size()) - 1)];
            std::tie(t.type, t.length, t.offset) = std::tuple(s.type, s.length, s.offset);
        }
        const bool text = t.type == B_TYPE_STRING || t.type == B_TYPE_LSTRING || t.type == B_TYPE_ZSTRING;
        t.code = std::uint8_t(pick(1, 6) | (text && pick(0, 2) == 0 ? B_COMPARE_NO_CASE : 0) |
                              (text && pick(0, 3) == 0 ? B_COMPARE_COLLATED : 0));
        if (pick(0, 5) == 0) {
            t.code |= B_COMPARE_OTHER_FIELD;
            t.other = t.offset >= kPayload ? std::uint16_t(pick(kPayload, kRecordLength - t.length)) : t.offset;
        } else {
            const Bytes r = model.records.empty() || pick(0, 2) == 0 ? randomRecord(nullptr) : anyRecord()->second;
            t.value.assign(r.begin() + t.offset, r.begin() + t.offset + t.length);
        }
        return t;
    };
    auto addTerm = [](ExtRequest& rq, ExtTerm t) {
        if (!rq.terms.empty()) rq.terms.back().connector = B_CONNECT_AND;
        rq.terms.push_back(std::move(t));
    };
    // One fault at a time in a request, and the status it gets.
    using Fault = std::pair<std::int16_t, std::function<void(ExtRequest&)>>;
    const Fault faults[] = {
        {B_INCORRECT_DESCRIPTOR, [](ExtRequest& rq) { rq.letters = "EU"; }},
        {B_INCORRECT_DESCRIPTOR, [](ExtRequest& rq) { rq.lengthError = -1; }},
        {B_INCORRECT_DESCRIPTOR, [](ExtRequest& rq) { rq.lengthError = 0xFFFF - int(rq.bytes().size()); }},
        {B_INCORRECT_DESCRIPTOR, [](ExtRequest& rq) { rq.records = 0; }},
        {B_INCORRECT_DESCRIPTOR, [](ExtRequest& rq) { rq.fields.clear(); }},
        {B_INCORRECT_DESCRIPTOR, [](ExtRequest& rq) { rq.fields[0][1] = 0; }},
        {B_INCORRECT_DESCRIPTOR,
         [&](ExtRequest& rq) {
             addTerm(rq, {B_TYPE_NOTE, 4, 0, 1, 0, Bytes(4)});
         }},
        {B_INCORRECT_DESCRIPTOR,
         [&](ExtRequest& rq) {
             addTerm(rq, {B_TYPE_INTEGER, 3, 0, 1, 0, Bytes(3)});
         }},
        {B_INCORRECT_DESCRIPTOR,
         [&](ExtRequest& rq) {
             addTerm(rq, {B_TYPE_STRING, 4, 85, 1, 0, Bytes(4)});
         }},
        {B_INCORRECT_DESCRIPTOR,
         [&](ExtRequest& rq) {
             addTerm(rq, {B_TYPE_STRING, 2, 0, 1 | 64, 0, {}, 86});
         }},
        {B_INCORRECT_DESCRIPTOR,
         [&](ExtRequest& rq) {
             addTerm(rq, {B_TYPE_INTEGER, 2, 4, 1 | 128, 0, Bytes(2)});
         }},
        {B_INCORRECT_DESCRIPTOR,
         [&](ExtRequest& rq) {
             addTerm(rq, {B_TYPE_INTEGER, 2, 4, 7, 0, Bytes(2)});
         }},
        {B_INCORRECT_DESCRIPTOR,
         [&](ExtRequest& rq) {
             addTerm(rq, {B_TYPE_INTEGER, 2, 4, 1 | 8, 0, Bytes(2)});
         }},
        {B_INCORRECT_DESCRIPTOR, [&](ExtRequest& rq) { addTerm(rq, randomTerm(B_CONNECT_OR)); }},
        {B_INCORRECT_DESCRIPTOR, [&](ExtRequest& rq) { addTerm(rq, randomTerm(3)); }},
        {B_INCORRECT_DESCRIPTOR,
         [&](ExtRequest& rq) {
             addTerm(rq, randomTerm(0));
             rq.terms.insert(rq.terms.begin(), randomTerm(0));
         }},
        {B_FIELD_OUTSIDE_RECORD,
         [](ExtRequest& rq) {
             rq.fields.push_back({80, 10});
         }},
        {B_DATA_BUFFER_TOO_SMALL, [](ExtRequest& rq) { rq.records = 65535; }},
    };
    // Extended reads and Insert Extended on buffers exactly as long as the
    // call says (ASan catches a byte past them); a failed call leaves the
    // buffers and the position as they were.
    auto extendedCall = [&](int block, int key, int kind, int bias) {
        const bool insert = kind >= 112;
        const auto op = std::uint16_t(insert ? B_INSERT_EXTENDED : B_GET_NEXT_EXTENDED + pick(0, 3));
        if (op <= B_GET_PREVIOUS_EXTENDED && pick(0, 3) != 0) key = model.cursors[block].key;  // mostly its own key
        SCOPED_TRACE("extended operation " + std::to_string(op) + " bias " + std::to_string(bias) + " on block " +
                     std::to_string(block) + " key " + std::to_string(key));
        Bytes buffer, keyOut, keyBuffer(BTR_MAX_KEY_LENGTH, 0xEE);
        Expected expected{};
        const bool fault = pick(0, 5) == 0;
        std::uint32_t length = 0;
        if (insert) {
            std::vector<Bytes> given(static_cast<std::size_t>(pick(1, 4)));
            buffer = {std::uint8_t(given.size()), 0};
            for (Bytes& r : given) {
                r = randomRecord(nullptr);
                buffer.insert(buffer.end(), {std::uint8_t(kRecordLength), 0});
                buffer.insert(buffer.end(), r.begin(), r.end());
            }
            if (fault) buffer[pick(0, 1) ? 0 : 2] = 0;  // a count of 0, or a record of another length
            if (fault && pick(0, 2) == 0) buffer = {1, 0, std::uint8_t(kRecordLength), 0, 1, 2};  // past the buffer
            expected.status = key < 0 || key >= kKeyCount ? B_INVALID_KEY_NUMBER
                              : fault                     ? B_INVALID_INSERT_BUFFER
                                                          : B_NO_ERROR;
            if (expected.status == B_NO_ERROR) expected.record = {0, 0};
            for (std::size_t i = 0; i < given.size() && expected.status == B_NO_ERROR; ++i) {
                const Expected one = model.insert(block, key, given[i], kRecordLength);
                if ((expected.status = one.status) != B_NO_ERROR) break;
                const Bytes at = positionBytes(model.records.rbegin()->first);
                expected.record.insert(expected.record.end(), at.begin(), at.end());
                putInt(expected.record, 0, 2, static_cast<std::int64_t>(i + 1));
                keyOut = keyBytes(one.record, key);
            }
            length = static_cast<std::uint32_t>(buffer.size());
        } else {
            ExtRequest rq;
            rq.letters = pick(0, 2) == 0 ? "UC" : "EG";
            rq.maxRejects = std::uint16_t(pick(0, 3) == 0 ? 0 : pick(1, 4));
            for (int t = pick(0, 3); t > 0; --t) addTerm(rq, randomTerm(0));
            rq.records = std::uint16_t(pick(1, 6));
            for (int f = pick(1, 3); f > 0; --f) {
                const int size = pick(0, 3) == 0 ? int(kRecordLength) : pick(1, 9);
                rq.fields.push_back({std::uint16_t(pick(0, int(kRecordLength) - size)), std::uint16_t(size)});
            }
            length = std::max<std::uint32_t>(rq.answerLength(), std::uint32_t(rq.bytes().size()) + pick(0, 3));
            const Fault* chosen = fault ? &faults[pick(0, int(std::size(faults)) - 1)] : nullptr;
            if (chosen) chosen->second(rq);
            buffer = rq.bytes();
            const std::int16_t before = op > B_GET_PREVIOUS_EXTENDED ? 0 : model.keyPosition(block, key);
            expected = before || chosen ? Expected{before ? before : chosen->first, {}}
                                        : model.extended(block, op, key, rq, bias, keyOut);
            length = std::max<std::uint32_t>(length, std::uint32_t(buffer.size()));
        }
        buffer.resize(length);
        const Bytes sent = buffer;
        const std::int16_t status =
            BTRCALL(static_cast<std::uint16_t>(op + (insert ? 0 : bias)), blocks[block].data(), buffer.data(), &length,
                    keyBuffer.data(), static_cast<std::uint8_t>(keyBuffer.size()), static_cast<std::int8_t>(key));
        ASSERT_EQ(status, expected.status);
        if (!expected.record.empty()) {
            ASSERT_EQ(length, expected.record.size());
            ASSERT_TRUE(std::equal(expected.record.begin(), expected.record.end(), buffer.begin()));
        } else if (expected.status != B_INCOMPATIBLE_LOCK) {  // a lock refused after the read
            ASSERT_EQ(buffer, sent) << "a refused call wrote into the data buffer";
        }
        keyOut.resize(keyBuffer.size(), 0xEE);
        ASSERT_EQ(keyBuffer, keyOut) << "the key buffer";
    };

    for (int n = 0; n < kOperations; ++n) {
        const int block = pick(0, kBlocks - 1);
        int key = pick(0, 40) == 0 ? kKeyCount : pick(0, kKeyCount - 1);
        const int kind = pick(0, 119);
        Call call{Bytes(kRecordLength + 1, 0)};
        Expected expected{};
        std::uint16_t op = 0;
        bool keyOnly = false;
        // A lock bias on one read in six.
        const int bias = pick(0, 5) == 0 ? B_SINGLE_WAIT_LOCK * pick(1, 4) : 0;
        if (kind >= 100) {
            extendedCall(block, key, kind, bias);
            if (HasFatalFailure()) return;
            continue;
        }
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

// Random inserts, deletes, Create Index (numbered by the record manager or
// by the caller) and Drop Index (keeping the numbers or not) on a file that
// holds records, each change checked against a model of the file's records
// and keys by number: Stat, walks along each key, and Get By Percentage and
// Find Percentage along keys and in physical order, there and back. The
// journal holds the inserts and deletes, nothing of the keys' changes.
TEST_P(EngineTest, AddedAndDroppedKeysAndPercentagesAgreeWithTheModel) {
    using wbtrv::client::Move;
    std::mt19937 rng(test_support::testSeed("AddedAndDroppedKeysAndPercentagesAgreeWithTheModel"));
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<std::optional<FileKey>> keys = {FileKey{0}, FileKey{2}};
    std::map<std::int64_t, Bytes> records;
    std::uint64_t changes = 0;
    ASSERT_EQ(wbtrv::client::create(path("keys.dat"), entriesFor(keys), wbtrv::client::IfExists::Refuse), B_NO_ERROR);
    wbtrv::client::File file;
    ASSERT_EQ(file.open(path("keys.dat")), B_NO_ERROR);

    // Values from the order table in every segment of every model key, a null value now and then.
    auto randomRecord = [&] {
        Bytes r(kRecordLength, 0);
        for (const ModelKey& key : modelKeys())
            for (const Segment& s : key.segments) {
                std::vector<const Bytes*> pool;
                for (const OrderCase& c : orderCases())
                    for (const auto& group : c.groups)
                        for (const Bytes& v : group)
                            if (c.segment.type == s.type && c.segment.length == s.length) pool.push_back(&v);
                if (!pool.empty() && pick(0, 7) != 0)
                    std::copy_n(pool[pick(0, int(pool.size()) - 1)]->begin(), s.length, r.begin() + s.offset);
            }
        putInt(r, 0, 4, 0);
        putInt(r, 4, 2, pick(-4, 4));
        putInt(r, 6, 4, pick(0, 100000));
        for (std::size_t i = kPayload; i < kRecordLength; ++i) r[i] = static_cast<std::uint8_t>(pick(0, 255));
        return r;
    };
    // Records of equal values of model key m that may not repeat: other than `except`.
    auto repeats = [&](int m, const Bytes& r, std::optional<std::int64_t> except) {
        if (!modelKeys()[m].unique() || leftOut(keyBytes(r, m), m)) return false;
        return std::any_of(records.begin(), records.end(), [&](const auto& other) {
            return other.first != except && !leftOut(keyBytes(other.second, m), m) &&
                   compare(m, keyBytes(r, m), keyBytes(other.second, m)) == 0;
        });
    };
    // Ids in the order of key number n (-1: physical order), records left out of a null key left out.
    auto order = [&](int n) {
        std::vector<std::int64_t> ids;
        for (const auto& [id, r] : records)
            if (n < 0 || !leftOut(keyBytes(r, keys[n]->model), keys[n]->model)) ids.push_back(id);
        if (n >= 0)
            std::stable_sort(ids.begin(), ids.end(), [&](auto a, auto b) {
                return compare(keys[n]->model, keyBytes(records[a], keys[n]->model),
                               keyBytes(records[b], keys[n]->model)) < 0;
            });
        return ids;
    };
    auto position = [](std::int64_t id) {
        const Bytes at = positionBytes(id);
        return wbtrv::client::Position{at[0], at[1], at[2], at[3]};
    };
    auto expectRecord = [&](std::int64_t id) {
        const auto read = file.record();
        ASSERT_TRUE(std::equal(read.begin(), read.end(), records[id].begin(), records[id].end())) << "record " << id;
    };

    for (int step = 0; step < 250; ++step) {
        const int kind = pick(0, 99);
        SCOPED_TRACE("step " + std::to_string(step) + " kind " + std::to_string(kind));
        if (kind < 40) {
            Bytes r = randomRecord();
            std::int64_t highest = 0;
            for (const auto& [id, other] : records) highest = std::max(highest, getInt(other, 0, 4));
            putInt(r, 0, 4, highest + 1);
            const bool clash =
                std::any_of(keys.begin(), keys.end(), [&](const auto& k) { return k && repeats(k->model, r, {}); });
            Bytes sent = r;
            putInt(sent, 0, 4, 0);
            ASSERT_EQ(file.insert(sent, 0), clash ? B_DUPLICATE_KEY_VALUE : B_NO_ERROR);
            if (!clash) records[records.empty() ? 1 : records.rbegin()->first + 1] = r;
            changes += !clash;
        } else if (kind < 50 && !records.empty()) {
            const std::int64_t id = std::next(records.begin(), pick(0, int(records.size()) - 1))->first;
            ASSERT_EQ(file.getDirect(position(id), -1), B_NO_ERROR);
            ASSERT_EQ(file.remove(), B_NO_ERROR);
            records.erase(id);
            ++changes;
        } else if (kind < 70) {
            std::vector<int> absent;
            for (int m = 1; m < kKeyCount; ++m)
                if (std::none_of(keys.begin(), keys.end(), [&](const auto& k) { return k && k->model == m; }))
                    absent.push_back(m);
            if (absent.empty()) continue;
            const int m = absent[pick(0, int(absent.size()) - 1)];
            const int roll = pick(0, 9);
            const std::optional<std::uint8_t> given = roll < 3
                                                          ? std::optional(std::uint8_t(pick(0, int(keys.size()) + 1)))
                                                      : roll == 3 ? std::optional(std::uint8_t(pick(119, 127)))
                                                                  : std::nullopt;
            std::size_t n = 0;
            while (n < keys.size() && keys[n]) ++n;
            n = given.value_or(n);
            const bool taken = n > 118 || (n < keys.size() && keys[n]);
            const bool clash = std::any_of(records.begin(), records.end(),
                                           [&](const auto& r) { return repeats(m, r.second, r.first); });
            const wbtrv::CreateEntries one = entriesFor({FileKey{m}});
            const bool collates = std::any_of(one.keys[0].begin(), one.keys[0].end(),
                                              [](const auto& e) { return e.flags & B_KEY_ALT_COLLATING; });
            ASSERT_EQ(file.createIndex(one.keys[0], given, collates ? &reversedSequence() : nullptr),
                      taken   ? B_INVALID_KEY_NUMBER
                      : clash ? B_DUPLICATE_KEY_VALUE
                              : B_NO_ERROR);
            if (taken || clash) continue;
            keys.resize(std::max(keys.size(), n + 1));
            keys[n] = FileKey{m, true};
        } else if (kind < 80) {
            const int n = pick(1, int(keys.size()));
            const bool keep = pick(0, 1);
            const bool exists = n < int(keys.size()) && keys[n];
            ASSERT_EQ(file.dropIndex(std::uint8_t(n), keep), exists ? B_NO_ERROR : B_INVALID_KEY_NUMBER);
            if (!exists) continue;
            if (keep)
                keys[n].reset();
            else
                keys.erase(keys.begin() + n);
            while (!keys.back()) keys.pop_back();
            ASSERT_EQ(file.get(Move::Next, 0), B_INVALID_POSITIONING) << "a drop ends the key position";
        } else {
            // Along a key the file has, or in physical order.
            std::vector<int> numbers{-1};
            for (int n = 0; n < int(keys.size()); ++n)
                if (keys[n]) numbers.push_back(n);
            const int n = numbers[pick(0, int(numbers.size()) - 1)];
            const std::vector<std::int64_t> ids = order(n);
            const auto N = static_cast<std::int64_t>(ids.size());
            if (n >= 0) {
                std::int16_t status = file.get(Move::First, std::int8_t(n));
                for (const std::int64_t id : ids) {
                    ASSERT_EQ(status, B_NO_ERROR);
                    expectRecord(id);
                    status = file.get(Move::Next, std::int8_t(n));
                }
                ASSERT_EQ(status, B_END_OF_FILE);
            }
            const int p = pick(0, 10500);
            ASSERT_EQ(file.getByPercentage(std::uint16_t(p), std::int8_t(n)), N ? B_NO_ERROR : B_END_OF_FILE);
            if (N == 0) continue;
            expectRecord(ids[std::lround(std::min(p, 10000) * double(N - 1) / 10000)]);
            if (n < 0) {
                ASSERT_EQ(file.get(Move::Next, 0), B_INVALID_POSITIONING);
            }
            // A record's percentage: for duplicates, its value's first record's.
            int first = pick(0, int(N) - 1);
            const Bytes& record = records[ids[first]];
            const int m = n < 0 ? 0 : keys[n]->model;
            while (n >= 0 && first > 0 && compare(m, keyBytes(records[ids[first - 1]], m), keyBytes(record, m)) == 0)
                --first;
            std::uint32_t percentage = 0;
            ASSERT_EQ(n < 0 ? file.findPercentage(position(ids[first]), percentage)
                            : file.findPercentage(std::int8_t(n), keyBytes(record, m), percentage),
                      B_NO_ERROR);
            ASSERT_EQ(percentage, N == 1 ? 0 : std::lround(first * 10000.0 / double(N - 1)));
            ASSERT_EQ(file.getByPercentage(std::uint16_t(percentage), std::int8_t(n)), B_NO_ERROR);
            expectRecord(ids[first]);
        }
        if (kind >= 50 && kind < 80) {
            wbtrv::CreateEntries stat, expected = entriesFor(keys);
            expected.recordCount = static_cast<std::uint32_t>(records.size());
            ASSERT_EQ(file.stat(stat), B_NO_ERROR);
            ASSERT_EQ(wbtrv::buildCreateBuffer(stat), wbtrv::buildCreateBuffer(expected));
        }
    }
    // A value no record holds, a position of none.
    std::uint32_t percentage = 0;
    EXPECT_EQ(file.findPercentage(0, Bytes(4, 0xFF), percentage), B_KEY_VALUE_NOT_FOUND);
    EXPECT_EQ(file.findPercentage(position(99999), percentage), B_INVALID_RECORD_ADDRESS);
    file.close();
    wbtrv::client::JournalState journal;
    ASSERT_EQ(wbtrv::client::journalState(path("keys.dat"), journal), B_NO_ERROR);
    EXPECT_EQ(journal.entries, changes);
    std::string message;
    EXPECT_EQ(verify(path("keys.dat"), message), B_NO_ERROR) << message;
}

// An owner name at each access code: Set Owner's refusals, the Opens
// without the name, with a wrong one and with it and what each may do, Clear
// Owner, the name kept only as a salted hash, and another process's open.
TEST_P(EngineTest, AnOwnerNameGuardsOpenAsItsAccessCodeSays) {
    const std::string file = path("owned.dat");
    auto withNames = [](std::uint16_t op, Block& block, const std::string& key, const std::string& data, int code) {
        Call call{Bytes(data.begin(), data.end())};
        call.data.push_back(0);
        std::copy(key.begin(), key.end(), call.key.begin());
        call.key[key.size()] = 0;
        if (op == B_OPEN) call.length = static_cast<std::uint32_t>(data.size());
        return op == B_OPEN ? BTRCALL(op, block.data(), call.data.data(), &call.length, call.key.data(), 255, 0)
                            : call.run(op, block, static_cast<std::int8_t>(code));
    };
    auto openAs = [&](Block& block, const std::string& owner) { return withNames(B_OPEN, block, file, owner, 0); };
    auto close = [](Block& block) { return BTRCALL(B_CLOSE, block.data(), nullptr, nullptr, nullptr, 0, 0); };
    std::uint32_t inserted = 0;
    auto insert = [&](Block& block) { return Call{Standard::record(0, 1, ++inserted)}.run(B_INSERT, block, 0); };
    auto ownerOf = [](Block& block) {
        Call stat{Bytes(512)};
        wbtrv::CreateEntries entries;
        EXPECT_EQ(stat.run(B_STAT, block, 0), B_NO_ERROR);
        EXPECT_EQ(wbtrv::readCreateBuffer(stat.data, entries), B_NO_ERROR);
        return entries.ownerAccess;
    };
    for (int code = B_OWNER_NO_ACCESS; code <= B_OWNER_READ_ONLY_ENCRYPTED; ++code) {
        SCOPED_TRACE("access code " + std::to_string(code));
        Block owner{}, other{};
        ASSERT_EQ(createFile(file, Standard::createBuffer()), B_NO_ERROR);
        ASSERT_EQ(openFile(owner, file), B_NO_ERROR);
        const std::tuple<const char*, const char*, int, std::int16_t> refusals[] = {
            {"Keeper", "Keepr", code, B_INVALID_OWNER},
            {"", "", code, B_INVALID_OWNER},
            {"   ", "   ", code, B_INVALID_OWNER},
            {"Gatekeeper", "Gatekeeper", code, B_INVALID_OWNER},
            {"Keeper", "Keeper", 4, B_OPERATION_NOT_ALLOWED},
            {"Keeper", "Keeper", -1, B_OPERATION_NOT_ALLOWED},
        };
        for (const auto& [typed, again, given, status] : refusals)
            EXPECT_EQ(withNames(B_SET_OWNER, owner, typed, again, given), status) << typed << " " << again;
        ASSERT_EQ(BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
        EXPECT_EQ(withNames(B_SET_OWNER, owner, "Keeper", "Keeper", code), B_OPERATION_NOT_ALLOWED);
        ASSERT_EQ(BTRCALL(B_ABORT_TRANSACTION, nullptr, nullptr, nullptr, nullptr, 0, 0), B_NO_ERROR);
        for (std::int8_t mode : {B_MODE_READ_ONLY, B_MODE_NORMAL}) {
            ASSERT_EQ(openFile(other, file, mode), B_NO_ERROR);
            EXPECT_EQ(withNames(B_SET_OWNER, mode == B_MODE_NORMAL ? owner : other, "Keeper", "Keeper", code),
                      mode == B_MODE_NORMAL ? B_FILE_IN_USE : B_ACCESS_DENIED);
            ASSERT_EQ(close(other), B_NO_ERROR);
        }
        if (code == B_OWNER_NO_ACCESS) {
            // Another process with the file open: neither the owner nor the keys change.
            Child holder(file, [](Block&, const Pause& pause) {
                pause();
                return 0;
            });
            ASSERT_TRUE(holder.waitForSignal());
            EXPECT_EQ(withNames(B_SET_OWNER, owner, "Keeper", "Keeper", code), B_FILE_IN_USE);
            EXPECT_EQ(Call{}.run(B_DROP_INDEX, owner, 1), B_FILE_IN_USE);
            holder.signal();
            EXPECT_EQ(holder.wait(), 0);
        }
        EXPECT_FALSE(ownerOf(owner));
        ASSERT_EQ(withNames(B_SET_OWNER, owner, "Keeper", "Keeper", code), B_NO_ERROR);
        EXPECT_EQ(withNames(B_SET_OWNER, owner, "Other", "Other", code), B_OWNER_ALREADY_SET);
        EXPECT_EQ(ownerOf(owner), code);
        EXPECT_EQ(insert(owner), B_NO_ERROR) << "the block that set the name keeps its access";
        // The name is nowhere in the file, nor on the server: only its salt and hash.
        if (onServer()) {
            std::string kept;
            ASSERT_TRUE(schema_->sql("SELECT length(salt) || ' ' || length(hash) FROM wbtrv_owners", &kept));
            EXPECT_EQ(kept, "16 32");
        }
        for (const char* part : {"", "-wal"}) {
            const Bytes bytes = fileBytes(file + part), name{'K', 'e', 'e', 'p', 'e', 'r'};
            EXPECT_EQ(std::search(bytes.begin(), bytes.end(), name.begin(), name.end()), bytes.end());
        }
        // Opens, each reading the owner from the file: with a wrong name (case counts), without it, with it.
        ASSERT_EQ(close(owner), B_NO_ERROR);
        const bool readable = code & 1;
        Block none{}, wrong{}, right{};
        EXPECT_EQ(openAs(wrong, "keeper"), B_INVALID_OWNER);
        EXPECT_EQ(openAs(none, ""), readable ? B_NO_ERROR : B_INVALID_OWNER);
        ASSERT_EQ(openAs(right, "Keeper"), B_NO_ERROR);
        EXPECT_EQ(insert(right), B_NO_ERROR);
        if (readable) {
            EXPECT_EQ(insert(none), B_ACCESS_DENIED);
            EXPECT_EQ(Call{}.run(B_CLEAR_OWNER, none, 0), B_INVALID_OWNER);
            EXPECT_EQ(Call{}.run(B_CLEAR_OWNER, right, 0), B_FILE_IN_USE);
            ASSERT_EQ(close(none), B_NO_ERROR);
        }
        ASSERT_EQ(Call{}.run(B_CLEAR_OWNER, right, 0), B_NO_ERROR);
        EXPECT_EQ(Call{}.run(B_CLEAR_OWNER, right, 0), B_NO_ERROR) << "a file without an owner";
        EXPECT_FALSE(ownerOf(right));
        ASSERT_EQ(close(right), B_NO_ERROR);
        ASSERT_EQ(openAs(none, "anything"), B_NO_ERROR);
        EXPECT_EQ(insert(none), B_NO_ERROR);
        ASSERT_EQ(close(none), B_NO_ERROR);
    }
    // A catalog made before owner names: its files open, and Set Owner makes the table.
    if (onServer()) {
        Block block{};
        ASSERT_TRUE(schema_->sql("DROP TABLE wbtrv_owners CASCADE"));
        ASSERT_EQ(openFile(block, file), B_NO_ERROR);
        EXPECT_EQ(withNames(B_SET_OWNER, block, "Keeper", "Keeper", 0), B_NO_ERROR);
    }
}

}  // namespace
}  // namespace btrieve_test
