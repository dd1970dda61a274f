#include "core/key_sql.h"

namespace wbtrv {

std::string keyColumn(std::size_t key) { return "key_" + std::to_string(key); }

std::string keyColumnList(const FileLayout& layout, std::vector<int>& columnOf) {
    std::string list = "id, data";
    columnOf.assign(layout.keys.size(), -1);
    int next = 2;
    for (std::size_t k = 0; k < layout.keys.size(); ++k) {
        if (layout.keys[k].absent()) continue;
        list += ", " + keyColumn(k);
        columnOf[k] = next++;
    }
    return list;
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
    }
    return {};
}

std::string highestValueSql(std::size_t key, const std::string& table) {
    return "SELECT max(" + keyColumn(key) + ") FROM " + table;
}

std::string batchWalkSql(std::optional<std::size_t> key, bool forward, BatchStart start, const std::string& table,
                         char mark, bool uniqueKey) {
    const std::string value = std::string(1, mark) + "1", id = std::string(1, mark) + "2";
    const std::string after = forward ? " > " : " < ", from = forward ? " >= " : " <= ";
    const std::string order = forward ? "" : " DESC";
    if (!key) {
        return "SELECT id, data, NULL FROM " + table + " WHERE id" + (start == BatchStart::At ? from : after) + id +
               " ORDER BY id" + order;
    }
    const std::string k = keyColumn(*key);
    // The range on the key column alone, so that its index bounds the walk.
    std::string where = k + (start == BatchStart::PastValue ? after : from) + value;
    if (start != BatchStart::PastValue)
        where += " AND (" + k + after + value + " OR id" + (start == BatchStart::At ? from : after) + id + ")";
    return "SELECT id, data, " + k + " FROM " + table + " WHERE " + where + " ORDER BY " + k + order +
           (uniqueKey ? "" : ", id" + order);
}

std::string rankSql(std::size_t key, const std::string& table, char mark) {
    const bool physical = key == kPhysicalOrder;
    const std::string column = physical ? "id" : keyColumn(key), value = std::string(1, mark) + "1";
    const std::string from = " FROM " + table + " WHERE " + column;
    return "SELECT (SELECT count(*)" + from + " < " + value + "), (SELECT count(*)" + from + " IS NOT NULL)," +
           " (SELECT count(*) FROM (SELECT 1" + from + " = " + value + " LIMIT 1) AS found)";
}

std::string atRankSql(std::size_t key, const std::string& table, char mark) {
    const std::string offset = " LIMIT 1 OFFSET " + std::string(1, mark) + "1";
    if (key == kPhysicalOrder) return "SELECT id, data FROM " + table + " ORDER BY id" + offset;
    const std::string k = keyColumn(key);
    return "SELECT id, data, " + k + " FROM " + table + " WHERE " + k + " IS NOT NULL ORDER BY " + k + ", id" + offset;
}

}  // namespace wbtrv
