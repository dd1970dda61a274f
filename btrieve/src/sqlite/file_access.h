// How a data file is reached: identified without any write before anything
// else touches it, checked for journal files that belong to another file,
// and then connected with the access this process has.
#pragma once

#include "core/file_layout.h"
#include "sqlite/open_lock.h"
#include "sqlite/sqlite_handle.h"

#include <string>

namespace wbtrv {

// Reads the layout of the file at path through a connection that can write
// nothing (no journal is rolled back, no log checkpointed, none deleted):
// the file alone, or, where that reads as damage, through its log.
// Returns 0, 30 when the file is not one of ours, or another status.
int identifyDataFile(const std::string& path, FileLayout& layout, std::string& why);

// True when the file's shared-memory log index is in use by a process that
// does not have this file (identity) open: the log found by path then
// belongs to a file that was renamed away, and must not be read or
// checkpointed into this one.
bool journalOfAnotherFile(const std::string& path, const DiskIdentity& identity);

// True when the file at path is no longer the one with this identity.
bool moved(const std::string& path, const DiskIdentity& identity);

// Connects db to the file: read-write where this process may write the file
// and its folder; otherwise read-only, through the file's existing log, or,
// where there is none, as an unchanging file, so nothing is created in a
// folder of another user or on read-only media. Sets readOnly accordingly.
int connectDataFile(Database& db, const std::string& path, bool& readOnly);
// The read-only half of connectDataFile: a connection that writes nothing.
int connectReadOnly(Database& db, const std::string& path);

}  // namespace wbtrv
