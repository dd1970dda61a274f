// The boxes of the tabs: one-line text boxes with a limit on typing only, and what
// the drop-down lists of words take from and give back to their tables.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QStringList>

#include "records/code_table.h"

namespace editors {

// A text box named name. typingLimit (0: none) restricts what the user types, never
// what the program puts there.
QLineEdit* makeLineBox(QWidget& parent, const QString& name, int typingLimit, bool readOnly);

// Puts a text into a box whole, however long. While the box holds more characters
// than its typing limit, the user may shorten the text but not lengthen it.
void setShownText(QLineEdit& box, const QString& text);

// The words of a table, in code order.
QStringList wordsOf(const records::CodeTable& table);

// A box's text as the record's words are compared with it.
std::string wordText(const QComboBox& box);

}  // namespace editors
