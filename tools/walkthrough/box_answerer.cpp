#include "box_answerer.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <cstdio>

namespace walkthrough {

BoxAnswerer::BoxAnswerer() {
    // Polling, because the box runs its own event loop inside the click that opened it.
    poll_.setInterval(50);
    connect(&poll_, &QTimer::timeout, this, &BoxAnswerer::answerActiveBox);
    poll_.start();
}

void BoxAnswerer::answerActiveBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    QAbstractButton* button = box->button(QMessageBox::Yes);
    if (!button) button = box->button(QMessageBox::Ok);
    if (!button) return;
    answered_.append(box->windowTitle() + QStringLiteral(": ") + box->text());
    std::printf("   box \"%s\": \"%s\" -> %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()),
                qPrintable(button->text().remove(QLatin1Char('&'))));
    std::fflush(stdout);
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace walkthrough
