// Transitional: the former names of the Create buffer's entries, for the record
// manager's tests until they move to create_entries.h.
#pragma once

#include <wbtrv32/create_entries.h>

namespace wbtrv {

using SegmentSpec = SegmentEntry;
using KeySpec = KeySegments;
using CreateSpec = CreateEntries;

}  // namespace wbtrv
