// Thousands of random operations over several position blocks on one file,
// each checked against a small model of what the file and the cursors hold.
// A failure prints the seed; BTRIEVE_MODEL_SEED=<seed> replays it.
#include "btrieve_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <random>
#include <tuple>

namespace btrieve_test {
namespace {

constexpr int kBlocks = 3;
constexpr int kOperations = 4000;
constexpr std::uint32_t kRecordLength = Standard::recordLength;

struct KeyField {
    std::size_t offset;
    std::size_t length;
    bool isSigned;
    bool unique;
    bool modifiable;
};

// The standard layout's keys.
const KeyField kKeys[] = {{0, 4, true, true, false}, {4, 2, true, false, true}, {6, 4, false, true, true}};

struct ModelCursor {
    bool open = true;
    bool positioned = false;
    bool hasCurrent = false;
    int key = 0;
    std::int64_t value = 0;
    std::int64_t id = 0;
    Bytes lastRead;
};

struct Expected {
    std::int16_t status;
    Bytes record;
};

class Model {
public:
    std::map<std::int64_t, Bytes> records;  // by id, the record's physical position
    ModelCursor cursors[kBlocks];

    static std::int64_t keyOf(const Bytes& r, int key) {
        return getInt(r, kKeys[key].offset, kKeys[key].length, kKeys[key].isSigned);
    }

    // The record after (or before) a position along a key: duplicates in id
    // order; a unique key moves by value alone.
    std::optional<std::int64_t> step(int key, std::int64_t value, std::int64_t id, bool forward) const {
        std::optional<std::int64_t> best;
        auto order = [&](std::int64_t rid) { return std::make_tuple(keyOf(records.at(rid), key), rid); };
        for (const auto& [rid, r] : records) {
            const std::int64_t v = keyOf(r, key);
            const bool after = kKeys[key].unique ? v > value : std::make_tuple(v, rid) > std::make_tuple(value, id);
            const bool before = kKeys[key].unique ? v < value : std::make_tuple(v, rid) < std::make_tuple(value, id);
            if (forward ? !after : !before) continue;
            if (!best || (forward ? order(rid) < order(*best) : order(rid) > order(*best))) best = rid;
        }
        return best;
    }

    bool clashes(const Bytes& r, std::optional<std::int64_t> except) const {
        for (const auto& [rid, other] : records)
            for (int k = 0; k < 3; ++k)
                if (kKeys[k].unique && rid != except && keyOf(other, k) == keyOf(r, k)) return true;
        return false;
    }

    void place(ModelCursor& c, int key, std::int64_t id) {
        c.positioned = c.hasCurrent = true;
        c.key = key;
        c.id = id;
        c.lastRead = records.at(id);
        c.value = keyOf(c.lastRead, key);
    }

    Expected get(int block, std::uint16_t op, int key, std::int64_t equalValue, std::uint32_t capacity) {
        ModelCursor& c = cursors[block];
        if (key < 0 || key > 2) return {B_INVALID_KEY_NUMBER, {}};
        if ((op == B_GET_NEXT || op == B_GET_PREVIOUS) && !c.positioned) return {B_INVALID_POSITIONING, {}};
        if ((op == B_GET_NEXT || op == B_GET_PREVIOUS) && c.key != key) return {B_DIFFERENT_KEY_NUMBER, {}};
        if (capacity < kRecordLength) return {B_DATA_BUFFER_TOO_SHORT, {}};
        std::optional<std::int64_t> found;
        if (op == B_GET_FIRST || op == B_GET_LAST) {  // a step in from beyond either end
            const std::int64_t beyond = op == B_GET_FIRST ? INT64_MIN : INT64_MAX;
            found = step(key, beyond, beyond, op == B_GET_FIRST);
        } else if (op == B_GET_EQUAL) {
            for (const auto& [rid, r] : records)
                if (keyOf(r, key) == equalValue) {
                    found = rid;
                    break;
                }
            if (!found) return {B_KEY_VALUE_NOT_FOUND, {}};
        } else {
            found = step(key, c.value, c.id, op == B_GET_NEXT);
        }
        if (!found) return {B_END_OF_FILE, {}};
        place(c, key, *found);
        return {B_NO_ERROR, records.at(*found)};
    }

