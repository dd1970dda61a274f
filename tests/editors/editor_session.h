// One editor on its own page over a data file holding one record, in a temporary
// folder, with the record manager reached through a recording seam.
#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <wbtrv32/bytes.h>
#include "editors/table_editor.h"
#include "records/tarrow_data_fields.h"
#include "store/data_file_set.h"

#include "test_support/application.h"
#include "test_support/call_seam.h"
#include "test_support/data_files.h"
#include "test_support/scripted_dialogs.h"
#include "test_support/temp_folder.h"

using test_support::Row;

// Little-endian field writers for building rows at their file offsets.
inline void put16(Row& row, std::size_t offset, int value) {
    wbtrv::writeLittleEndian(row.data() + offset, 2, static_cast<std::uint64_t>(value));
}
inline void put32(Row& row, std::size_t offset, std::int32_t value) {
    wbtrv::writeLittleEndian(row.data() + offset, 4, static_cast<std::uint32_t>(value));
}
inline void putText(Row& row, std::size_t offset, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) row[offset + i] = static_cast<std::uint8_t>(bytes[i]);
}
// A text field as the name rule stores it: the text, one zero, blanks to the width.
inline std::string ruled(std::string_view text, std::size_t width) {
    std::string field(text);
    field.push_back('\0');
    field.resize(width, ' ');
    return field;
}
inline std::string le16(int value) {
    std::string bytes(2, '\0');
    wbtrv::writeLittleEndian(reinterpret_cast<std::uint8_t*>(bytes.data()), 2, static_cast<std::uint64_t>(value));
    return bytes;
}

// A row of the table filled with bytes that follow no pattern a field could hide behind.
inline Row noiseRow(const records::TableFile& table, std::uint32_t seed) {
    Row row(table.recordLength);
    for (auto& b : row) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(seed >> 16);
    }
    return row;
}

class EditorSession {
public:
    EditorSession(records::TableId id, const Row& row) : table(records::tableFile(id)), block(table) {
        EXPECT_EQ(test_support::createDataFile(table), 0);
        EXPECT_EQ(test_support::insertRows(table, {row}), 0);
        store::prepareBlock(block);
        EXPECT_TRUE(store::openTable(store, block));
        editor = editors::makeTableEditor(id, page, {store, block, lists, status, dialogs});
        EXPECT_EQ(store.onTable(B_GET_FIRST, block), 0);
        editor->show(block.row);
    }
    ~EditorSession() { store.onTable(B_CLOSE, block); }

    Row stored() const {
        const auto rows = test_support::readRows(table);
        return rows.empty() ? Row{} : rows.front();
    }

    template <class Widget>
    Widget& find(const QString& name) {
        auto* w = page.findChild<Widget*>(name);
        if (!w) throw std::runtime_error("no control " + name.toStdString());
        return *w;
    }
    QLineEdit& line(const QString& name) { return find<QLineEdit>(name); }
    QComboBox& combo(const QString& name) { return find<QComboBox>(name); }
    QString text(const QString& name) { return line(name).text(); }

    bool applicationMade = (test_support::application(), true);  // before any widget
    const records::TableFile& table;
    test_support::TempFolder folder;
    test_support::ScriptedDialogs dialogs;
    test_support::CallSeam seam;
    store::RecordStore store{seam.call(), dialogs};
    records::TarrowDataFields lists = records::BuildFieldLists();
    store::TableFileBlock block;
    QWidget page;
    QLineEdit status;
    std::unique_ptr<editors::TableEditor> editor;
};

// The offsets at which two rows differ.
inline std::vector<std::size_t> differences(const Row& a, const Row& b) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) at.push_back(i);
    return at;
}
