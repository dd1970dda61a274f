#include "word_boxes.h"

#include "line_box.h"
#include "word_box.h"

namespace editors {
namespace {

bool isAbilityCode(FieldElement element) { return element.field->kind == records::FieldKind::AbilityCodes; }

}  // namespace

WordBoxes::WordBoxes(QWidget& page, std::span<const FieldElement> elements, Wordless wordless,
                     const records::CodeTable* abilityTable)
    : wordless_(wordless) {
    // The elements of a field share one list, so its words are made and measured once.
    const records::Field* listed = nullptr;
    WordList* list = nullptr;
    for (const FieldElement& element : elements) {
        const records::CodeTable* table = isAbilityCode(element) ? abilityTable : &element.field->words();
        if (element.field != listed) list = new WordList(*table, &page);
        listed = element.field;
        words_.push_back({element, table, new WordBox(page, boxName(element), *list)});
    }
}

void WordBoxes::show(const RecordBytes& record) const {
    for (const Word& w : words_) {
        const auto code = static_cast<int>(record.number(w.element));
        const auto word = w.table->word(code);
        const std::string text = word ? std::string(*word)
                                 : wordless_ == Wordless::Unknown && !isAbilityCode(w.element)
                                     ? std::string("Unknown")
                                     : w.table->displayText(code);
        w.box->setEditText(QString::fromStdString(text));
    }
}

void WordBoxes::read(RecordBytes& record) const {
    for (const Word& w : words_) {
        const auto stored = static_cast<std::int16_t>(record.number(w.element));
        const auto code = w.table->codeFromText(wordText(*w.box), stored);
        // A byte field takes only the codes it can hold.
        const auto [low, high] = numberRange(w.element.field->width);
        if (code && *code >= low && *code <= high) record.setNumber(w.element, *code);
    }
}

}  // namespace editors
