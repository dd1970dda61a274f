#include "sqlite/sqlite_keys.h"

#include "core/key_sql.h"

namespace wbtrv {

std::string keyColumnDeclaration(const KeyDefinition& key) {
    std::string decl = key.integerColumn() ? "INTEGER" : kEncodedKeyType;
    if (!key.nullable()) decl += " NOT NULL";
    return decl;
}

std::string keyIndexStatement(std::size_t number, const KeyDefinition& key) {
    const std::string column = keyColumn(number);
    return std::string("CREATE ") + (key.allowsDuplicates() ? "" : "UNIQUE ") + "INDEX " + column +
           "_index ON data_t(" + column + ");";
}

bool readKeyColumn(const Statement& st, int column, const KeyDefinition& key, KeyValue& out) {
    out = KeyValue{};
    const int type = st.typeAt(column);
    if (type == SQLITE_NULL) return true;
    out.null = false;
    if (key.integerColumn()) {
        out.integer = st.integerAt(column);
        return type == SQLITE_INTEGER;
    }
    const auto bytes = st.blobAt(column);
    out.encoded.assign(bytes.begin(), bytes.end());
    return type == SQLITE_BLOB;
}

}  // namespace wbtrv
