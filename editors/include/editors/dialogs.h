// Every message box and the Goto input box go through this interface: the program
// uses Qt's modal boxes, tests a scripted stand-in that records what was asked.
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "store/status_reporter.h"

namespace editors {

inline const QString kApplicationTitle = QStringLiteral("Tarrow Grimhold Editor");

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

class Dialogs : public store::StatusReporter {
public:
    // A modal message box without an icon; an empty title means the application title.
    virtual Answer message(const QString& text, const QString& title = {}, Buttons buttons = Buttons::Ok) = 0;
    // A modal input box; none when the user cancels.
    virtual std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultAnswer) = 0;

    void reportStatus(const std::string& text) override { message(QString::fromStdString(text)); }
};

}  // namespace editors
