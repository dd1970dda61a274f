#include "test_support/call_seam.h"

#include <algorithm>
#include <cstring>

#include <wbtrv32/btrieve.h>

namespace test_support {

void CallSeam::failNext(std::uint16_t operation, std::int16_t status, std::size_t skip) {
    failures_.push_back({operation, status, skip});
}

store::BtrCall CallSeam::call() {
    return [this](std::uint16_t operation, void* positionBlock, void* dataBuffer, std::uint32_t* dataLength,
                  void* keyBuffer, std::uint8_t keyLength, std::int8_t keyNumber) -> std::int16_t {
        Call record{operation, {}, keyLength, 0, keyNumber, positionBlock};
        if (operation == B_OPEN && keyBuffer != nullptr)
            record.fileName = std::string(static_cast<const char*>(keyBuffer),
                                          strnlen(static_cast<const char*>(keyBuffer), keyLength));
        auto failure = failures_.end();
        for (auto it = failures_.begin(); it != failures_.end(); ++it) {
            if (it->operation != operation) continue;
            if (it->skip > 0) {
                --it->skip;
            } else if (failure == failures_.end()) {
                failure = it;
            }
        }
        if (failure != failures_.end()) {
            record.status = failure->status;
            failures_.erase(failure);
        } else {
            record.status = BTRCALL(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
        }
        calls.push_back(record);
        return record.status;
    };
}

std::vector<std::uint16_t> CallSeam::operations() const {
    std::vector<std::uint16_t> result;
    for (const auto& c : calls) result.push_back(c.operation);
    return result;
}

std::vector<std::string> CallSeam::openedFiles() const {
    std::vector<std::string> result;
    for (const auto& c : calls)
        if (c.operation == B_OPEN) result.push_back(c.fileName);
    return result;
}

}  // namespace test_support
