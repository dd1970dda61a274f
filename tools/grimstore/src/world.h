// A world: a folder holding the game's six data files, in it or on the server
// its wbtrv32.server names. diff and apply take a world wherever a file goes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace grimstore {

inline bool isWorld(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

// The file of that name in the world's folder.
inline std::string worldFile(const std::string& world, std::string_view fileName) {
    return (std::filesystem::path(world) / fileName).string();
}

}  // namespace grimstore
