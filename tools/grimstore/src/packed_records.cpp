#include "packed_records.h"

namespace grimstore {

void PackedRecords::clear(bool release) {
    if (release) {
        std::vector<uint8_t>().swap(bytes_);
        std::vector<size_t>().swap(ends_);
    }
    bytes_.clear();
    ends_.clear();
}

uint64_t PackedRecords::visit(const RecordVisitor& visit) const {
    uint64_t visited = 0;
    for (size_t begin = 0; const size_t end : ends_) {
        ++visited;
        if (!visit(std::span(bytes_).subspan(begin, end - begin))) break;
        begin = end;
    }
    return visited;
}

void PackedRecords::spans(std::vector<std::span<const uint8_t>>& out) const {
    out.clear();
    for (size_t begin = 0; const size_t end : ends_) {
        out.push_back(std::span(bytes_).subspan(begin, end - begin));
        begin = end;
    }
}

}  // namespace grimstore
