#include "record_walk.h"

namespace grimstore {

using wbtrv::client::Move;

WalkResult walkRecords(wbtrv::client::File& file, size_t keyCount, const RecordVisitor& visit) {
    WalkResult result;
    // Keys of types the record manager cannot order by answer 41; try the next.
    int16_t status = B_OPERATION_NOT_ALLOWED;
    for (size_t key = 0; key < keyCount && status == B_OPERATION_NOT_ALLOWED; ++key) {
        result.key = static_cast<int8_t>(key);
        status = file.get(Move::First, result.key);
    }
    while (status == B_NO_ERROR) {
        ++result.visited;
        if (!visit(file.record())) break;
        status = file.get(Move::Next, result.key);
    }
    result.status = status == B_END_OF_FILE ? int16_t{B_NO_ERROR} : status;
    return result;
}

}  // namespace grimstore
