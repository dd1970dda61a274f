#include <wbtrv32/client.h>

#include <array>
#include <vector>

namespace wbtrv::client {
namespace {

// A call that concerns the process rather than one file.
Status processCall(std::uint16_t operation) {
    std::array<std::uint8_t, BTR_POSITION_BLOCK_SIZE> unused{};
    std::uint32_t length = 0;
    return BTRCALL(operation, unused.data(), nullptr, &length, nullptr, 0, 0);
}

}  // namespace

std::string_view statusWords(Status status) { return BTRSTATUSTEXT(status); }

std::string describeStatus(Status status) {
    return std::to_string(status) + " (" + std::string(statusWords(status)) + ")";
}

EntryPoint recordManager() { return BTRCALL; }

Status create(std::string_view name, const CreateEntries& entries, IfExists ifExists) {
    std::array<std::uint8_t, BTR_POSITION_BLOCK_SIZE> position{};
    std::array<char, BTR_MAX_KEY_LENGTH> key{};
    if (name.size() >= key.size()) return B_INVALID_FILE_NAME;
    std::copy(name.begin(), name.end(), key.begin());
    std::vector<std::uint8_t> buffer = buildCreateBuffer(entries);
    auto length = static_cast<std::uint32_t>(buffer.size());
    return BTRCALL(B_CREATE, position.data(), buffer.data(), &length, key.data(), BTR_MAX_KEY_LENGTH,
                   ifExists == IfExists::Refuse ? -1 : 0);
}

Status beginTransaction() { return processCall(B_BEGIN_TRANSACTION); }
Status endTransaction() { return processCall(B_END_TRANSACTION); }
Status abortTransaction() { return processCall(B_ABORT_TRANSACTION); }
Status stop() { return processCall(B_STOP); }
Status reset() { return processCall(B_RESET); }

Status verify(const std::string& name, std::string& message) {
    std::array<char, 1024> text{};
    const Status status = BTRVERIFY(name.c_str(), text.data(), text.size());
    message = text.data();
    return status;
}

std::string_view version() { return BTRVERSION(); }

}  // namespace wbtrv::client
