#include "core/batch_read.h"

#include "core/layout_checks.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

void BatchAnswer::clear() {
    count = 0;
    entries.clear();
    keptIds.clear();
    examined = false;
    lastId = 0;
    lastValue = KeyValue{};
    lastKey.clear();
}

void BatchAnswer::keep(std::int64_t id, std::span<const std::uint8_t> extracted) {
    appendEntry(id, extracted, entries);
    keptIds.push_back(id);
    ++count;
}

bool BatchAnswer::examinedAlong(const KeyDefinition& key, std::int64_t id, std::span<const std::uint8_t> keyBytes,
                                const KeyValue& stored) {
    if (keyBytes.size() != key.length() || !key.valueFromKeyBytes(keyBytes.data(), lastValue) || lastValue != stored)
        return false;
    examined = true;
    lastId = id;
    lastKey.assign(keyBytes.begin(), keyBytes.end());
    return true;
}

int batchStatus(const BatchRequest& request, std::uint32_t kept, std::uint32_t rejected) {
    if (kept >= request.wanted) return B_NO_ERROR;
    return rejected >= request.maxRejects ? B_REJECT_COUNT_REACHED : B_END_OF_FILE;
}

BatchCollector::BatchCollector(const FileLayout& layout, const BatchRequest& request, BatchAnswer& answer)
    : layout_(layout), request_(request), answer_(answer) {
    answer_.clear();
}

bool BatchCollector::examine(std::int64_t id, std::span<const std::uint8_t> data, const KeyValue* stored) {
    // A record of the wrong length would be read past its end.
    if (!storedLengthSound(data.size(), layout_.recordLength, layout_.variableLength)) {
        status_ = B_IO_ERROR;
        return false;
    }
    if (request_.key) {
        const KeyDefinition& key = layout_.keys[*request_.key];
        keyBytes_.resize(key.length());
        key.keyBytesOf(data, keyBytes_.data());
        if (!stored || !answer_.examinedAlong(key, id, keyBytes_, *stored)) {
            status_ = B_IO_ERROR;
            return false;
        }
    } else {
        answer_.examined = true;
        answer_.lastId = id;
    }
    if (request_.filter->accepts(data.data())) {
        request_.extraction->append(id, data.data(), answer_.entries);
        answer_.keptIds.push_back(id);
        ++answer_.count;
    } else {
        ++rejected_;
    }
    status_ = batchStatus(request_, answer_.count, rejected_);
    return status_ == B_END_OF_FILE;
}

}  // namespace wbtrv
