// Names (of files, of collating sequences) kept in the catalog's text columns,
// whatever bytes they hold. The server's text holds only valid UTF-8 without a
// zero byte, so every byte outside such a sequence is written as \xHH, and so
// is the backslash itself. A name of valid UTF-8 without a backslash is kept
// as it is: names of earlier catalogs, which never held one, read the same.
#pragma once

#include <string>
#include <string_view>

namespace wbtrv {

std::string textOnServer(std::string_view bytes);
// The bytes a text of the catalog stands for. A backslash not followed by
// xHH is taken as it stands.
std::string bytesFromServer(std::string_view text);

}  // namespace wbtrv
