// The subcommands, callable without the command line. Each returns an exit
// status (io.h) and writes its messages to the streams of io.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "io.h"
#include "journal_reading.h"
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

// The journal: its entries, one taken back, the records as they were, two files
// compared, and changes carried from one file or world to another.
struct HistoryOptions {
    std::optional<int64_t> record;  // only this record's entries (its position)
    std::optional<Since> since;
    bool json = false;
};
int runHistory(const std::string& file, const HistoryOptions& options, Io& io);
// force: also when the record changed after the entry.
int runRevert(const std::string& file, uint64_t sequence, bool force, Io& io);
// The records of file as they were at time, into the new file out (or over it with replace).
int runAsOf(const std::string& file, int64_t time, const std::string& out, bool replace, Io& io);
// Two data files, or two folders of the game's six files; json: JSON Lines.
int runDiff(const std::string& a, const std::string& b, bool json, Io& io);
// The change set of the files' entries from since on, to output ("-": io.out).
int runChanges(const std::vector<std::string>& files, const Since& since, const std::string& output, Io& io);
// Applies the change set in input ("-": standard input) to target, a file or a folder.
int runApply(const std::string& input, const std::string& target, bool dryRun, Io& io);

}  // namespace grimstore
