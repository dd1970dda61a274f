#include "grimstore_fixture.h"

#include <sqlite3.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "cli.h"

namespace grimstore::test {
Bytes sequentialFile(const std::vector<Bytes>& records) {
    Bytes file;
    for (const Bytes& r : records) {
        const std::string prefix = std::to_string(r.size()) + ",";
        file.insert(file.end(), prefix.begin(), prefix.end());
        file.insert(file.end(), r.begin(), r.end());
        file.push_back('\r');
        file.push_back('\n');
    }
    file.push_back(0x1A);
    return file;
}

Bytes record(uint32_t id, size_t length, const Bytes& filler) {
    Bytes r(length, 0);
    for (size_t i = 0; i < 4 && i < length; ++i) r[i] = static_cast<uint8_t>(id >> (8 * i));
    for (size_t i = 4; i < length && !filler.empty(); ++i) r[i] = filler[(i - 4) % filler.size()];
    return r;
}

RunResult GrimstoreTest::run(const std::vector<std::string>& args) const {
    std::ostringstream out;
    std::ostringstream err;
    Io io{out, err, false};
    const int exitStatus = runGrimstore(args, io);
    return {exitStatus, out.str(), err.str()};
}

void GrimstoreTest::create(const std::string& name, uint32_t recordLength, const std::vector<std::string>& keys) const {
    std::vector<std::string> args{"create", path(name), "--record-length", std::to_string(recordLength), "--replace"};
    for (const std::string& key : keys) {
        args.push_back("--key");
        args.push_back(key);
    }
    const RunResult result = run(args);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
}

void GrimstoreTest::loadRecords(const std::string& name, const std::vector<Bytes>& records) const {
    writeFile(path(name + ".in"), sequentialFile(records));
    const RunResult result = run({"load", path(name), path(name + ".in")});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
}

Bytes GrimstoreTest::saved(const std::string& name) const {
    const RunResult result = run({"save", path(name), path(name + ".saved")});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    return readFile(path(name + ".saved"));
}

void GrimstoreTest::execSql(const std::string& name, const std::string& sql) const {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path(name).c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

Bytes GrimstoreTest::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void GrimstoreTest::writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace grimstore::test
