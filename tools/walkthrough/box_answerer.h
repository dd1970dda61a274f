// Answers the program's modal message boxes as a user would: watches for the
// active modal box, logs its title and text, and clicks Yes, or OK where there is no Yes.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

namespace walkthrough {

class BoxAnswerer : public QObject {
public:
    BoxAnswerer();

    // "title: text" of every box answered, in order.
    const QStringList& answered() const { return answered_; }

private:
    void answerActiveBox();

    QTimer poll_;
    QStringList answered_;
};

}  // namespace walkthrough
