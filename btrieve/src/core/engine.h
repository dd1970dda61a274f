// The seam between the record manager's operations and the engines that keep
// data files: an SQLite database per file, or tables on a PostgreSQL server.
// The operations are written once over Engine and StoredFile and never ask
// which engine they run on; each engine implements every primitive whole.
#pragma once

#include "core/file_layout.h"
#include "core/stored_file.h"

#include <memory>
#include <string>

namespace wbtrv {

// A place that keeps data files: the files of a folder, or one server.
class Engine {
public:
    Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    virtual ~Engine() = default;

    // The identity of the file of this name, without opening it; false when
    // there is no such file the engine could open.
    virtual bool identify(const std::string& path, FileIdentity& identity) const = 0;
    // Opens the file: 0, 12 missing, 30 not ours, 46 not readable, 85 held
    // exclusively (or its name taken by a file still open), 18, 2 or 20.
    virtual int open(const std::string& path, bool exclusive, std::unique_ptr<StoredFile>& out) = 0;
    // Creates an empty file, all or nothing: 0, 59 when one exists and not
    // `replace`, 85 when the one replaced is open elsewhere, 11, 18, 25 or 20.
    virtual int create(const std::string& path, const FileLayout& layout, bool replace) = 0;
    // Checks a file without changing it (storage, description, every record
    // and key column): 0, or 12, 30, 85, 2 or 20 with `why` saying what.
    virtual int verify(const std::string& path, std::string& why) = 0;
};

}  // namespace wbtrv
