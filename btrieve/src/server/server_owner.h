// A data file's owner name on a server: one row of wbtrv_owners beside the
// file's catalog row, which every process and client of the server sees,
// read through the view wbtrv_owners_readable (Open reads it with the file's
// description). A catalog made before owner names has neither until a Create
// or Set Owner makes them; its files open as they always did.
#pragma once

#include "server/pg_connection.h"

namespace wbtrv {

// Whether the catalog has the owners' table and its view: 0 or a status. A
// statement naming a missing table would fail, and a failure ends an open
// transaction on the server: this is asked first.
int ownersViewExists(PgConnection& db, bool& exists);

}  // namespace wbtrv
