// The names shown beside a record's references: the name of the record a number
// names, read by Get Equal through the lookup's own read-only blocks.
#pragma once

#include <cstdint>
#include <string>

#include "world/read_files.h"

namespace world {

class NameLookup {
public:
    explicit NameLookup(ReadFiles& files) : files_(files) {}

    // What the box beside a reference to record `number` of `table` shows, as the
    // file's bytes: the record's name up to its first zero byte; "(none: item 30000)"
    // when no record has the number; empty for 0, or when the file cannot be read.
    std::string nameBoxText(records::TableId table, std::int32_t number);

private:
    ReadFiles& files_;
};

}  // namespace world
