// One open data file seen through BTRCALL: its position block, key buffer and
// the few operations grimstore needs. Every call answers with the status.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <wbtrv32/btrieve.h>

#include "key_spec.h"

namespace grimstore {

class DataFile {
public:
    explicit DataFile(std::string name);
    ~DataFile();  // closes the file if it is still open
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    const std::string& name() const { return name_; }

    int16_t open(int8_t mode);
    int16_t close();
    int16_t stat(FileSpec& spec);

    // Reads into record, which is resized to the length the record manager
    // returned (so a caller can see a record of the wrong length).
    int16_t getFirst(int8_t key, std::vector<uint8_t>& record);
    int16_t getNext(int8_t key, std::vector<uint8_t>& record);

    // The record manager may write an assigned autoincrement value back into record.
    int16_t insert(std::span<uint8_t> record);
    // Deletes the record the last Get read.
    int16_t erase();

private:
    int16_t get(uint16_t operation, int8_t key, std::vector<uint8_t>& record);
    int16_t call(uint16_t operation, void* data, uint32_t& length, int8_t key);

    std::string name_;
    std::array<uint8_t, BTR_POSITION_BLOCK_SIZE> position_{};
    std::array<uint8_t, BTR_MAX_KEY_LENGTH> key_{};
    bool open_ = false;
};

// Begin (B_BEGIN_TRANSACTION), End or Abort of the process's transaction over all its files.
int16_t transactionCall(uint16_t operation);

// Creates a data file through the Create operation; replace = false refuses
// an existing file with status 59.
int16_t createDataFile(const std::string& name, const FileSpec& spec, bool replace);

}  // namespace grimstore
