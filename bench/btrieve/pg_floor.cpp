// The floor on a server: libpq on its own connection through the same socket,
// running the statements the record manager's server engine runs for each
// operation on the file's record table, prepared, with binary parameters and
// results, synchronous commits. What it leaves out is the engine's own work
// around them: the write lock and the record-lock check.
#include "pg_floor.h"

#include "bench_files.h"

#include <libpq-fe.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace btrieve_bench {
namespace {

// One parameter in binary form: an int8 in network order, or bytes.
struct Param {
    std::string bytes;
    Oid type;
};

Param int8(std::int64_t value) {
    std::string out(8, '\0');
    for (int i = 7; i >= 0; --i, value >>= 8) out[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xff);
    return {out, 20};
}

Param bytea(const void* data, std::size_t size) { return {std::string(static_cast<const char*>(data), size), 17}; }

std::int64_t int8At(const PGresult* r, int column, int row = 0) {
    std::int64_t value = 0;
    for (int i = 0; i < PQgetlength(r, row, column); ++i)
        value = value << 8 | static_cast<std::uint8_t>(PQgetvalue(r, row, column)[i]);
    return value;
}

// The name a file has on the server: the last component of its path, as it
// stands (the benchmarks' names are ASCII, which the catalog keeps unchanged).
std::string nameOnServer(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

class PgFloor : public Floor {
public:
    PgFloor(const std::string& conninfo, const std::string& path, bool named) : db_(PQconnectdb(conninfo.c_str())) {
        ok_ = PQstatus(db_) == CONNECTION_OK && command("SET synchronous_commit = on");
        PGresult* found = ok_ ? run("SELECT id FROM wbtrv_files WHERE name = $1", {{nameOnServer(path), 25}}) : nullptr;
        ok_ = found && PQntuples(found) == 1;
        // The table's name comes from the catalog's number, as the engine makes it.
        const std::string t = ok_ ? "wbtrv_data_" + std::to_string(int8At(found, 0)) : "";
        PQclear(found);
        const std::string select = "SELECT id, data, key_0 FROM " + t + " WHERE ";
        const std::array<std::string, Count> sql = {
            select + "key_0 IS NOT NULL ORDER BY key_0, id LIMIT 1",
            select + "key_0 IS NOT NULL ORDER BY key_0 DESC, id DESC LIMIT 1",
            select + "key_0 > $1 ORDER BY key_0, id LIMIT 1",
            select + "key_0 < $1 ORDER BY key_0 DESC, id DESC LIMIT 1",
            select + "key_0 = $1 ORDER BY id LIMIT 1",
            named ? "SELECT id, data, key_1 FROM " + t + " WHERE key_1 = $1 ORDER BY id LIMIT 1" : "SELECT 1",
            "SELECT id, data FROM " + t + " WHERE id > $1 ORDER BY id LIMIT 1",
            "SELECT id, data FROM " + t + " WHERE id > $1 ORDER BY id LIMIT " + std::to_string(kBatchRecords),
            "SELECT id, data, key_0 FROM " + t + " WHERE key_0 IS NOT NULL AND substring(data from " +
                std::to_string(kDigitOffset + 1) + " for 1) = $1 ORDER BY key_0",
            "SELECT max(key_0) FROM " + t,
            "INSERT INTO " + t + "(id, data, key_0) SELECT coalesce(max(id), 0) + 1, $1, $2 FROM " + t +
                " ON CONFLICT DO NOTHING RETURNING id",
            "UPDATE " + t + " SET data = $1, key_0 = $2 WHERE id = $3 AND data = $4",
            "DELETE FROM " + t + " WHERE id = $1 AND data = $2",
        };
        for (std::size_t i = 0; i < sql.size() && ok_; ++i) {
            PGresult* prepared = PQprepare(db_, std::to_string(i).c_str(), sql[i].c_str(), 0, nullptr);
            ok_ = PQresultStatus(prepared) == PGRES_COMMAND_OK;
            PQclear(prepared);
        }
    }
    ~PgFloor() override { PQfinish(db_); }
    bool first() override { return read(First, {}); }
    bool last() override { return read(Last, {}); }
    bool next() override { return read(Next, {int8(key_)}); }
    bool previous() override { return read(Previous, {int8(key_)}); }
    bool equal(std::int32_t key) override { return read(Equal, {int8(key)}); }
    bool equalName(std::int32_t id) override {
        const std::string name = benchName(id);
        return read(EqualName, {bytea(name.data(), name.size())});
    }
    bool greater(std::int32_t key) override { return read(Next, {int8(key)}); }
    bool stepFirst() override {
        id_ = 0;
        return stepNext();
    }
    bool stepNext() override { return read(Step, {int8(id_)}); }
    // Every row's data copied out, as the record manager copies it.
    int rows(PGresult* r) {
        const int n = PQresultStatus(r) == PGRES_TUPLES_OK ? PQntuples(r) : -1;
        for (int i = 0; i < n; ++i) {
            const auto* data = reinterpret_cast<const std::uint8_t*>(PQgetvalue(r, i, 1));
            batch_.assign(data, data + PQgetlength(r, i, 1));
            id_ = int8At(r, 0, i);
        }
        PQclear(r);
        return n;
    }
    bool stepBatch() override {
        // At the end of the file, on from its start.
        if (rows(execute(StepBatch, {int8(id_)})) > 0) return true;
        id_ = 0;
        return stepNext();
    }
    int filteredWalk() override { return rows(execute(Filtered, {bytea(&kDigit, 1)})); }
    bool begin() override { return inTransaction_ = command("BEGIN"); }
    bool end() override {
        inTransaction_ = false;
        return command("COMMIT");
    }
    bool insert() override {
        record_ = benchRecord(0);
        if (!inTransaction_ && !command("BEGIN")) return false;
        PGresult* highest = execute(Max, {});
        const std::int64_t key = PQgetisnull(highest, 0, 0) ? 1 : int8At(highest, 0) + 1;
        PQclear(highest);
        std::memcpy(record_.data(), &key, 4);
        PGresult* inserted = execute(Insert, {bytea(record_.data(), kRecordLength), int8(key)});
        const bool done = PQresultStatus(inserted) == PGRES_TUPLES_OK;
        if (done) id_ = int8At(inserted, 0);
        PQclear(inserted);
        key_ = key;
        return (inTransaction_ || command("COMMIT")) && done;
    }
    // As the engine does, the row is written only while it holds what was read.
    bool update() override {
        const Param expected = bytea(record_.data(), kRecordLength);
        ++record_[10];
        return changed(Update, {bytea(record_.data(), kRecordLength), int8(key_), int8(id_), expected});
    }
    bool remove() override { return changed(Delete, {int8(id_), bytea(record_.data(), kRecordLength)}); }

private:
    enum {
        First,
        Last,
        Next,
        Previous,
        Equal,
        EqualName,
        Step,
        StepBatch,
        Filtered,
        Max,
        Insert,
        Update,
        Delete,
        Count
    };

    PGresult* run(const std::string& sql, const std::vector<Param>& params, int statement = -1) {
        std::vector<const char*> values;
        std::vector<int> lengths, formats(params.size(), 1);
        std::vector<Oid> types;
        for (const Param& p : params) {
            values.push_back(p.bytes.data());
            lengths.push_back(static_cast<int>(p.bytes.size()));
            types.push_back(p.type);
        }
        const int n = static_cast<int>(params.size());
        if (statement >= 0)
            return PQexecPrepared(db_, std::to_string(statement).c_str(), n, values.data(), lengths.data(),
                                  formats.data(), 1);
        return PQexecParams(db_, sql.c_str(), n, types.data(), values.data(), lengths.data(), formats.data(), 1);
    }
    PGresult* execute(int statement, const std::vector<Param>& params) { return run({}, params, statement); }
    bool command(const char* sql) {
        PGresult* r = PQexec(db_, sql);
        const bool done = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        return done;
    }
    bool changed(int statement, const std::vector<Param>& params) {
        PGresult* r = execute(statement, params);
        const bool done = PQresultStatus(r) == PGRES_COMMAND_OK && std::strcmp(PQcmdTuples(r), "1") == 0;
        PQclear(r);
        return done;
    }
    bool read(int statement, const std::vector<Param>& params) {
        PGresult* r = execute(statement, params);
        const bool found = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1;
        if (found) {
            id_ = int8At(r, 0);
            std::memcpy(record_.data(), PQgetvalue(r, 0, 1),
                        std::min<std::size_t>(PQgetlength(r, 0, 1), kRecordLength));
            if (statement != EqualName && statement != Step) key_ = int8At(r, 2);
        }
        PQclear(r);
        return found;
    }

    PGconn* db_;
    std::vector<std::uint8_t> batch_;
};

}  // namespace

std::unique_ptr<Driver> openPgFloor(const std::string& conninfo, const std::string& path, bool named) {
    return std::make_unique<PgFloor>(conninfo, path, named);
}

}  // namespace btrieve_bench
