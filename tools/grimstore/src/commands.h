// The subcommands, callable without the command line. Each returns an exit
// status (io.h) and writes its messages to the streams of io.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "io.h"
#include "layout_formatter.h"

namespace grimstore {

struct CreateOptions {
    std::string file;
    uint32_t recordLength = 0;
    uint32_t pageSize = 4096;
    std::vector<std::string> keys;  // "POS:LEN:TYPE[:FLAGS]" joined by '+', one per key
    std::string collatingSequence;  // file of the sequence the 'alt' segments use; empty: none
    bool replace = false;
};

int runCreate(const CreateOptions& options, Io& io);
// output "-" writes to io.out.
int runSave(const std::string& file, const std::string& output, Io& io);
// input "-" reads standard input.
int runLoad(const std::string& file, const std::string& input, Io& io);
// json: one JSON object instead of lines of text.
int runStat(const std::string& file, Io& io, bool json = false);
int runCheck(const std::string& file, Io& io);
// Copies from to the new file to, or over an existing one with replace.
int runCopy(const std::string& from, const std::string& to, bool replace, Io& io);

struct DumpOptions {
    FormatterLookup lookup = layoutFormatterFor;
    std::string layout;     // a name of layoutNames(): decode with it whatever the file's name
    bool nameFile = false;  // begin every line with "file", for a dump of several files
};
int runDump(const std::string& file, Io& io, const DumpOptions& options = {});

// Reads the six files of the world in dir; exit status 1 when it found problems.
int runCheckWorld(const std::string& dir, Io& io);

struct FindOptions {
    std::string where;  // a world's folder or one data file
    std::string text;   // UTF-8
    std::string table;  // race, class, ...: that table only
    std::string field;  // that text field only
};
int runFind(const FindOptions& options, Io& io);

// The journal of changes: switched on or off, its state, and pruned.
int runJournalSwitch(const std::string& file, bool on, Io& io);
int runJournalStatus(const std::string& file, Io& io);
struct JournalPruneOptions {
    std::optional<int64_t> before;  // drop entries made before this time (microseconds since 1970 UTC)
    std::optional<uint64_t> keep;   // or keep only the newest this many
};
int runJournalPrune(const std::string& file, const JournalPruneOptions& options, Io& io);

}  // namespace grimstore
