// The engines of this process and which of them keeps a data file of a given
// name: the database server the environment or the file's folder names,
// else the folder itself.
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

private:
    std::unique_ptr<Engine> folders_;
    std::map<std::string, std::unique_ptr<Engine>> servers_;
};

}  // namespace wbtrv
