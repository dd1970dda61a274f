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

#include "editors/table_editor.h"
#include "store/table_blocks.h"

#include "test_support/application.h"
#include "test_support/call_seam.h"
#include "test_support/data_files.h"
#include "test_support/scripted_dialogs.h"
#include "test_support/temp_folder.h"

using test_support::Row;

inline void putText(Row& row, std::size_t offset, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) row[offset + i] = static_cast<std::uint8_t>(bytes[i]);
}
inline std::string le16(int value) { return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)}; }
// Little-endian field writers for building rows at their file offsets.
inline void put16(Row& row, std::size_t offset, int value) { putText(row, offset, le16(value)); }
// A text field as the name rule stores it: the text, one zero, blanks to the width.
inline std::string ruled(std::string_view text, std::size_t width) {
    std::string field(text);
    field.push_back('\0');
    field.resize(width, ' ');
    return field;
}

// Record 5 with noise (bytes that follow no pattern a field could hide behind) everywhere
// except where the editor needs well-formed text, with MinHP 5 and HPRange 10 for
// classes and MaxRoll 0 for spells.
inline Row wellFormedRow(records::TableId id) {
    Row row(records::tableFile(id).recordLength);
    std::uint32_t seed = 11;
    for (auto& b : row) b = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
    put16(row, 0, 5);
    if (id == records::TableId::Messages)
        for (std::size_t at : {4u, 86u, 168u}) putText(row, at, ruled("line", 74));
    else
        putText(row, 2, ruled("Grey Elf", 29));
    if (id == records::TableId::Classes) putText(row, 32, le16(5) + le16(10));
    if (id == records::TableId::Spells) {
        putText(row, 251, "Zap!z");
        row[246] = 0;
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
        editor = editors::makeTableEditor(id, page, {store, block, status, dialogs});
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
    // What a box shows: a list's text, a check box's state as a number, a line's text.
    QString shown(const QString& name) {
        if (auto* combo = page.findChild<QComboBox*>(name)) return combo->currentText();
        if (auto* check = page.findChild<QCheckBox*>(name)) return QString::number(check->checkState());
        return line(name).text();
    }

    bool applicationMade = (test_support::application(), true);  // before any widget
    const records::TableFile& table;
    test_support::TempFolder folder;
    test_support::ScriptedDialogs dialogs;
    test_support::CallSeam seam;
    store::RecordStore store{seam.call(), dialogs};
    store::TableFileBlock block;
    QWidget page;
    QLineEdit status;
    std::unique_ptr<editors::TableEditor> editor;
};
