#include "core/layout_checks.h"

namespace wbtrv {

bool segmentInside(std::int64_t offset, std::int64_t length, std::uint32_t recordLength) {
    return offset >= 0 && length >= 1 && offset <= recordLength && length <= recordLength - offset;
}

bool storedLengthSound(std::size_t size, std::uint32_t recordLength, bool variableLength) {
    return variableLength ? size >= recordLength : size == recordLength;
}

}  // namespace wbtrv