    Expected insert(int block, int key, Bytes r, std::uint32_t capacity) {
        if (capacity != kRecordLength)
            return {capacity < kRecordLength ? B_DATA_BUFFER_TOO_SHORT : B_INVALID_RECORD_LENGTH, {}};
        if (key < 0 || key > 2) return {B_INVALID_KEY_NUMBER, {}};
        if (keyOf(r, 0) == 0) {
            std::int64_t highest = 0;
            for (const auto& [rid, other] : records) highest = std::max(highest, keyOf(other, 0));
            putInt(r, 0, 4, highest + 1);
        }
        if (clashes(r, std::nullopt)) return {B_DUPLICATE_KEY_VALUE, {}};
        const std::int64_t id = records.empty() ? 1 : records.rbegin()->first + 1;
        records[id] = r;
        place(cursors[block], key, id);
        return {B_NO_ERROR, r};
    }

    Expected update(int block, const Bytes& r, std::uint32_t capacity) {
        ModelCursor& c = cursors[block];
        if (capacity != kRecordLength)
            return {capacity < kRecordLength ? B_DATA_BUFFER_TOO_SHORT : B_INVALID_RECORD_LENGTH, {}};
        if (!c.hasCurrent) return {B_INVALID_POSITIONING, {}};
        const auto it = records.find(c.id);
        if (it == records.end() || it->second != c.lastRead) return {B_CONFLICT, {}};
        for (int k = 0; k < 3; ++k)
            if (!kKeys[k].modifiable && keyOf(r, k) != keyOf(c.lastRead, k)) return {B_MODIFIABLE_KEY_VALUE_ERROR, {}};
        if (clashes(r, c.id)) return {B_DUPLICATE_KEY_VALUE, {}};
        it->second = r;
        place(c, c.key, c.id);
        return {B_NO_ERROR, r};
    }

    Expected remove(int block) {
        ModelCursor& c = cursors[block];
        if (!c.hasCurrent) return {B_INVALID_POSITIONING, {}};
        const auto it = records.find(c.id);
        if (it == records.end() || it->second != c.lastRead) return {B_CONFLICT, {}};
        records.erase(it);
        c.hasCurrent = false;
        return {B_NO_ERROR, {}};
    }
};

std::uint32_t chosenSeed() {
    if (const char* text = std::getenv("BTRIEVE_MODEL_SEED"))
        return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10));
    return std::random_device{}();
}

