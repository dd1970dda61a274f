#include "server/server_owner.h"

#include "server/server_file.h"
#include "server/server_schema.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

int ownersViewExists(PgConnection& db, bool& exists) {
    PgResult r;
    const int status = db.run("owners_table", "SELECT (to_regclass('wbtrv_owners_readable') IS NOT NULL)::int", {}, r);
    exists = status == B_NO_ERROR && r.integerAt(0, 0) != 0;
    return status;
}

int ServerFile::changeOwner(const std::optional<OwnerRecord>& owner) {
    const int status = changeAlone([&] {
        PgResult none;
        bool exists = false;
        int changed = ownersViewExists(db_, exists);
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
