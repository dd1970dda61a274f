// BTRCALL call sequences checked against a model of the file. Each input
// byte pair is one call (operation, argument) on a file of the standard
// layout; every status and every record read must be what the model says.
// The extended reads and Insert Extended take part, and Step Extended
// requests of raw input bytes, in buffers exactly as long as the call says,
// run on a second block open for that call. Percentages go there and back; Create Index, Set
// Owner and Set Directory take the input's next bytes as their buffers,
// answer one of their statuses and are undone (Drop Index keeping the
// numbers, Clear Owner, the directory set back), so the model's keys stay as
// they are.
#include "fuzz_support.h"

#include <wbtrv32/create_entries.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

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

// An extended read of up to `wanted` whole records whose code (key 2) is
// above `code`, at most `rejects` others examined; the buffer holds the answer.
Bytes extendedRequest(std::uint32_t wanted, std::uint32_t rejects, std::uint32_t code) {
    Bytes request = {0, 0, 'E', 'G', 0,  0, 1, 0, B_TYPE_UNSIGNED_BINARY, 4, 0, 6, 0, B_COMPARE_GREATER, 0, 0, 0, 0, 0,
                     0, 0, 1,   0,   16, 0, 0, 0};
    putInt(request, 0, 2, static_cast<std::int64_t>(request.size()));
    putInt(request, 4, 2, rejects);
    putInt(request, 15, 4, code);
    putInt(request, 19, 2, wanted);
    request.resize(std::max<std::size_t>(request.size(), 2 + wanted * (6 + 16)));
    return request;
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
    std::array<char, BTR_MAX_KEY_LENGTH> directory{};
    expect(BTRCALL(B_GET_DIRECTORY, nullptr, nullptr, nullptr, directory.data(), BTR_MAX_KEY_LENGTH, 0) == 0);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const std::uint8_t op = data[i] % 13, arg = data[i + 1];
        // The input's next bytes, up to n, as a buffer of its own (so a read past it is seen).
        const auto take = [&](size_t n) {
            const size_t from = std::min(i + 2, size), to = std::min(from + n, size);
            i = to - 2;
            return Bytes(data + from, data + to);
        };
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
                if (model.position) model.position = model.keyOf(record, model.keyNumber);
                break;
            }
            case 9: {  // get by percentage along key 0 (autoincrement values are ids) or physically, and back
                const std::int8_t along = arg & 1 ? -1 : 0;
                Bytes percentage(16, 0);
                putInt(percentage, 0, 2, arg * 40);
                const std::int16_t status = call(B_GET_BY_PERCENTAGE, block, percentage, key, along);
                expect(status == (model.records.empty() ? B_END_OF_FILE : B_NO_ERROR));
                if (status != B_NO_ERROR) break;
                const auto count = static_cast<double>(model.records.size() - 1);
                const long rank = std::lround(std::min(arg * 40, 10000) * count / 10000);
                const auto at = std::next(model.records.begin(), rank);
                expect(percentage == at->second);
                model.current = at->first;
                model.position = along == 0 ? std::optional(at->first) : std::nullopt;
                model.keyNumber = 0;
                Bytes answer(4), value(4);
                putInt(along == 0 ? value : answer, 0, 4, along == 0 ? at->first : (at->first >> 16 | at->first << 16));
                expect(call(B_FIND_PERCENTAGE, block, answer, value, along) == B_NO_ERROR);
                expect(getInt(answer, 0, 4) == (count ? std::lround(rank * 10000 / count) : 0));
                break;
            }
            case 10: {  // create index from the input's bytes, dropped again keeping the numbers
                Bytes entries = take(arg % 48);
                const std::int16_t status = call(B_CREATE_INDEX, block, entries, key, arg & 0x80 ? -128 : 0);
                static const std::int16_t refusals[] = {22, 27, 29, 45, 48, 49, 6, 5, 41};
                expect(status == B_NO_ERROR || std::count(std::begin(refusals), std::end(refusals), status) == 1);
                if (status != B_NO_ERROR) break;
                Bytes stat(4096);
                wbtrv::CreateEntries layout;
                expect(call(B_STAT, block, stat, key, 0) == B_NO_ERROR && wbtrv::readCreateBuffer(stat, layout) == 0);
                expect(layout.keys.size() == 4 && (layout.keys.back()[0].flags & B_KEY_SUPPLEMENTAL));
                const auto number = static_cast<std::int8_t>(layout.keys.back()[0].keyNumber | 0x80);
                expect(call(B_DROP_INDEX, block, stat, key, number) == B_NO_ERROR);
                model.position.reset();
                break;
            }
            case 11: {  // set owner with the input's bytes as the name, cleared again
                Bytes name = take(arg % 12);
                name.erase(std::find(name.begin(), name.end(), 0), name.end());
                const bool sound =
                    !name.empty() && name.size() <= 8 && std::count(name.begin(), name.end(), ' ') < long(name.size());
                Bytes typed = name, again = name;
                typed.push_back(0);
                again.push_back(0);
                const std::int16_t status = call(B_SET_OWNER, block, again, typed, std::int8_t(arg % 5));
                expect(status == (arg % 5 == 4 ? B_OPERATION_NOT_ALLOWED : sound ? B_NO_ERROR : B_INVALID_OWNER));
                expect(call(B_CLEAR_OWNER, block, again, typed, 0) == B_NO_ERROR);
                break;
            }
            case 12: {  // set directory to the input's bytes, set back; get it into a key buffer of arg bytes
                Bytes path = take(arg % 16);
                const std::int16_t status = call(B_SET_DIRECTORY, block, path, path, 0);
                expect(status == B_NO_ERROR || status == B_DIRECTORY_ERROR || status == B_INVALID_FILE_NAME);
                expect(BTRCALL(B_SET_DIRECTORY, nullptr, nullptr, nullptr, directory.data(), BTR_MAX_KEY_LENGTH, 0) ==
                       0);
                Bytes got(arg);
                const size_t needed = std::string_view(directory.data()).size() + 1;
                expect(call(B_GET_DIRECTORY, block, got, got, 0) ==
                       (arg < needed ? B_KEY_BUFFER_TOO_SHORT : B_NO_ERROR));
                expect(arg < needed || std::equal(got.begin(), got.begin() + needed, directory.begin()));
                break;
            }
            case 6: {  // Get Next or Previous Extended along the position's key
                const bool forward = !(arg & 2);
                const std::uint32_t wanted = arg % 3 + 1, rejects = arg / 64 + 1, code = arg % 16;
                Bytes answer = extendedRequest(wanted, rejects, code);
                const std::int8_t along = model.keyNumber;
                const std::int16_t status =
                    call(forward ? B_GET_NEXT_EXTENDED : B_GET_PREVIOUS_EXTENDED, block, answer, key, along);
                if (!model.position) {
                    expect(status == B_INVALID_POSITIONING);
                    break;
                }
                std::vector<const Bytes*> kept;
                const Bytes* last = nullptr;
                std::uint32_t rejected = 0;
                std::int16_t expected = B_END_OF_FILE;
                for (const Bytes* r = model.along(along, model.position, forward); r;
                     r = model.along(along, model.keyOf(*r, along), forward)) {
                    last = r;
                    if (getInt(*r, 6, 4) > code)
                        kept.push_back(r);
                    else
                        ++rejected;
                    if (kept.size() == wanted || rejected == rejects) {
                        expected = kept.size() == wanted ? B_NO_ERROR : B_REJECT_COUNT_REACHED;
                        break;
                    }
                }
                expect(status == expected && getInt(answer, 0, 2) == static_cast<std::int64_t>(kept.size()));
                for (std::size_t k = 0; k < kept.size(); ++k)
                    expect(std::equal(kept[k]->begin(), kept[k]->end(), answer.begin() + 8 + 22 * k));
                if (!last) break;
                model.current.reset();
                model.position = model.keyOf(*last, along);
                break;
            }
            case 7: {  // Insert Extended of one to three records, stopping at the first duplicate code
                Bytes buffer{static_cast<std::uint8_t>(arg % 3 + 1), 0};
                for (int r = 0; r < buffer[0]; ++r) {
                    Bytes one(16, static_cast<std::uint8_t>(arg + r));
                    putInt(one, 0, 4, 0);
                    putInt(one, 6, 4, (arg + 5 * r) % 16);
                    buffer.insert(buffer.end(), {16, 0});
                    buffer.insert(buffer.end(), one.begin(), one.end());
                }
                const Bytes given = buffer;
                const std::int16_t status = call(B_INSERT_EXTENDED, block, buffer, key, 0);
                std::int16_t expected = B_NO_ERROR;
                std::int64_t count = 0;
                for (; count < given[0]; ++count) {
                    Bytes one(given.begin() + 4 + 18 * count, given.begin() + 20 + 18 * count);
                    if (model.codeTaken(getInt(one, 6, 4), 0)) {
                        expected = B_DUPLICATE_KEY_VALUE;
                        break;
                    }
                    const std::int64_t id = model.records.empty() ? 1 : std::prev(model.records.end())->first + 1;
                    putInt(one, 0, 4, id);
                    model.records[id] = one;
                    expect(getInt(buffer, 4 + 4 * count, 2) == id);
                    model.current = model.position = id;
                    model.keyNumber = 0;
                }
                expect(status == expected && getInt(buffer, 0, 2) == count);
                break;
            }
            case 8: {  // a Step Extended request of raw input bytes, on a second block open for this call only
                // (Set Owner and Create Index want the first block to be the file's only one)
                const std::size_t n = std::min<std::size_t>(arg % 64, size - i - 2);
                Bytes raw(data + i + 2, data + i + 2 + n);
                i += n;
                Block other{};
                expect(open(other, path) == B_NO_ERROR);
                const std::int16_t status =
                    call(arg & 1 ? B_STEP_NEXT_EXTENDED : B_STEP_PREVIOUS_EXTENDED, other, raw, key, 0);
                expect(BTRCALL(B_CLOSE, other.data(), nullptr, nullptr, nullptr, 0, 0) == B_NO_ERROR);
                expect(status == B_NO_ERROR || status == B_END_OF_FILE || status == B_INCORRECT_DESCRIPTOR ||
                       status == B_REJECT_COUNT_REACHED || status == B_FIELD_OUTSIDE_RECORD ||
                       status == B_DATA_BUFFER_TOO_SMALL);
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
