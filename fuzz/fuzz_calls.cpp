// BTRCALL call sequences checked against a model of the file. Each input
// byte pair is one call (operation, argument) on a file of the standard
// layout; every status and every record read must be what the model says.
#include "fuzz_support.h"

#include <cstdlib>
#include <iterator>
#include <map>
#include <optional>

using namespace fuzz;

namespace {

// The file as it should be: records by id, and where the block stands.
struct Model {
    std::map<std::int64_t, Bytes> records;
    std::optional<std::int64_t> current;   // id of the current record
    std::int8_t keyNumber = 0;             // key of the position (0 or 2, both unique)
    std::optional<std::int64_t> position;  // key value the position stands at

    std::int64_t keyOf(const Bytes& r, std::int8_t key) const { return key == 0 ? getInt(r, 0, 4) : getInt(r, 6, 4); }
    bool codeTaken(std::int64_t code, std::int64_t except) const {
        for (const auto& [id, r] : records)
            if (id != except && getInt(r, 6, 4) == code) return true;
        return false;
    }
    // The record after (or before) value along key, or the first (last) with no value.
    const Bytes* along(std::int8_t key, std::optional<std::int64_t> value, bool forward) const {
        const Bytes* best = nullptr;
        for (const auto& [id, r] : records) {
            const std::int64_t v = keyOf(r, key);
            if (value && (forward ? v <= *value : v >= *value)) continue;
            if (!best || (forward ? v < keyOf(*best, key) : v > keyOf(*best, key))) best = &r;
        }
        return best;
    }
};

void expect(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = scratchPath("calls.dat");
    removeDataFile(path);
    expect(createStandard(path) == B_NO_ERROR);
    Block block{};
    expect(open(block, path) == B_NO_ERROR);
    Model model;
    Bytes key(BTR_MAX_KEY_LENGTH);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const std::uint8_t op = data[i] % 6, arg = data[i + 1];
        const std::int8_t keyNumber = arg & 1 ? 2 : 0;
        Bytes record(16, arg);
        putInt(record, 0, 4, 0);
        putInt(record, 4, 2, arg % 3);
        putInt(record, 6, 4, arg % 16);
        const auto read = [&](std::int16_t status, const Bytes* expected) {
            expect(status == (expected ? B_NO_ERROR : B_END_OF_FILE));
            if (!expected) return;
            expect(record == *expected);
            model.current = getInt(record, 0, 4);
            model.keyNumber = keyNumber;
            model.position = model.keyOf(record, keyNumber);
        };
        switch (op) {
            case 0: {  // insert
                const std::int64_t id = model.records.empty() ? 1 : std::prev(model.records.end())->first + 1;
                const bool taken = model.codeTaken(arg % 16, 0);
                expect(call(B_INSERT, block, record, key, 0) == (taken ? B_DUPLICATE_KEY_VALUE : B_NO_ERROR));
                if (taken) break;
                expect(getInt(record, 0, 4) == id);
                model.records[id] = record;
                model.current = id;
                model.keyNumber = 0;
                model.position = id;
                break;
            }
            case 1:  // get first or last
                read(call(arg & 2 ? B_GET_LAST : B_GET_FIRST, block, record, key, keyNumber),
                     model.along(keyNumber, std::nullopt, !(arg & 2)));
                break;
            case 2: {  // get next or previous along the position's key
                const bool forward = !(arg & 2);
                const std::int16_t status =
                    call(forward ? B_GET_NEXT : B_GET_PREVIOUS, block, record, key, model.keyNumber);
                if (!model.position) {
                    expect(status == B_INVALID_POSITIONING);
                    break;
                }
                const std::int8_t along = model.keyNumber;
                const Bytes* expected = model.along(along, model.position, forward);
                expect(status == (expected ? B_NO_ERROR : B_END_OF_FILE));
                if (expected) {
                    expect(record == *expected);
                    model.current = getInt(record, 0, 4);
                    model.position = model.keyOf(record, along);
                }
                break;
            }
            case 3: {  // get equal on key 0
                putInt(key, 0, 4, arg % 12);
                const auto found = model.records.find(arg % 12);
                const std::int16_t status = call(B_GET_EQUAL, block, record, key, 0);
                if (found == model.records.end()) {
                    expect(status == B_KEY_VALUE_NOT_FOUND);
                    break;
                }
                expect(status == B_NO_ERROR && record == found->second);
                model.current = found->first;
                model.keyNumber = 0;
                model.position = found->first;
                break;
            }
            case 4: {  // update the current record's group and code
                const std::int16_t status = [&] {
                    if (!model.current) return call(B_UPDATE, block, record, key, 0);
                    Bytes changed = model.records.at(*model.current);
                    putInt(changed, 4, 2, arg % 3);
                    putInt(changed, 6, 4, arg % 16);
                    record = changed;
                    return call(B_UPDATE, block, record, key, 0);
                }();
                if (!model.current) {
                    expect(status == B_INVALID_POSITIONING);
                    break;
                }
                const bool taken = model.codeTaken(arg % 16, *model.current);
                expect(status == (taken ? B_DUPLICATE_KEY_VALUE : B_NO_ERROR));
                if (taken) break;
                model.records[*model.current] = record;
                model.position = model.keyOf(record, model.keyNumber);
                break;
            }
            default: {  // delete the current record
                const std::int16_t status = call(B_DELETE, block, record, key, 0);
                expect(status == (model.current ? B_NO_ERROR : B_INVALID_POSITIONING));
                if (model.current) model.records.erase(*model.current);
                model.current.reset();
                break;
            }
        }
    }
    Block reset{};
    BTRCALL(B_RESET, reset.data(), nullptr, nullptr, nullptr, 0, 0);
    removeDataFile(path);
    return 0;
}
