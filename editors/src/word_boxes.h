// The drop-down boxes of a tab's coded fields and ability codes: each shows its code
// as a word of its table and reads a word back into the code.
#pragma once

#include <QComboBox>
#include <span>
#include <vector>

#include "record_bytes.h"
#include "records/code_table.h"

namespace editors {

// What a coded box shows for a code that has no word. Ability codes always show their number.
enum class Wordless {
    Number,   // its decimal number, which also saves back as that code
    Unknown,  // the word "Unknown" (shown only)
};

class WordBoxes {
public:
    struct Word {
        FieldElement element;
        const records::CodeTable* table;
        QComboBox* box;
    };

    // Boxes for the elements, each field's boxes offering one list of its table's
    // words; an ability code's table is abilityTable.
    WordBoxes(QWidget& page, std::span<const FieldElement> elements, Wordless wordless,
              const records::CodeTable* abilityTable);

    std::span<const Word> words() const { return words_; }

    void show(const RecordBytes& record) const;

    // A box holding a word of its table stores that word's code; any other text keeps the code.
    void read(RecordBytes& record) const;

private:
    std::vector<Word> words_;
    Wordless wordless_;
};

}  // namespace editors
