// Data files for the benchmarks: one filled template per size, copied afresh
// for every run so that writes of one run do not change the next (on SQLite;
// on a server the template itself is used).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace btrieve_bench {

constexpr std::uint16_t kRecordLength = 126;
// Files "named": key 1 a 12-byte string at offset 30, the record's name.
constexpr std::uint16_t kNameOffset = 30;
constexpr std::uint16_t kNameLength = 12;

class BenchFiles {
public:
    explicit BenchFiles(const std::vector<int>& sizes);
    ~BenchFiles();
    BenchFiles(const BenchFiles&) = delete;
    BenchFiles& operator=(const BenchFiles&) = delete;

    // A fresh copy of the template of `records` records; the path of the copy.
    // A named file has the string key 1 beside key 0.
    std::string freshCopy(int records, bool named = false) const;

private:
    std::string templatePath(int records, bool named) const;
    std::filesystem::path dir_;
    bool onServer_;  // WBTRV32_SERVER puts every file on the server
};

// Records of one Step Next Extended batch, and of one filtered Get Next Extended.
constexpr int kBatchRecords = 1000;
// As many records as an answer of a megabyte holds, as grimstore asks for.
constexpr int kFilteredBatch = (1 << 20) / (6 + kRecordLength);
// The filtered walks keep the records whose name's last digit is this one.
constexpr std::uint16_t kDigitOffset = kNameOffset + kNameLength - 1;
constexpr char kDigit = '7';

// The server that WBTRV32_SERVER names for every data file of the process; nullptr for SQLite files.
const char* benchServer();

// A record whose 4-byte autoincrement key 0 holds `id` (0: to be assigned)
// and whose name is "name" and the id in 8 digits.
std::vector<std::uint8_t> benchRecord(std::int32_t id);
std::string benchName(std::int32_t id);

}  // namespace btrieve_bench
