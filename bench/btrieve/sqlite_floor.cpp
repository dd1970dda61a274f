// The floor on SQLite: raw SQLite doing the benchmark's work on a copy of the
// same file with the same settings (synchronous FULL, the file's WAL journal,
// the same page cache size, prepared statements).
#include "sqlite_floor.h"

#include "bench_files.h"

#include <sqlite3.h>

#include <cstring>
#include <iterator>
#include <vector>

namespace btrieve_bench {
namespace {

class SqliteFloor : public Floor {
public:
    SqliteFloor(const std::string& path, bool named) {
        ok_ = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK &&
              sqlite3_exec(db_, "PRAGMA synchronous=FULL; PRAGMA cache_size=-16384", nullptr, nullptr, nullptr) ==
                  SQLITE_OK;
        sqlite3_busy_timeout(db_, 1000);
        const char* sql[] = {
            "SELECT id, data, key_0 FROM data_t ORDER BY key_0 LIMIT 1",
            "SELECT id, data, key_0 FROM data_t ORDER BY key_0 DESC LIMIT 1",
            "SELECT id, data, key_0 FROM data_t WHERE key_0 > ?1 ORDER BY key_0 LIMIT 1",
            "SELECT id, data, key_0 FROM data_t WHERE key_0 < ?1 ORDER BY key_0 DESC LIMIT 1",
            "SELECT id, data, key_0 FROM data_t WHERE key_0 = ?1",
            "BEGIN IMMEDIATE",
            "SELECT max(key_0) FROM data_t",
            "INSERT INTO data_t(data, key_0) VALUES(?1, ?2)",
            "COMMIT",
            "UPDATE data_t SET data = ?1, key_0 = ?2 WHERE id = ?3",
            "DELETE FROM data_t WHERE id = ?1",
            named ? "SELECT id, data, key_0 FROM data_t WHERE key_1 = ?1 ORDER BY id LIMIT 1" : "SELECT 1",
            "SELECT id, data, key_0 FROM data_t WHERE id > ?1 ORDER BY id LIMIT 1",
            "SELECT id, data FROM data_t WHERE id > ?1 ORDER BY id LIMIT ?2",
        };
        const std::string filtered = "SELECT id, data FROM data_t WHERE substr(data, " +
                                     std::to_string(kDigitOffset + 1) + ", 1) = ?1 ORDER BY key_0";
        for (std::size_t i = 0; i < std::size(sql); ++i)
            ok_ = ok_ && sqlite3_prepare_v3(db_, sql[i], -1, SQLITE_PREPARE_PERSISTENT, &st_[i], nullptr) == SQLITE_OK;
        ok_ = ok_ && sqlite3_prepare_v3(db_, filtered.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st_[Filtered],
                                        nullptr) == SQLITE_OK;
    }
    ~SqliteFloor() override {
        for (sqlite3_stmt* s : st_) sqlite3_finalize(s);
        sqlite3_close(db_);
    }
    bool first() override { return read(st_[First], false); }
    bool last() override { return read(st_[Last], false); }
    bool next() override { return read(st_[Next], true); }
    bool previous() override { return read(st_[Previous], true); }
    bool equal(std::int32_t key) override {
        key_ = key;
        return read(st_[Equal], true);
    }
    bool equalName(std::int32_t id) override {
        const std::string name = benchName(id);
        sqlite3_bind_blob(st_[EqualName], 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        return read(st_[EqualName], false);
    }
    bool greater(std::int32_t key) override {
        key_ = key;
        return read(st_[Next], true);
    }
    bool stepFirst() override {
        id_ = 0;
        return stepNext();
    }
    bool stepNext() override {
        sqlite3_bind_int64(st_[Step], 1, id_);
        return read(st_[Step], false);
    }
    bool stepBatch() override {
        sqlite3_stmt* s = st_[StepBatch];
        sqlite3_bind_int64(s, 1, id_);
        sqlite3_bind_int(s, 2, kBatchRecords);
        int rows = 0;
        for (; sqlite3_step(s) == SQLITE_ROW; ++rows) {
            id_ = sqlite3_column_int64(s, 0);
            batch_.assign(static_cast<const std::uint8_t*>(sqlite3_column_blob(s, 1)),
                          static_cast<const std::uint8_t*>(sqlite3_column_blob(s, 1)) + sqlite3_column_bytes(s, 1));
        }
        sqlite3_reset(s);
        // At the end of the file, on from its start.
        if (rows > 0) return true;
        id_ = 0;
        return stepNext();
    }
    int filteredWalk() override {
        sqlite3_stmt* s = st_[Filtered];
        sqlite3_bind_blob(s, 1, &kDigit, 1, SQLITE_STATIC);
        int found = 0;
        for (; sqlite3_step(s) == SQLITE_ROW; ++found)
            batch_.assign(static_cast<const std::uint8_t*>(sqlite3_column_blob(s, 1)),
                          static_cast<const std::uint8_t*>(sqlite3_column_blob(s, 1)) + sqlite3_column_bytes(s, 1));
        sqlite3_reset(s);
        return found;
    }
    bool begin() override { return inTransaction_ = done(st_[Begin]); }
    bool end() override {
        inTransaction_ = false;
        return done(st_[Commit]);
    }
    bool insert() override {
        record_ = benchRecord(0);
        if (!inTransaction_ && !done(st_[Begin])) return false;
        sqlite3_step(st_[Max]);
        const std::int64_t key = sqlite3_column_int64(st_[Max], 0) + 1;
        sqlite3_reset(st_[Max]);
        std::memcpy(record_.data(), &key, 4);
        sqlite3_bind_blob(st_[Insert], 1, record_.data(), kRecordLength, SQLITE_STATIC);
        sqlite3_bind_int64(st_[Insert], 2, key);
        const bool inserted = done(st_[Insert]);
        id_ = sqlite3_last_insert_rowid(db_);
        key_ = key;
        return (inTransaction_ || done(st_[Commit])) && inserted;
    }
    bool update() override {
        ++record_[10];
        sqlite3_bind_blob(st_[Update], 1, record_.data(), kRecordLength, SQLITE_STATIC);
        sqlite3_bind_int64(st_[Update], 2, key_);
        sqlite3_bind_int64(st_[Update], 3, id_);
        return done(st_[Update]);
    }
    bool remove() override {
        sqlite3_bind_int64(st_[Delete], 1, id_);
        return done(st_[Delete]);
    }

private:
    enum {
        First,
        Last,
        Next,
        Previous,
        Equal,
        Begin,
        Max,
        Insert,
        Commit,
        Update,
        Delete,
        EqualName,
        Step,
        StepBatch,
        Filtered,
        Count
    };
    bool done(sqlite3_stmt* s) {
        const bool ok = sqlite3_step(s) == SQLITE_DONE;
        sqlite3_reset(s);
        return ok;
    }
    bool read(sqlite3_stmt* s, bool bindKey) {
        if (bindKey) sqlite3_bind_int64(s, 1, key_);
        const bool found = sqlite3_step(s) == SQLITE_ROW;
        if (found) {
            id_ = sqlite3_column_int64(s, 0);
            std::memcpy(record_.data(), sqlite3_column_blob(s, 1), kRecordLength);
            key_ = sqlite3_column_int64(s, 2);
        }
        sqlite3_reset(s);
        return found;
    }
    sqlite3* db_ = nullptr;
    sqlite3_stmt* st_[Count] = {};
    std::vector<std::uint8_t> batch_;  // each row read copied out, as the record manager copies it
};

}  // namespace

std::unique_ptr<Driver> openSqliteFloor(const std::string& path, bool named) {
    return std::make_unique<SqliteFloor>(path, named);
}

}  // namespace btrieve_bench
