// Data files for the benchmarks: one filled template per size, copied afresh
// for every run so that writes of one run do not change the next.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace btrieve_bench {

constexpr std::uint16_t kRecordLength = 126;

class BenchFiles {
public:
    explicit BenchFiles(const std::vector<int>& sizes);
    ~BenchFiles();
    BenchFiles(const BenchFiles&) = delete;
    BenchFiles& operator=(const BenchFiles&) = delete;

    // A fresh copy of the template of `records` records; the path of the copy.
    std::string freshCopy(int records) const;

private:
    std::string templatePath(int records) const;
    std::filesystem::path dir_;
};

// A record whose 4-byte autoincrement key 0 holds `id` (0: to be assigned).
std::vector<std::uint8_t> benchRecord(std::int32_t id);

}  // namespace btrieve_bench
