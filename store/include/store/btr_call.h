// The one way the editor reaches the record manager: a function value that
// defaults to BTRCALL, so that a test can wrap it and fail any chosen call.
#pragma once

#include <cstdint>
#include <functional>

namespace store {

using BtrCall = std::function<std::int16_t(std::uint16_t operation, void* positionBlock, void* dataBuffer,
                                           std::uint32_t* dataLength, void* keyBuffer, std::uint8_t keyLength,
                                           std::int8_t keyNumber)>;

// Calls the record manager's BTRCALL.
BtrCall recordManagerCall();

}  // namespace store
