#include "fuzz_support.h"

#include <wbtrv32/create_entries.h>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

std::string scratchPath(const std::string& name) {
    // Under GRIM_FUZZ_SCRATCH (scripts/run-fuzz puts it in memory: every
    // commit syncs, and syncs on a disk are slow), else under /tmp.
    static const std::string folder = [] {
        const char* base = std::getenv("GRIM_FUZZ_SCRATCH");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/grim-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    return folder + "/" + name;
}

void removeDataFile(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::remove((path + suffix).c_str());
}

void verifyAndRemove(const std::string& path) {
    char message[256];
    BTRVERIFY(path.c_str(), message, sizeof message);
    Block reset{};
    BTRCALL(B_RESET, reset.data(), nullptr, nullptr, nullptr, 0, 0);
    removeDataFile(path);
}

std::int16_t call(std::uint16_t operation, Block& block, Bytes& data, Bytes& key, std::int8_t keyNumber) {
    auto length = static_cast<std::uint32_t>(data.size());
    return BTRCALL(operation, block.data(), data.data(), &length, key.data(), static_cast<std::uint8_t>(key.size()),
                   keyNumber);
}

std::int16_t open(Block& block, const std::string& path) {
    Bytes name(path.begin(), path.end());
    name.push_back(0);
    Bytes none;
    return call(B_OPEN, block, none, name, B_MODE_NORMAL);
}

std::int16_t createStandard(const std::string& path) {
    wbtrv::CreateEntries entries;
    entries.recordLength = 16;
    entries.keys = {{{1, 4, B_KEY_EXTENDED_TYPE, B_TYPE_AUTOINCREMENT}},
                    {{5, 2, B_KEY_DUPLICATES | B_KEY_MODIFIABLE | B_KEY_EXTENDED_TYPE, B_TYPE_INTEGER}},
                    {{7, 4, B_KEY_MODIFIABLE | B_KEY_EXTENDED_TYPE, B_TYPE_UNSIGNED_BINARY}}};
    Bytes buffer = wbtrv::buildCreateBuffer(entries);
    Bytes name(path.begin(), path.end());
    name.push_back(0);
    Block block{};
    return call(B_CREATE, block, buffer, name, 0);
}

void expectCreated(const std::string& path) {
    Block block{};
    if (createStandard(path) != B_NO_ERROR || open(block, path) != B_NO_ERROR) std::abort();
    Bytes key(BTR_MAX_KEY_LENGTH);
    for (std::uint32_t code = 1; code <= 3; ++code) {
        Bytes record(16, static_cast<std::uint8_t>(code));
        putInt(record, 0, 4, 0);
        putInt(record, 6, 4, code);
        if (call(B_INSERT, block, record, key, 0) != B_NO_ERROR) std::abort();
    }
    call(B_CLOSE, block, key, key, 0);
}

void putInt(Bytes& bytes, std::size_t offset, std::size_t length, std::int64_t value) {
    auto v = static_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < length; ++i, v >>= 8) bytes[offset + i] = static_cast<std::uint8_t>(v);
}

std::int64_t getInt(const Bytes& bytes, std::size_t offset, std::size_t length) {
    std::uint64_t v = 0;
    for (std::size_t i = length; i-- > 0;) v = (v << 8) | bytes[offset + i];
    return static_cast<std::int64_t>(v);
}

}  // namespace fuzz
