#include "sqlite/sqlite_owner.h"

#include "sqlite/schema.h"
#include "sqlite/sqlite_file.h"

#include <wbtrv32/btrieve.h>

namespace wbtrv {

int readOwner(Database& db, std::optional<OwnerRecord>& owner, std::string& why) {
    owner.reset();
    Statement st;
    int rc = st.prepare(db.get(), "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'owner_t'");
    if (rc == SQLITE_OK) rc = st.step();
    if (rc != SQLITE_ROW) return statusFromSqlite(rc) == B_NO_ERROR ? B_IO_ERROR : statusFromSqlite(rc);
    if (st.integerAt(0) == 0) return B_NO_ERROR;
    if ((rc = st.prepare(db.get(), "SELECT restriction, salt, hash FROM owner_t")) != SQLITE_OK) {
        why = "owner_t cannot be read: " + db.lastError();
        return B_NOT_A_DATA_FILE;
    }
    while ((rc = st.step()) == SQLITE_ROW) {
        const auto salt = st.blobAt(1), hash = st.blobAt(2);
        OwnerRecord read{st.integerAt(0), {salt.begin(), salt.end()}, {hash.begin(), hash.end()}};
        // A damaged owner is refused, not taken for no owner at all.
        if (owner || st.typeAt(0) != SQLITE_INTEGER || !read.sound()) {
            why = "owner_t holds a row this record manager did not write";
            return B_NOT_A_DATA_FILE;
        }
        owner = std::move(read);
    }
    return rc == SQLITE_DONE ? B_NO_ERROR : statusFromSqlite(rc);
}

int SqliteFile::changeOwner(const std::optional<OwnerRecord>& owner) {
    const int status = changeAlone([&] {
        if (!owner) return statusFromSqlite(db_.exec("DROP TABLE IF EXISTS owner_t"));
        int rc = db_.exec(
            "CREATE TABLE IF NOT EXISTS owner_t(restriction INTEGER NOT NULL, salt BLOB NOT NULL, hash BLOB NOT NULL);"
            "DELETE FROM owner_t");
        Statement insert;
        if (rc == SQLITE_OK) rc = insert.prepare(db_.get(), "INSERT INTO owner_t VALUES(?1, ?2, ?3)");
        if (rc != SQLITE_OK) return statusFromSqlite(rc);
        insert.bindInteger(1, owner->restriction);
        insert.bindBlob(2, owner->salt);
        insert.bindBlob(3, owner->hash);
        return statusFromSqlite(insert.step());
    });
    if (status == B_NO_ERROR) owner_ = owner;
    return status;
}

}  // namespace wbtrv
