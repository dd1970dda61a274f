#include "world/read_files.h"

namespace world {

ReadFiles::ReadFiles(std::filesystem::path folder, client::EntryPoint entryPoint)
    : folder_(std::move(folder)), entryPoint_(std::move(entryPoint)) {}

std::string ReadFiles::path(records::TableId table) const {
    const std::string_view name = records::tableFile(table).fileName;
    return folder_.empty() ? std::string(name) : (folder_ / name).string();
}

client::File* ReadFiles::file(records::TableId table) {
    auto& file = files_[index(table)];
    if (file && file->isOpen()) return &*file;
    if (!file) file.emplace(entryPoint_);
    statuses_[index(table)] = file->open(path(table), client::OpenMode::ReadOnly);
    return file->isOpen() ? &*file : nullptr;
}

void ReadFiles::release() {
    for (auto& file : files_)
        if (file) file->release();
}

}  // namespace world
