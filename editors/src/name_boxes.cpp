#include "name_boxes.h"

#include "records/text_codec.h"

namespace editors {

QString nameBoxName(FieldElement element) {
    QString name = describedText(element.field->box.nameBox);
    if (element.field->box.lettered) name += QLatin1Char(static_cast<char>('A' + element.index));
    return name;
}

NameBoxes::NameBoxes(QWidget& page, std::span<const records::Field> fields, world::NameLookup* lookup)
    : lookup_(lookup) {
    for (const records::Field& f : fields) {
        if (f.box.nameBox.empty() || !f.names.exists()) continue;
        for (std::size_t k = 0; k < f.count; ++k)
            if (auto* box = page.findChild<QLineEdit*>(nameBoxName({&f, k}))) boxes_.push_back({{&f, k}, box});
    }
}

void NameBoxes::show(const RecordBytes& record) const {
    for (const NameBox& n : boxes_) {
        const auto number = static_cast<std::int32_t>(record.number(n.element));
        const std::string name = lookup_ ? lookup_->nameBoxText(*n.element.field->names.table, number) : std::string();
        n.box->setText(QString::fromStdU16String(records::decodeText(name)));
    }
}

}  // namespace editors
