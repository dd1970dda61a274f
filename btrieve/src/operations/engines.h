// The engines of this process and which of them keeps a data file of a given
// name: the database server the environment or the file's folder names,
// else the folder itself; none, answering 46, where the folder's server file
// is not trusted.
#pragma once

#include "core/engine.h"

#include <map>
#include <memory>
#include <string>

namespace wbtrv {

class Engines {
public:
    Engines();
    Engines(const Engines&) = delete;
    Engines& operator=(const Engines&) = delete;
    ~Engines();

    // The engine keeping the file of this name. Each server, by its
    // connection string, has one engine for the life of the process, so the
    // identities of its files stay comparable.
    Engine& keeping(const std::string& path);
    // Whether the process's transaction on this engine's files ends before
    // that on files in folders: a server's, one commit for all its files,
    // ends first, so that a server lost at End leaves the files in folders
    // uncommitted too; files in folders then commit one after another.
    bool endsFirst(const Engine& engine) const { return &engine != folders_.get(); }

private:
    std::unique_ptr<Engine> folders_;
    std::map<std::string, std::unique_ptr<Engine>> servers_;  // by connection string
    std::map<std::string, std::unique_ptr<Engine>> refused_;  // by why the server file is refused
};

}  // namespace wbtrv
