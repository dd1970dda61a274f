#include "store/btr_call.h"

#include <wbtrv32/btrieve.h>

namespace store {

BtrCall recordManagerCall() {
    return [](std::uint16_t operation, void* positionBlock, void* dataBuffer, std::uint32_t* dataLength,
              void* keyBuffer, std::uint8_t keyLength, std::int8_t keyNumber) {
        return BTRCALL(operation, positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
    };
}

}  // namespace store
