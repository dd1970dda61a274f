// stat: record length, page size, keys and record count of a data file.
#include "command_support.h"
#include "commands.h"

namespace grimstore {

int runStat(const std::string& file, Io& io) {
    DataFile data(file);
    FileSpec spec;
    if (!openAndStat(data, B_MODE_READ_ONLY, spec, io.err)) return kExitDataError;
    io.out << "file: " << file << '\n'
           << "record length: " << spec.recordLength << '\n'
           << "page size: " << spec.pageSize << '\n'
           << "records: " << spec.recordCount << '\n'
           << "keys: " << spec.keys.size() << '\n';
    for (size_t k = 0; k < spec.keys.size(); ++k) {
        const Key& key = spec.keys[k];
        for (size_t s = 0; s < key.size(); ++s) {
            io.out << "key " << k;
            if (key.size() > 1) io.out << " segment " << s;
            const KeySegment& seg = key[s];
            io.out << ": position " << seg.position << ", length " << seg.length << ", type "
                   << typeName(seg.effectiveType()) << ", flags " << flagNames(seg.flags);
            if (seg.flags & (B_KEY_NULL_ALL | B_KEY_NULL_ANY)) io.out << ", null value " << int(seg.nullValue);
            if ((seg.flags & B_KEY_ALT_COLLATING) && seg.collatingSequence < spec.sequences.size())
                io.out << ", collating sequence " << spec.sequences[seg.collatingSequence].name;
            io.out << '\n';
        }
    }
    return kExitOk;
}

void registerStat(CLI::App& app, SubcommandContext& context) {
    addFilesSubcommand(app, context, "stat", "Show the record length, keys and record count of a data file.",
                       {{"FILE", "data file"}}, [](const auto& files, Io& io) { return runStat(files[0], io); });
}

}  // namespace grimstore
