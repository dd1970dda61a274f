#include "store/table_blocks.h"

#include <algorithm>
#include <array>

namespace store {

const TableMessages& tableMessages(records::TableId table) {
    static const std::array<TableMessages, 6> messages{{
        {"Error on BOPEN RACE: ", "Error on BGETFIRST RACE: ", "Error on BCLOSE RACE: "},
        {"Error on BOPEN CLASS: ", "Error on BGETFIRST Class: ", "Error on BCLOSE Class: "},
        {"Error on BOPEN Spell: ", "Error on BGETFIRST Spell: ", "Error on BCLOSE Spell: "},
        {"Error on BOPEN MONSTER: ", "Error on BGETFIRST MONSTER: ", "Error on Bclose MONSTER: "},
        {"Error on BOPEN ITEM: ", "Error on BGETFIRST ITEM: ", "Error on BCLOSE ITEM: "},
        // The messages file is released by the Stop that ends shut-down.
        {"Error on BOPEN MESSAGE: ", "Error on BGETFIRST Message: ", ""},
    }};
    return messages[static_cast<std::size_t>(table)];
}

TableBlocks::TableBlocks() {
    blocks_.reserve(records::kTableFiles.size());
    for (const auto& table : records::kTableFiles) blocks_.emplace_back(table);
}

void prepareBlock(TableFileBlock& block) {
    block.recordLength = block.file.recordLength;
    block.positionBlock.fill(0);
    block.keyBuffer.fill(0);
    const auto name = block.file.fileName.substr(0, block.keyBuffer.size() - 1);
    std::copy(name.begin(), name.end(), block.keyBuffer.begin());
    block.keyNumber = 0;
}

bool openTable(const RecordStore& store, TableFileBlock& block) {
    // Open hands over a zeroed data buffer: no owner name.
    std::fill(block.row.begin(), block.row.end(), 0);
    if (!store.check(store.onTable(B_OPEN, block), tableMessages(block.file.id).openError)) return false;
    block.openFlag = 1;
    return true;
}

void showFirstRecord(const RecordStore& store, TableFileBlock& block, const ShowRow& show) {
    if (store.check(store.onTable(B_GET_FIRST, block), tableMessages(block.file.id).firstError, EndOfFile::Silent))
        show(block);
}

bool startUp(const RecordStore& store, TableBlocks& files, const ShowRow& show) {
    for (auto& block : files.blocks()) {
        prepareBlock(block);
        if (!openTable(store, block)) return false;
        showFirstRecord(store, block, show);
    }
    return true;
}

void shutDown(const RecordStore& store, TableBlocks& files) {
    for (auto& block : files.blocks()) {
        const auto prefix = tableMessages(block.file.id).closeError;
        if (prefix.empty() || block.openFlag != 1) continue;
        store.check(store.onTable(B_CLOSE, block), prefix);
    }
    store.check(store.onRecordManager(B_STOP), "Error on BSTOP: ");
    store.check(store.onRecordManager(B_RESET), "Error on BRESET: ");
}

}  // namespace store
