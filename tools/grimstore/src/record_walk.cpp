#include "record_walk.h"

#include <vector>

namespace grimstore {

WalkResult walkRecords(DataFile& file, size_t keyCount, const RecordVisitor& visit) {
    WalkResult result;
    std::vector<uint8_t> record;
    // Keys of types the record manager cannot order by answer 41; try the next.
    int16_t status = B_OPERATION_NOT_ALLOWED;
    for (size_t key = 0; key < keyCount && status == B_OPERATION_NOT_ALLOWED; ++key) {
        result.key = static_cast<int8_t>(key);
        status = file.getFirst(result.key, record);
    }
    while (status == B_NO_ERROR) {
        ++result.visited;
        if (!visit(record)) break;
        status = file.getNext(result.key, record);
    }
    result.status = status == B_END_OF_FILE ? int16_t{B_NO_ERROR} : status;
    return result;
}

}  // namespace grimstore