TEST_F(BtrieveTest, RandomOperationsAgreeWithTheModel) {
    const std::uint32_t seed = chosenSeed();
    SCOPED_TRACE("replay with BTRIEVE_MODEL_SEED=" + std::to_string(seed));
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    Block blocks[kBlocks]{};
    openStandard(blocks[0]);
    for (int b = 1; b < kBlocks; ++b) ASSERT_EQ(openFile(blocks[b], path("standard.dat")), B_NO_ERROR);
    Model model;

    // Small value ranges, so duplicates, clashes and hits are frequent.
    auto randomRecord = [&](const Bytes* base) {
        Bytes r = base ? *base : Standard::record(pick(0, 3) == 0 ? pick(1, 60) : 0, 0, 0);
        if (base && pick(0, 9) == 0) putInt(r, 0, 4, pick(1, 60));  // an attempt to change the key that may not change
        putInt(r, 4, 2, pick(-4, 4));
        putInt(r, 6, 4, pick(0, 1) ? pick(0, 80) : 0xFFFFFF00u + static_cast<std::uint32_t>(pick(0, 80)));
        for (std::size_t i = 10; i < kRecordLength; ++i) r[i] = static_cast<std::uint8_t>(pick(0, 255));
        return r;
    };
    auto randomCapacity = [&] {
        const int roll = pick(0, 29);
        return roll == 0 ? kRecordLength - 1 : roll == 1 ? kRecordLength + 1 : kRecordLength;
    };

    for (int n = 0; n < kOperations; ++n) {
        const int block = pick(0, kBlocks - 1);
        const int key = pick(0, 40) == 0 ? 3 : pick(0, 2);
        const int kind = pick(0, 99);
        Call call{Bytes(kRecordLength + 1, 0)};
        Expected expected{};
        std::uint16_t op = 0;
        std::uint32_t capacity = randomCapacity();
        if (kind < 20) {
            op = B_INSERT;
            Bytes r = randomRecord(nullptr);
            std::copy(r.begin(), r.end(), call.data.begin());
            expected = model.insert(block, key, r, capacity);
        } else if (kind < 32) {
            op = B_UPDATE;
            const ModelCursor& c = model.cursors[block];
            Bytes r = randomRecord(c.lastRead.empty() ? nullptr : &c.lastRead);
            std::copy(r.begin(), r.end(), call.data.begin());
            expected = model.update(block, r, capacity);
        } else if (kind < 40) {
            op = B_DELETE;
            expected = model.remove(block);
        } else {
            static const std::uint16_t reads[] = {B_GET_FIRST, B_GET_LAST,     B_GET_NEXT,     B_GET_NEXT,
                                                  B_GET_NEXT,  B_GET_PREVIOUS, B_GET_PREVIOUS, B_GET_EQUAL};
            op = reads[pick(0, 7)];
            std::int64_t value = 0;
            if (op == B_GET_EQUAL) {
                // Mostly a value some record holds, sometimes one none does.
                if (!model.records.empty() && pick(0, 3) != 0 && key <= 2) {
                    auto it = model.records.begin();
                    std::advance(it, pick(0, static_cast<int>(model.records.size()) - 1));
                    value = Model::keyOf(it->second, key);
                } else {
                    value = pick(-5, 90);
                }
                putInt(call.key, 0, 8, value);
                if (key <= 2)  // the value as the key's own bytes read
                    value = getInt(call.key, 0, kKeys[key].length, kKeys[key].isSigned);
            }
            expected = model.get(block, op, key, value, capacity);
        }
        SCOPED_TRACE("operation " + std::to_string(n) + ": code " + std::to_string(op) + " on block " +
                     std::to_string(block) + " key " + std::to_string(key));
        const Bytes before = call.data;
        const std::int16_t status = BTRCALL(op, blocks[block].data(), call.data.data(), &capacity, call.key.data(),
                                            static_cast<std::uint8_t>(call.key.size()), static_cast<std::int8_t>(key));
        ASSERT_EQ(status, expected.status);
        if (status == B_NO_ERROR && !expected.record.empty()) {
            ASSERT_TRUE(std::equal(expected.record.begin(), expected.record.end(), call.data.begin()));
            const KeyField& k = kKeys[key];
            if (op != B_UPDATE) {  // every Get and Insert returns the key value
                ASSERT_TRUE(std::equal(call.key.begin(), call.key.begin() + static_cast<long>(k.length),
                                       expected.record.begin() + static_cast<long>(k.offset)));
            }
            if (op != B_INSERT && op != B_UPDATE) {
                ASSERT_EQ(capacity, kRecordLength);
            }
        }
        if (status != B_NO_ERROR && op != B_INSERT && op != B_UPDATE) {
            ASSERT_EQ(call.data, before) << "a failed Get wrote into the data buffer";
        }
    }
    std::string message;
    EXPECT_EQ(verify(path("standard.dat"), message), B_NO_ERROR) << message;
    // Finally the file holds exactly the model's records, in key 0 order.
    Call call{Bytes(kRecordLength)};
    std::uint16_t op = B_GET_FIRST;
    std::vector<Bytes> stored;
    while (call.run(op, blocks[0], 0) == B_NO_ERROR) {
        stored.push_back(call.data);
        op = B_GET_NEXT;
    }
    std::vector<Bytes> modelled;
    for (const auto& [id, r] : model.records) modelled.push_back(r);
    std::sort(modelled.begin(), modelled.end(),
              [](const Bytes& a, const Bytes& b) { return Model::keyOf(a, 0) < Model::keyOf(b, 0); });
    EXPECT_EQ(stored, modelled);
}

}  // namespace
}  // namespace btrieve_test
