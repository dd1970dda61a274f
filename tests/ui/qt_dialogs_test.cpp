// The program's own boxes, driven by the keyboard: Return takes the default button,
// Escape the one that changes nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "test_support/application.h"
#include "ui/qt_dialogs.h"

namespace {

using editors::Answer;
using editors::Buttons;

// Presses key on the next modal box as soon as it is shown; records its title.
void pressOnNextBox(Qt::Key key, QString& title) {
    QTimer::singleShot(10, [key, &title] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) return pressOnNextBox(key, title);
        title = box->windowTitle();
        QTest::keyClick(box, key);
    });
}

TEST(QtDialogs, ReturnTakesTheDefaultAndEscapeTheSafeButtonOrNoInput) {
    test_support::application();
    ui::QtDialogs dialogs;
    const struct {
        Buttons buttons;
        Qt::Key key;
        Answer answer;
    } cases[] = {{Buttons::Ok, Qt::Key_Return, Answer::Ok},
                 {Buttons::Ok, Qt::Key_Escape, Answer::Ok},
                 {Buttons::YesNo, Qt::Key_Return, Answer::Yes},
                 {Buttons::YesNo, Qt::Key_Escape, Answer::No}};
    for (const auto& tc : cases) {
        SCOPED_TRACE(static_cast<int>(tc.key));
        QString title;
        pressOnNextBox(tc.key, title);
        EXPECT_EQ(dialogs.message(QStringLiteral("Delete this record from database?"), {}, tc.buttons), tc.answer);
        EXPECT_EQ(title, editors::kApplicationTitle) << "an empty title is the application's";
    }
    // The input box returns its text on Return, nothing on Escape.
    QString title;
    pressOnNextBox(Qt::Key_Return, title);
    EXPECT_EQ(dialogs.input(QStringLiteral("Goto what record?"), QStringLiteral("Goto"), QStringLiteral("1")),
              QStringLiteral("1"));
    EXPECT_EQ(title, QStringLiteral("Goto"));
    pressOnNextBox(Qt::Key_Escape, title);
    EXPECT_EQ(dialogs.input(QStringLiteral("Goto what record?"), QStringLiteral("Goto"), QStringLiteral("1")),
              std::nullopt);
}

}  // namespace
