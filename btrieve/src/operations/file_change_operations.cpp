// The operations that change a data file itself: Set Owner and Clear Owner,
// Create Index and Drop Index. Each needs its block to be the only one on
// the file, outside the transaction, and not read-only.
#include "core/create_buffer.h"
#include "core/key_change.h"
#include "core/owner.h"
#include "operations/operations.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {
namespace {

// The highest key number and the most keys a file may have.
constexpr std::size_t kLastKeyNumber = 118;
constexpr std::size_t kMaxKeys = 119;
// Set in Drop Index's and Create Index's key number: the numbers are the caller's.
constexpr std::uint8_t kNumbersKept = 0x80;

// 3 no such block, 41 inside the transaction, 46 a read-only block; on 0 `handle` is the block's.
int changingHandle(Registry& registry, const CallArgs& args, Handle*& handle) {
    handle = registry.handleOf(args.block);
    if (!handle) return B_FILE_NOT_OPEN;
    if (registry.inTransaction()) return B_OPERATION_NOT_ALLOWED;
    return handle->readOnly ? B_ACCESS_DENIED : B_NO_ERROR;
}

// Other blocks of this process on the file; other processes the engine sees to.
int aloneHere(const Handle& handle) { return handle.file->users > 1 ? B_FILE_IN_USE : B_NO_ERROR; }

}  // namespace

// The name comes twice, in the key buffer and in the data buffer, so that a
// slip of the keys does not lock the owner out.
int setOwnerOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = nullptr;
    if (const int status = changingHandle(registry, args, handle); status != B_NO_ERROR) return status;
    if (args.keyNumber < B_OWNER_NO_ACCESS || args.keyNumber > B_OWNER_READ_ONLY_ENCRYPTED)
        return B_OPERATION_NOT_ALLOWED;
    OpenFile& file = *handle->file;
    if (file.owner()) return B_OWNER_ALREADY_SET;
    std::string name;
    if (!args.keyText(name) || name != args.dataText() || !acceptableOwnerName(name)) return B_INVALID_OWNER;
    if (const int status = aloneHere(*handle); status != B_NO_ERROR) return status;
    OwnerRecord owner;
    if (!sealOwnerName(name, args.keyNumber, owner)) return B_IO_ERROR;
    if (const int status = file.changeOwner(owner); status != B_NO_ERROR) return status;
    handle->ownerNamed = true;
    return B_NO_ERROR;
}

// A block opened without the name is refused as such (51) before it is
// refused for being read-only, which it is on a file that lets it read.
int clearOwnerOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = nullptr;
    const int status = changingHandle(registry, args, handle);
    if (status == B_FILE_NOT_OPEN || status == B_OPERATION_NOT_ALLOWED) return status;
    OpenFile& file = *handle->file;
    if (!file.owner()) return B_NO_ERROR;
    if (!handle->ownerNamed) return B_INVALID_OWNER;
    if (status != B_NO_ERROR) return status;
    if (const int alone = aloneHere(*handle); alone != B_NO_ERROR) return alone;
    return file.changeOwner(std::nullopt);
}

int createIndexOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = nullptr;
    if (const int status = changingHandle(registry, args, handle); status != B_NO_ERROR) return status;
    OpenFile& file = *handle->file;
    const FileLayout& layout = file.layout();
    if (!layout.writable()) return B_OPERATION_NOT_ALLOWED;
    if (layout.keyCount() >= kMaxKeys) return B_INVALID_NUMBER_OF_KEYS;
    KeyDefinition key;
    std::uint8_t givenNumber = 0;
    if (const int status =
            parseKeyEntries(args.dataBytes(), args.dataCapacity(), layout.recordLength, key, givenNumber);
        status != B_NO_ERROR)
        return status;
    const bool given = static_cast<std::uint8_t>(args.keyNumber) & kNumbersKept;
    const std::size_t number = given ? givenNumber : lowestFreeKeyNumber(layout);
    if (number > kLastKeyNumber || layout.hasKey(number)) return B_INVALID_KEY_NUMBER;
    if (const int status = aloneHere(*handle); status != B_NO_ERROR) return status;
    for (KeySegment& segment : key.segments) segment.attributes |= B_KEY_SUPPLEMENTAL;
    return file.changeKeys(addingKey(layout, number, std::move(key)));
}

int dropIndexOperation(Registry& registry, const CallArgs& args) {
    Handle* handle = nullptr;
    if (const int status = changingHandle(registry, args, handle); status != B_NO_ERROR) return status;
    OpenFile& file = *handle->file;
    const FileLayout& layout = file.layout();
    const auto code = static_cast<std::uint8_t>(args.keyNumber);
    const std::size_t number = code & ~kNumbersKept;
    if (!layout.hasKey(number)) return B_INVALID_KEY_NUMBER;
    if (layout.keyCount() == 1) return B_OPERATION_NOT_ALLOWED;
    if (const int status = aloneHere(*handle); status != B_NO_ERROR) return status;
    if (const int status = file.changeKeys(droppingKey(layout, number, code & kNumbersKept)); status != B_NO_ERROR)
        return status;
    // The key the position followed may be gone or have another number.
    handle->cursor.positioned = false;
    handle->cursor.skipDuplicates = false;
    return B_NO_ERROR;
}

}  // namespace wbtrv
