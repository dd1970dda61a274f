// Where grimstore writes an output, by one rule for every subcommand: "-" is
// standard output; a path that is not a regular file (a device, a FIFO, a
// terminal) is written into as it stands, never replaced; a symbolic link is
// followed to the file it names; a regular file, or one not there yet, is
// replaced atomically: written beside it under another name, synced, then
// renamed over it, so a failed run leaves it as it was.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

namespace grimstore {

enum class OutputKind {
    StandardOutput,
    Direct,   // written into as it stands
    Replace,  // replaced atomically
};

struct OutputPath {
    OutputKind kind;
    std::string path;  // with every symbolic link followed
};

// Where an output named `path` goes; nothing, with the reason in error, when
// its links loop or it cannot be looked at.
std::optional<OutputPath> resolveOutput(const std::string& path, std::string& error);

// Where a data file named path is made or replaced (by the record manager's
// Create, which builds it beside and renames it into place): path with its
// links followed. Nothing, with the reason in error, for standard output or
// a path that is not a regular file: a data file never goes into a device or a FIFO.
std::optional<std::string> dataFileTarget(const std::string& path, std::string& error);

// One output being written. Unless commit() succeeds, a file that was to be
// replaced stays as it was and the new one beside it is removed.
class OutputFile {
public:
    OutputFile();
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens the output named path; "-" writes to standardOutput. False, with
    // the reason in error, when it cannot be written.
    bool open(const std::string& path, std::ostream& standardOutput, std::string& error);
    std::ostream& stream() { return *stream_; }
    // Writes out what is buffered and, for a replaced file, syncs it and
    // renames it into place.
    bool commit(std::string& error);

private:
    void discard();

    std::string name_;  // as given, for messages
    OutputPath target_{OutputKind::StandardOutput, {}};
    std::string partial_;  // the new file beside a replaced one
    int fd_ = -1;
    std::unique_ptr<std::streambuf> buffer_;
    std::unique_ptr<std::ostream> ownStream_;
    std::ostream* stream_ = nullptr;
};

}  // namespace grimstore
