// A fresh empty folder that is the current folder for the object's lifetime;
// the previous current folder is restored and the folder removed afterwards.
#pragma once

#include <filesystem>

namespace test_support {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace test_support
