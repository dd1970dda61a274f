// The benchmark's floor on a PostgreSQL server.
#pragma once

#include "bench_driver.h"

#include <memory>
#include <string>

namespace btrieve_bench {

// libpq on its own connection to the server of conninfo, with prepared statements
// doing what the record manager's server engine does for the file of that path.
std::unique_ptr<Driver> openPgFloor(const std::string& conninfo, const std::string& path, bool named);

}  // namespace btrieve_bench
