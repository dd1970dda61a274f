// An element of a described field, and the name and caption of the box that shows it.
#pragma once

#include <QString>
#include <cstddef>

#include "records/record_description.h"

namespace editors {

struct FieldElement {
    const records::Field* field;
    std::size_t index = 0;

    std::size_t offset() const { return field->elementOffset(index); }
};

// The box's object name: the field's box name, with "_k" or the letter A to E added
// for the elements of a field of several.
QString boxName(FieldElement element);

// What the box is called in messages and by screen readers: its caption; for the
// ability slots "Ability 3" and "Ability 3 value"; the letter added for a lettered element.
QString boxCaption(FieldElement element);

// A text of the description as a QString.
QString describedText(std::string_view text);

}  // namespace editors
