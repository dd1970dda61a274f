// A stand-in for the message boxes and the input box: records every box that was
// asked for and answers from queues the test fills beforehand.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "editors/dialogs.h"
#include "test_support/qt_print.h"

namespace test_support {

class ScriptedDialogs : public editors::Dialogs {
public:
    struct Box {
        bool isInput = false;
        QString text;   // the message, or the prompt of an input box
        QString title;  // as passed; empty means the application title
        editors::Buttons buttons = editors::Buttons::Ok;
        QString defaultAnswer;  // input boxes only
    };

    // Answers of the next message boxes, in order. When the queue is empty an OK box
    // answers Ok and a Yes/No box answers No.
    std::deque<editors::Answer> answers;
    // Answers of the next input boxes, in order; nullopt is Cancel. When empty: Cancel.
    std::deque<std::optional<QString>> inputs;
    // Every box asked for, in order.
    std::vector<Box> boxes;

    editors::Answer message(const QString& text, const QString& title, editors::Buttons buttons) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultAnswer) override;

    // The texts of the boxes asked for, in order.
    std::vector<QString> texts() const;
};

}  // namespace test_support
