#include "core/batch_read.h"

#include "core/layout_checks.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

void BatchAnswer::clear(std::span<std::uint8_t> into) {
    out = into;
    used = 0;
    count = 0;
    keptIds.clear();
    examined = false;
    lastId = 0;
    lastValue = KeyValue{};
    lastKey.clear();
}

bool BatchAnswer::keep(std::int64_t id, std::span<const std::uint8_t> extracted) {
    if (out.size() - used < kEntryHeader + extracted.size()) return false;
    writeEntry(id, extracted, out.data() + used);
    used += kEntryHeader + extracted.size();
    keptIds.push_back(id);
    ++count;
    return true;
}

bool BatchAnswer::keep(std::int64_t id, const std::uint8_t* record, const Extraction& extraction) {
    if (out.size() - used < extraction.entrySize()) return false;
    extraction.write(id, record, out.data() + used);
    used += extraction.entrySize();
    keptIds.push_back(id);
    ++count;
    return true;
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
    : layout_(layout), request_(request), answer_(answer) {}

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
    if (!request_.filter->accepts(data.data())) {
        ++rejected_;
    } else if (!answer_.keep(id, data.data(), *request_.extraction)) {
        status_ = B_DATA_BUFFER_TOO_SMALL;  // the request's own check leaves room for every record asked
        return false;
    }
    status_ = batchStatus(request_, answer_.count, rejected_);
    return status_ == B_END_OF_FILE;
}

}  // namespace wbtrv
