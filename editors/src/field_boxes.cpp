#include "field_boxes.h"

#include <span>
#include <stdexcept>

#include "line_box.h"
#include "records/number_text.h"
#include "text_rules.h"

namespace editors {
namespace {

QString decimal(std::int64_t value) { return QString::fromStdString(records::decimalText(value)); }

QString quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

ConversionFailure failure(QLineEdit* box, const BoxField& field, const QString& complaint) {
    return {box, QStringLiteral("The value %1 in %2 %3.").arg(quoted(box->text()), quoted(field.caption), complaint)};
}

std::span<char> textField(std::byte* record, const BoxField& field) {
    return {reinterpret_cast<char*>(record + field.offset), static_cast<std::size_t>(field.width)};
}

}  // namespace

FieldBoxes::FieldBoxes(QWidget& page, std::vector<BoxField> fields)
    : fields_(std::move(fields)), added_(fields_.size()), shown_(fields_.size()) {
    for (const BoxField& field : fields_)
        boxes_.push_back(makeLineBox(page, field.name, field.typingLimit, field.readOnly));
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].addedBox.isEmpty()) continue;
        for (std::size_t j = 0; j < fields_.size(); ++j)
            if (fields_[j].name == fields_[i].addedBox) added_[i] = j;
        if (!added_[i]) throw std::out_of_range("no box " + fields_[i].addedBox.toStdString());
    }
}

void FieldBoxes::showBytes(const std::byte* record) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const BoxField& field = fields_[i];
        if (field.kind == FieldKind::Text) {
            shown_[i] = shownText(
                {reinterpret_cast<const char*>(record + field.offset), static_cast<std::size_t>(field.width)});
        } else {
            // Worked out wide, so that a sum leaving the field's range still shows, and saves, exactly.
            std::int64_t value = loadNumber(record, field) + field.shownShift;
            if (added_[i]) value += loadNumber(record, fields_[*added_[i]]);
            shown_[i] = decimal(value);
        }
        setShownText(*boxes_[i], shown_[i]);
        shown_[i] = boxes_[i]->text();  // as the box holds it, for telling later whether the user changed it
    }
}

std::optional<ConversionFailure> FieldBoxes::readBytes(std::byte* record) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        auto result = fields_[i].kind == FieldKind::Text ? readText(i, record) : readNumber(i, record);
        if (result) return result;
    }
    return std::nullopt;
}

std::optional<ConversionFailure> FieldBoxes::readNumber(std::size_t index, std::byte* record) const {
    const BoxField& field = fields_[index];
    if (field.reading == Reading::ShowOnly) return std::nullopt;
    QLineEdit* box = boxes_[index];
    const auto [low, high] = fieldRange(field.kind);
    const std::string text = box->text().toStdString();
    const QString range = QStringLiteral("from %1 to %2").arg(decimal(low), decimal(high));
    if (field.reading == Reading::Whole) {
        const auto value = records::parseWholeNumber(text, low, high);
        if (!value) return failure(box, field, QStringLiteral("is not a whole number ") + range);
        storeNumber(record, field, *value);
        return std::nullopt;
    }

    const bool plain = field.shownShift == 0 && !added_[index];
    auto number = records::parseDecimalNumber(text);
    if (!number)
        return failure(box, field,
                       plain ? QStringLiteral("is not a number ") + range : QStringLiteral("is not a number"));
    double value = *number - field.shownShift;
    if (added_[index]) {
        QLineEdit* other = boxes_[*added_[index]];
        const auto subtracted = records::parseDecimalNumber(other->text().toStdString());
        if (!subtracted) return failure(other, fields_[*added_[index]], QStringLiteral("is not a number"));
        value -= *subtracted;
    }
    const auto rounded = records::roundHalfEven(value, low, high);
    if (!rounded)
        return failure(box, field,
                       plain
                           ? QStringLiteral("is not a number ") + range
                           : QStringLiteral("gives a stored value outside %1 to %2").arg(decimal(low), decimal(high)));
    storeNumber(record, field, *rounded);
    return std::nullopt;
}

std::optional<ConversionFailure> FieldBoxes::readText(std::size_t index, std::byte* record) const {
    const BoxField& field = fields_[index];
    QLineEdit* box = boxes_[index];
    const QString text = box->text();
    TextResult result = TextResult::Kept;
    switch (field.reading) {
        case Reading::NameRuleIfChanged:
            if (text == shown_[index]) return std::nullopt;
            [[fallthrough]];
        case Reading::NameRule:
            result = applyNameRule(text, textField(record, field));
            break;
        case Reading::BlankFilled:
            result = applyBlankFill(text, textField(record, field));
            break;
        default:
            return std::nullopt;
    }
    if (result != TextResult::Unmappable) return std::nullopt;
    return ConversionFailure{
        box, QStringLiteral("The text %1 in %2 holds the character %3, which the data files cannot store.")
                 .arg(quoted(text), quoted(field.caption), quoted(firstUnmappable(text)))};
}

}  // namespace editors
