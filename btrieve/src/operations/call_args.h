// The arguments of one BTRCALL, with bounded access to the caller's buffers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace wbtrv {

// Writes `text` zero-terminated into the caller's `out`, cut to `capacity`
// bytes (its zero included); nothing without a buffer.
inline void writeBoundedText(const std::string& text, char* out, std::uint32_t capacity) {
    if (!out || capacity == 0) return;
    const std::size_t n = text.size() < capacity ? text.size() : capacity - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

struct CallArgs {
    std::uint16_t operation = 0;  // without the key-only and lock biases
    bool keyOnly = false;         // a Get Key: the key value only, no record
    int lockBias = 0;             // 0 or one of 100, 200, 300, 400
    void* block = nullptr;
    void* data = nullptr;
    std::uint32_t* dataLength = nullptr;
    void* key = nullptr;
    std::uint8_t keyLength = 0;
    std::int8_t keyNumber = 0;

    // Bytes the caller says the data buffer holds; 0 without a buffer.
    std::uint32_t dataCapacity() const { return data && dataLength ? *dataLength : 0; }
    std::uint8_t* dataBytes() const { return static_cast<std::uint8_t*>(data); }
    // Bytes of the key buffer we may read or write; 0 without a buffer.
    std::uint32_t keyCapacity() const { return key ? keyLength : 0; }
    std::uint8_t* keyBytes() const { return static_cast<std::uint8_t*>(key); }
    void setDataLength(std::uint32_t n) const {
        if (dataLength) *dataLength = n;
    }

    // The zero-terminated text at the start of the key buffer; false when
    // there is no zero byte within the key length.
    bool keyText(std::string& text) const {
        const std::uint32_t n = keyCapacity();
        const void* end = n ? std::memchr(key, 0, n) : nullptr;
        if (!end) return false;
        text.assign(static_cast<const char*>(key), static_cast<const char*>(end));
        return true;
    }
    // The file name in the key buffer; false when there is none.
    bool fileName(std::string& name) const { return keyText(name) && !name.empty(); }
    // The text at the start of the data buffer: up to its first zero byte,
    // or as long as the data length when there is none.
    std::string dataText() const {
        const std::uint32_t n = dataCapacity();
        const void* end = n ? std::memchr(data, 0, n) : nullptr;
        const char* begin = static_cast<const char*>(data);
        return n ? std::string(begin, end ? static_cast<const char*>(end) : begin + n) : std::string();
    }
};

}  // namespace wbtrv
