#include "layout_checks.h"

namespace wbtrv {

bool integerInRange(const Statement& st, int column, std::int64_t low, std::int64_t high, std::int64_t& out) {
    if (st.typeAt(column) != SQLITE_INTEGER) return false;
    out = st.integerAt(column);
    return out >= low && out <= high;
}

bool segmentInside(std::int64_t offset, std::int64_t length, std::uint32_t recordLength) {
    return offset >= 0 && length >= 1 && offset <= recordLength && length <= recordLength - offset;
}

bool storedLengthSound(std::size_t size, std::uint32_t recordLength, bool variableLength) {
    return variableLength ? size >= recordLength : size == recordLength;
}

}  // namespace wbtrv
