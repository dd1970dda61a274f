// The six data files of a run: their file blocks, and the start-up and shut-down
// sequences that open them, show their first records and release them again.
#pragma once

#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "records/tables.h"
#include "store/record_store.h"
#include "store/table_file_block.h"

namespace store {

// The messages of one table's start-up and shut-down calls.
struct TableMessages {
    std::string_view openError;   // "Error on BOPEN RACE: " ...
    std::string_view firstError;  // "Error on BGETFIRST RACE: " ...
    std::string_view closeError;  // empty: the file gets no Close of its own (messages)
};

const TableMessages& tableMessages(records::TableId table);

// One file block per table of records::kTableFiles, in start-up order, living as long as the set.
class TableBlocks {
public:
    TableBlocks();
    TableBlocks(const TableBlocks&) = delete;
    TableBlocks& operator=(const TableBlocks&) = delete;

    TableFileBlock& block(records::TableId table) { return blocks_[static_cast<std::size_t>(table)]; }
    std::span<TableFileBlock> blocks() { return blocks_; }

private:
    std::vector<TableFileBlock> blocks_;
};

// Called with a block whose packed row buffer holds a record just read.
using ShowRow = std::function<void(TableFileBlock&)>;

// Record length, zeroed position block, file name and a zero in the key buffer, key number 0.
void prepareBlock(TableFileBlock& block);

// Opens the block's file and sets its open flag; reports a failure.
bool openTable(const RecordStore& store, TableFileBlock& block);

// Reads the first record and shows it; an empty file is silent.
void showFirstRecord(const RecordStore& store, TableFileBlock& block, const ShowRow& show);

// Prepares, opens and shows the first record of every table, one table after the other.
// False as soon as an Open fails: the caller then ends the program without shutting down.
bool startUp(const RecordStore& store, TableBlocks& files, const ShowRow& show);

// Closes the open files (all but messages), then Stop and Reset; every failure is
// reported and the sequence goes on.
void shutDown(const RecordStore& store, TableBlocks& files);

}  // namespace store
