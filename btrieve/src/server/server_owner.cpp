#include "server/server_owner.h"

#include "server/server_file.h"
#include "server/server_schema.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

namespace {

// Whether the catalog has the owners' table and its view (catalogs of
// earlier versions have neither). A statement naming a missing table would
// fail, and a failure ends an open transaction on the server: this is asked first.
int ownersTable(PgConnection& db, bool& exists) {
    PgResult r;
    const int status = db.run("owners_table", "SELECT (to_regclass('wbtrv_owners_readable') IS NOT NULL)::int", {}, r);
    exists = status == B_NO_ERROR && r.integerAt(0, 0) != 0;
    return status;
}

}  // namespace

int readServerOwner(PgConnection& db, std::int64_t id, std::optional<OwnerRecord>& owner, std::string& why) {
    owner.reset();
    bool exists = false;
    int status = ownersTable(db, exists);
    if (status != B_NO_ERROR || !exists) return status;
    PgResult r;
    status = db.run("owner_of", "SELECT restriction::bigint, salt, hash FROM wbtrv_owners_readable WHERE file_id = $1",
                    PgParams().integer(id), r);
    if (status != B_NO_ERROR || r.rows() == 0) return status;
    const auto salt = r.bytesAt(0, 1), hash = r.bytesAt(0, 2);
    OwnerRecord read{r.integerAt(0, 0), {salt.begin(), salt.end()}, {hash.begin(), hash.end()}};
    if (!read.sound()) {
        why = "wbtrv_owners holds a row this record manager did not write";
        return B_NOT_A_DATA_FILE;
    }
    owner = std::move(read);
    return B_NO_ERROR;
}

int ServerFile::changeOwner(const std::optional<OwnerRecord>& owner) {
    const int status = changeAlone([&] {
        PgResult none;
        bool exists = false;
        int changed = ownersTable(db_, exists);
        if (changed == B_NO_ERROR && !exists) changed = ensureCatalog(db_);
        if (changed == B_NO_ERROR)
            changed =
                db_.run(nullptr, "DELETE FROM wbtrv_owners WHERE file_id = $1", PgParams().integer(number_), none);
        if (changed != B_NO_ERROR || !owner) return changed;
        PgParams row;
        row.integer(number_)
            .integer4(static_cast<std::int32_t>(owner->restriction))
            .bytes(owner->salt)
            .bytes(owner->hash);
        return db_.run(nullptr, "INSERT INTO wbtrv_owners(file_id, restriction, salt, hash) VALUES($1, $2, $3, $4)",
                       row, none);
    });
    if (status == B_NO_ERROR) owner_ = owner;
    return status;
}

}  // namespace wbtrv
