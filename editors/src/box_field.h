// One box of a tab and the record field behind it: the descriptor that both the
// show and the update routine of an editor walk.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "records/record_description.h"

namespace editors {

enum class FieldKind { Int16, Int32, Byte, Text };

// How a box's text goes back into its field.
using records::Reading;

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
