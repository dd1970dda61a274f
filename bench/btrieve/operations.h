// What the record manager's benchmarks share: the record manager reached
// through our client, and the timed loop of each operation, which runs on it
// or on a floor doing the same work straight on the engine.
#pragma once

#include "bench_driver.h"

#include <wbtrv32/bytes.h>
#include <wbtrv32/client.h>

#include <benchmark/benchmark.h>

#include <array>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace btrieve_bench {

namespace client = wbtrv::client;

// The record manager through our client, as the tools reach it.
class Ours : public Driver {
public:
    explicit Ours(const std::string& path) : ok_(file_.open(path) == 0) {}
    bool ok() const override { return ok_; }
    bool first() override { return file_.get(client::Move::First, 0) == 0; }
    bool last() override { return file_.get(client::Move::Last, 0) == 0; }
    bool next() override { return file_.get(client::Move::Next, 0) == 0; }
    bool previous() override { return file_.get(client::Move::Previous, 0) == 0; }
    bool equal(std::int32_t key) override { return find(client::Find::Equal, key); }
    bool equalName(std::int32_t id) override {
        const std::string name = benchName(id);
        const std::span value(reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
        return file_.find(client::Find::Equal, 1, value) == 0;
    }
    bool greater(std::int32_t key) override { return find(client::Find::Greater, key); }
    bool stepFirst() override { return file_.step(client::Step::First) == 0; }
    bool stepNext() override { return file_.step(client::Step::Next) == 0; }
    bool stepBatch() override {
        // At the end of the file, on from its start.
        const client::Status status = file_.stepExtended(client::Direction::Next, stepBatch_, batch_);
        if (!batch_.empty()) return status == 0 || status == B_END_OF_FILE;
        return status == B_END_OF_FILE && file_.step(client::Step::First) == 0;
    }
    int filteredWalk() override {
        if (file_.get(client::Move::First, 0) != 0) return -1;
        int found = file_.record()[kDigitOffset] == kDigit;
        for (;;) {
            const client::Status status = file_.getExtended(client::Direction::Next, 0, filtered_, batch_);
            found += static_cast<int>(batch_.size());
            if (status == B_END_OF_FILE) return found;
            if (status != 0 && status != B_REJECT_COUNT_REACHED) return -1;
        }
    }
    bool begin() override { return client::beginTransaction() == 0; }
    bool end() override { return client::endTransaction() == 0; }
    bool insert() override {
        record_ = benchRecord(0);
        return file_.insert(record_) == 0;
    }
    bool update() override {
        // The record last read, one byte changed.
        if (!file_.record().empty()) record_.assign(file_.record().begin(), file_.record().end());
        ++record_[10];
        return file_.update(record_) == 0;
    }
    bool remove() override { return file_.remove() == 0; }

private:
    bool find(client::Find how, std::int32_t key) {
        std::array<std::uint8_t, 4> value{};
        wbtrv::writeLittleEndian(value.data(), value.size(), static_cast<std::uint32_t>(key));
        return file_.find(how, 0, value) == 0;
    }
    static client::ExtendedRequest filteredRequest() {
        client::ExtendedRequest request = client::ExtendedRequest::wholeRecords(kRecordLength, kFilteredBatch);
        request.maxRejects = 65535;
        client::FilterTerm& digit = request.terms.emplace_back();
        digit.offset = kDigitOffset;
        digit.length = 1;
        digit.value = {kDigit};
        return request;
    }
    client::File file_;
    std::vector<std::uint8_t> record_ = benchRecord(0);
    const client::ExtendedRequest stepBatch_ = client::ExtendedRequest::wholeRecords(kRecordLength, kBatchRecords);
    const client::ExtendedRequest filtered_ = filteredRequest();
    std::vector<client::ExtendedRecord> batch_;
    bool ok_;
};

using Loop = std::function<bool(benchmark::State&, Driver&, int records)>;

struct Operation {
    const char* name;
    Loop loop;
    bool named = false;  // runs on files with the string key 1
};

// The timed loop of each operation, shared by every driver.
const std::vector<Operation>& operations();

}  // namespace btrieve_bench
