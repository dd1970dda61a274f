// The read-only boxes beside a record's references that show the names of the
// records they name (the weapon's, the drops', the spells'), filled from the
// reference marks of the record's description each time a record is shown.
#pragma once

#include <QLineEdit>
#include <span>
#include <vector>

#include "field_element.h"
#include "record_bytes.h"
#include "world/name_lookup.h"

namespace editors {

// The object name of the name box beside an element: the field's nameBox, with the
// letter A to E for a lettered element.
QString nameBoxName(FieldElement element);

class NameBoxes {
public:
    // Finds on page the name boxes of the fields that have one; lookup may be null
    // (the boxes then stay empty).
    NameBoxes(QWidget& page, std::span<const records::Field> fields, world::NameLookup* lookup);

    // Puts the name of the record each element names into its box; a box whose
    // number is 0, or whose file cannot be read, is emptied.
    void show(const RecordBytes& record) const;

private:
    struct NameBox {
        FieldElement element;
        QLineEdit* box;
    };
    std::vector<NameBox> boxes_;
    world::NameLookup* lookup_;
};

}  // namespace editors
