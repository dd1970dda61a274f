#include "core/owner.h"

#include <wbtrv32/btrieve.h>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>

namespace wbtrv {
namespace {

constexpr std::size_t kLongestName = 8;

bool hashOf(const std::vector<std::uint8_t>& salt, std::string_view name, std::vector<std::uint8_t>& out) {
    std::vector<std::uint8_t> input(salt);
    input.insert(input.end(), name.begin(), name.end());
    out.assign(OwnerRecord::kHashLength, 0);
    unsigned int length = 0;
    return EVP_Digest(input.data(), input.size(), out.data(), &length, EVP_sha256(), nullptr) == 1 &&
           length == OwnerRecord::kHashLength;
}

}  // namespace

bool OwnerRecord::admits(std::string_view name) const {
    std::vector<std::uint8_t> candidate;
    // Compared in constant time: how long a wrong name takes says nothing of the right one.
    return sound() && hashOf(salt, name, candidate) && CRYPTO_memcmp(candidate.data(), hash.data(), kHashLength) == 0;
}

bool OwnerRecord::sound() const {
    return restriction >= 0 && restriction <= 3 && salt.size() == kSaltLength && hash.size() == kHashLength;
}

int ownerAccess(const std::optional<OwnerRecord>& owner, std::string_view name, bool& readOnly) {
    readOnly = false;
    if (!owner || (!name.empty() && owner->admits(name))) return B_NO_ERROR;
    readOnly = name.empty() && owner->readableWithoutName();
    return readOnly ? B_NO_ERROR : B_INVALID_OWNER;
}

bool acceptableOwnerName(std::string_view name) {
    return !name.empty() && name.size() <= kLongestName &&
           std::any_of(name.begin(), name.end(), [](char c) { return c != ' '; });
}

bool sealOwnerName(std::string_view name, std::int64_t restriction, OwnerRecord& out) {
    out.restriction = restriction;
    out.salt.assign(OwnerRecord::kSaltLength, 0);
    return RAND_bytes(out.salt.data(), static_cast<int>(out.salt.size())) == 1 && hashOf(out.salt, name, out.hash);
}

}  // namespace wbtrv
