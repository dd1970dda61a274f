// How the text of a box becomes the bytes of a fixed-width text field, and back.
#pragma once

#include <QString>
#include <span>

namespace editors {

// What a box shows of a text field: its characters up to the first zero.
QString shownText(std::span<const char> field);

enum class TextResult {
    Stored,      // the field now holds the box's text
    Kept,        // the rule keeps the field as it was
    Unmappable,  // a character of the text has no byte; the field is unchanged
};

// The name rule: at the first position within the width where the text ends or holds
// a zero character, the field becomes the text before it, one zero and blanks to the
// width. A text with no such position (width or more characters, no zero) keeps the field.
TextResult applyNameRule(const QString& text, std::span<char> field);

// The text cut to the width or filled with blanks to it; no zero is added.
TextResult applyBlankFill(const QString& text, std::span<char> field);

// The first character of text that has no byte, for the error message.
QString firstUnmappable(const QString& text);

}  // namespace editors
