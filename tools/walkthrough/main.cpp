// grimhold-walkthrough NAME CP: opens the data files of the current folder in the
// real main window, with the real Qt boxes, and as a user would: gives the first
// race the name NAME and the CP value CP, saves it with "Update Record", inserts a
// copy ("Insert", Yes) and deletes that copy again ("Delete", Yes), then closes the
// window. Each step is printed with what the window shows afterwards. Exit status 0
// when every step showed what it should.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

#include "box_answerer.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"

namespace {

class Walk {
public:
    explicit Walk(ui::MainWindow& window) : window_(window) {}

    QString text(const char* box) const {
        const auto* edit = window_.findChild<QLineEdit*>(QString::fromLatin1(box));
        return edit ? edit->text() : QStringLiteral("<no %1>").arg(QString::fromLatin1(box));
    }

    // Replaces a box's text by typing, as a user would: click, select all, type.
    void type(const char* box, const QString& value) {
        auto* edit = window_.findChild<QLineEdit*>(QString::fromLatin1(box));
        if (!edit) return fail(QStringLiteral("no box %1").arg(QString::fromLatin1(box)));
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, value);
        std::printf("   typed \"%s\" into %s\n", qPrintable(value), box);
    }

    void click(const char* button) {
        auto* b = window_.findChild<QPushButton*>(QString::fromLatin1(button));
        if (!b) return fail(QStringLiteral("no button %1").arg(QString::fromLatin1(button)));
        std::printf("   click \"%s\"\n", qPrintable(b->text()));
        std::fflush(stdout);
        QTest::mouseClick(b, Qt::LeftButton);
    }

    static void step(const char* title) {
        std::printf("%s\n", title);
        std::fflush(stdout);
    }

    // What the Races tab and the status line show now.
    void showRace() const {
        std::printf("   Races tab: number %s, name \"%s\", CP %s\n   status line: \"%s\"\n",
                    qPrintable(text("txtRaceNumber")), qPrintable(text("txtRaceName")), qPrintable(text("txtRaceCP")),
                    qPrintable(text("txtStatus")));
        std::fflush(stdout);
    }

    void expect(bool condition, const QString& what) {
        if (!condition) fail(what);
    }

    void fail(const QString& what) {
        std::printf("   NOT AS EXPECTED: %s\n", qPrintable(what));
        ok_ = false;
    }

    bool ok() const { return ok_; }

private:
    ui::MainWindow& window_;
    bool ok_ = true;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: grimhold-walkthrough NAME CP  (in a folder holding the six data files)\n");
        return 2;
    }
    QApplication app(argc, argv);
    const QString name = QString::fromLocal8Bit(argv[1]);
    const QString cp = QString::fromLocal8Bit(argv[2]);

    ui::QtDialogs dialogs;
    ui::MainWindow window(dialogs);
    dialogs.setParentWidget(&window);
    walkthrough::BoxAnswerer answerer;
    if (!window.Form_Load()) return 1;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    Walk walk(window);

    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    walk.expect(tabs && tabs->tabText(tabs->currentIndex()) == QStringLiteral("Races"), "the Races tab is selected");
    Walk::step("1. Open the demo set");
    walk.showRace();
    const QString number = walk.text("txtRaceNumber");

    Walk::step("2. Change the race");
    walk.type("txtRaceName", name);
    walk.type("txtRaceCP", cp);

    Walk::step("3. Save it with \"Update Record\"");
    walk.click("cmdUpdate");
    walk.showRace();
    walk.expect(walk.text("txtStatus").startsWith(QStringLiteral("Race %1 Updated! %2").arg(number, name)),
                "the status line confirms the update");
    walk.expect(walk.text("txtRaceCP") == cp, "the saved CP is shown");

    Walk::step("4. Insert a copy (\"Insert\", Yes)");
    walk.click("cmdInsert");
    walk.showRace();
    const QString copy = walk.text("txtRaceNumber");
    walk.expect(
        copy != number && walk.text("txtStatus").startsWith(QStringLiteral("Race Inserted at Record %1").arg(copy)),
        "the copy is shown under a new number");

    Walk::step("5. Delete the copy (\"Delete\", Yes)");
    walk.click("cmdDelete");
    walk.showRace();
    walk.expect(walk.text("txtStatus").startsWith(QStringLiteral("Race %1 Deleted. ").arg(copy)),
                "the copy is deleted");
    walk.expect(walk.text("txtRaceNumber") == number, "the first race is shown again");

    Walk::step("6. Close the window");
    window.close();
    walk.expect(answerer.answered().size() == 3,
                QStringLiteral("three boxes answered, not %1").arg(answerer.answered().size()));
    return walk.ok() ? 0 : 1;
}
