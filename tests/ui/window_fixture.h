// A main window loaded on six data files in a temporary folder, every table
// holding the records 1, 2, 4, 12 and 40, its record manager calls going through
// a recording seam and its boxes answered by a script.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <array>
#include <memory>

#include <wbtrv32/btrieve.h>

#include "test_support/application.h"
#include "test_support/call_seam.h"
#include "test_support/data_files.h"
#include "test_support/scripted_dialogs.h"
#include "test_support/temp_folder.h"
#include "ui/main_window.h"

class WindowFixture : public ::testing::Test {
protected:
    // The number box of each table, in table order.
    static const char* numberBox(records::TableId table) {
        static const std::array<const char*, 6> names{"txtRaceNumber",    "txtClassNumber", "txtSpellNumber",
                                                      "txtMonsterNumber", "txtItemNumber",  "txtMessageNumber"};
        return names[static_cast<std::size_t>(table)];
    }

    void SetUp() override {
        test_support::application();
        ASSERT_EQ(test_support::createDataFiles(), 0);
        for (const auto& table : records::kTableFiles) fillTable(table.id);
    }

    void TearDown() override {
        if (window) window->close();  // shuts down after a complete start-up
        // Releases what a start-up that ended early left open.
        std::array<std::uint8_t, 128> scratch{};
        std::uint32_t length = 0;
        BTRCALL(B_RESET, scratch.data(), scratch.data(), &length, nullptr, 255, 0);
    }

    // Replaces the table's file by one holding the given records, named "Name <number>".
    void fillTable(records::TableId id, const std::vector<std::int32_t>& numbers = {1, 2, 4, 12, 40}) {
        const auto& table = records::tableFile(id);
        ASSERT_EQ(test_support::createDataFile(table), 0);
        std::vector<test_support::Row> rows;
        for (const auto number : numbers)
            rows.push_back(test_support::numberedRow(table, number, "Name " + std::to_string(number)));
        ASSERT_EQ(test_support::insertRows(table, rows), 0);
    }

    // Builds and loads the window, then forgets the calls and boxes of the start-up.
    bool load() {
        window = std::make_unique<ui::MainWindow>(dialogs, seam.call());
        window->show();
        const bool loaded = window->Form_Load();
        forget();
        return loaded;
    }

    QString text(const QString& name) const {
        const auto* box = window->findChild<QLineEdit*>(name);
        return box ? box->text() : QStringLiteral("<no box %1>").arg(name);
    }
    QString shownNumber(records::TableId table) const { return text(QString::fromLatin1(numberBox(table))); }
    QString status() const { return text(QStringLiteral("txtStatus")); }
    QTabWidget& tabs() const { return *window->findChild<QTabWidget*>(QStringLiteral("SSTab1")); }

    void select(const QString& caption) {
        for (int i = 0; i < tabs().count(); ++i)
            if (tabs().tabText(i) == caption) tabs().setCurrentIndex(i);
        ASSERT_EQ(tabs().tabText(tabs().currentIndex()), caption);
    }

    // Selects the tab and shows the record through Goto, then forgets the calls and boxes.
    void gotoRecord(const QString& caption, std::int32_t number) {
        select(caption);
        dialogs.inputs.push_back(QString::number(number));
        click(QStringLiteral("cmdGoto"));
        forget();
    }
    // Forgets the calls and boxes so far.
    void forget() {
        seam.calls.clear();
        dialogs.boxes.clear();
    }

    void click(const QString& button) {
        auto* b = window->findChild<QPushButton*>(button);
        ASSERT_NE(b, nullptr) << button.toStdString();
        b->click();
    }

    test_support::TempFolder folder;
    test_support::CallSeam seam;
    test_support::ScriptedDialogs dialogs;
    std::unique_ptr<ui::MainWindow> window;
};
