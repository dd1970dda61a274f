#include "coded_boxes.h"

#include <stdexcept>

#include "line_box.h"
#include "word_box.h"

namespace editors {
namespace {

BoxField numberField(const CodedField& coded) {
    return {.name = coded.name, .offset = coded.offset, .kind = coded.kind};
}

}  // namespace

CodedBoxes::CodedBoxes(QWidget& page, std::vector<CodedField> fields, Wordless wordless)
    : fields_(std::move(fields)), wordless_(wordless) {
    for (const CodedField& field : fields_)
        boxes_.push_back(new WordBox(page, field.name, *new WordList(field.table, &page)));
}

void CodedBoxes::showBytes(const std::byte* record) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const auto code = static_cast<int>(loadNumber(record, numberField(fields_[i])));
        const auto word = fields_[i].table.word(code);
        const std::string text = word                             ? std::string(*word)
                                 : wordless_ == Wordless::Unknown ? std::string("Unknown")
                                                                  : fields_[i].table.displayText(code);
        boxes_[i]->setEditText(QString::fromStdString(text));
    }
}

void CodedBoxes::readBytes(std::byte* record) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const BoxField field = numberField(fields_[i]);
        const auto stored = static_cast<std::int16_t>(loadNumber(record, field));
        const auto code = fields_[i].table.codeFromText(wordText(*boxes_[i]), stored);
        // A byte field takes only the codes it can hold.
        const auto [low, high] = fieldRange(field.kind);
        if (code && *code >= low && *code <= high) storeNumber(record, field, *code);
    }
}

}  // namespace editors
