// A file's owner name as the file keeps it: never the name itself, only a
// random salt and the SHA-256 hash of the salt followed by the name, and the
// access the file gives an Open that does not bring the name.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace wbtrv {

struct OwnerRecord {
    static constexpr std::size_t kSaltLength = 16;
    static constexpr std::size_t kHashLength = 32;
    // The access code Set Owner was given: 0 and 2 no access without the
    // name, 1 and 3 read-only access (2 and 3 also ask for encryption, which
    // this record manager does not do).
    std::int64_t restriction = 0;
    std::vector<std::uint8_t> salt;
    std::vector<std::uint8_t> hash;

    bool readableWithoutName() const { return (restriction & 1) != 0; }
    // Whether `name` is the owner name.
    bool admits(std::string_view name) const;
    // Whether a record read from a file is one this record manager wrote.
    bool sound() const;
};

// What an Open bringing `name` (empty: no name) may do on a file with this
// owner: 0, with `readOnly` set when it may only read; 51 when it may not
// open the file. A file without an owner ignores the name.
int ownerAccess(const std::optional<OwnerRecord>& owner, std::string_view name, bool& readOnly);

// An owner name is 1 to 8 bytes, not all blanks.
bool acceptableOwnerName(std::string_view name);
// Seals a name with a fresh random salt; false when no randomness can be had.
bool sealOwnerName(std::string_view name, std::int64_t restriction, OwnerRecord& out);

}  // namespace wbtrv
