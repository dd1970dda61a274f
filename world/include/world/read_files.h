// The six data files of a world, each opened read-only through a position block of
// its own when first needed, so that reading them never moves a position the
// editor's own blocks hold.
#pragma once

#include <wbtrv32/client.h>

#include <array>
#include <filesystem>
#include <optional>

#include "records/tables.h"

namespace world {

namespace client = wbtrv::client;

class ReadFiles {
public:
    // folder empty: the files are named bare, as the editor opens them from its current folder.
    explicit ReadFiles(std::filesystem::path folder = {}, client::EntryPoint entryPoint = client::recordManager());

    // The table's file, opened on first use (and tried again after a failed Open);
    // nullptr when it cannot be opened, the status then in openStatus.
    client::File* file(records::TableId table);
    client::Status openStatus(records::TableId table) const { return statuses_[index(table)]; }
    // The name the table's file is opened by.
    std::string path(records::TableId table) const;

    // Forgets the open files without a call: the record manager's Stop has closed them.
    void release();

private:
    static std::size_t index(records::TableId table) { return static_cast<std::size_t>(table); }

    std::filesystem::path folder_;
    client::EntryPoint entryPoint_;
    std::array<std::optional<client::File>, 6> files_;
    std::array<client::Status, 6> statuses_{};
};

}  // namespace world
