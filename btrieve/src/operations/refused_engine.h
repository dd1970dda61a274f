// The engine of a folder whose wbtrv32.server is not trusted: it keeps no
// files and connects nowhere, and every Open, Create and verify there answers
// 46 (verify saying why), rather than the files going to a server someone
// else named or, silently, into the folder.
#pragma once

#include "core/engine.h"

#include <memory>
#include <string>

namespace wbtrv {

// `why` completes "the folder's wbtrv32.server ...".
std::unique_ptr<Engine> makeRefusedEngine(const std::string& why);

}  // namespace wbtrv
