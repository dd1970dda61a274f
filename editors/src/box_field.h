// One box of a tab and the record field behind it: the descriptor that both the
// show and the update routine of an editor walk.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

namespace editors {

enum class FieldKind { Int16, Int32, Byte, Text };

// How a box's text goes back into its field.
enum class Reading {
    Whole,              // a whole number of the field's range
    Decimal,            // any number, rounded half to even, then the field's range
    NameRule,           // the text, one zero, blanks to the width; a full-width text keeps the field
    NameRuleIfChanged,  // the name rule, but only when the box no longer shows what was put there
    BlankFilled,        // the text cut to the width or filled with blanks, no zero
    ShowOnly,           // never read back
};

struct BoxField {
    QString name = {};       // object name of the box
    QString caption = {};    // the label beside it, also named in error messages
    std::size_t offset = 0;  // of the field in the record structure
    FieldKind kind = FieldKind::Int16;
    int width = 0;        // characters of a text field
    int typingLimit = 0;  // characters the user may type; 0 for no limit
    bool readOnly = false;
    Reading reading = Reading::Whole;
    int shownShift = 0;     // the box shows the stored value plus this
    QString addedBox = {};  // the box shows the stored value plus that box's field, and
                            // the update subtracts that box's number again
};

// The values a field of this kind can hold.
std::pair<std::int64_t, std::int64_t> fieldRange(FieldKind kind);

// Reads and writes a number field of a record structure given by its bytes.
std::int64_t loadNumber(const std::byte* record, const BoxField& field);
void storeNumber(std::byte* record, const BoxField& field, std::int64_t value);

// A conversion that failed: the box to focus and the message naming it.
struct ConversionFailure {
    class QWidget* box;
    QString message;
};

}  // namespace editors
