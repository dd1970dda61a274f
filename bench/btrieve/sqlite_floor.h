// The benchmark's floor on SQLite files.
#pragma once

#include "bench_driver.h"

#include <memory>
#include <string>

namespace btrieve_bench {

// Raw SQLite on the file at path (a copy the record manager made); named: the file has the string key 1.
std::unique_ptr<Driver> openSqliteFloor(const std::string& path, bool named);

}  // namespace btrieve_bench
