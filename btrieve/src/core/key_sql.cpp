#include "core/key_sql.h"

namespace wbtrv {

std::string keyColumn(std::size_t key) { return "key_" + std::to_string(key); }

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

std::string keyQuerySql(std::size_t key, KeyQuery which, const std::string& table, char mark) {
    const std::string k = keyColumn(key);
    const std::string value = std::string(1, mark) + "1", id = std::string(1, mark) + "2";
    const std::string select = "SELECT id, data, " + k + " FROM " + table + " WHERE ";
    const std::string up = " ORDER BY " + k + ", id LIMIT 1";
    const std::string down = " ORDER BY " + k + " DESC, id DESC LIMIT 1";
    switch (which) {
        case KeyQuery::First:
            return select + k + " IS NOT NULL" + up;
        case KeyQuery::Last:
            return select + k + " IS NOT NULL" + down;
        case KeyQuery::NextSame:
            return select + k + " = " + value + " AND id > " + id + " ORDER BY id LIMIT 1";
        case KeyQuery::Greater:
            return select + k + " > " + value + up;
        case KeyQuery::GreaterOrEqual:
            return select + k + " >= " + value + up;
        case KeyQuery::PreviousSame:
            return select + k + " = " + value + " AND id < " + id + " ORDER BY id DESC LIMIT 1";
        case KeyQuery::Less:
            return select + k + " < " + value + down;
        case KeyQuery::LessOrEqual:
            return select + k + " <= " + value + down;
        case KeyQuery::Equal:
            return select + k + " = " + value + " ORDER BY id LIMIT 1";
        case KeyQuery::Max:
            return "SELECT max(" + k + ") FROM " + table;
        case KeyQuery::Count:
            break;
    }
    return {};
}

}  // namespace wbtrv
