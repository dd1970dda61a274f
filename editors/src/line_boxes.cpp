#include "line_boxes.h"

#include <stdexcept>

#include "line_box.h"
#include "records/number_text.h"
#include "text_rules.h"

namespace editors {
namespace {

using records::Reading;

QString decimal(std::int64_t value) { return QString::fromStdString(records::decimalText(value)); }

QString quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

ConversionFailure failure(QLineEdit* box, FieldElement element, const QString& complaint) {
    return {box,
            QStringLiteral("The value %1 in %2 %3.").arg(quoted(box->text()), quoted(boxCaption(element)), complaint)};
}

bool isText(FieldElement element) { return element.field->kind == records::FieldKind::Text; }

}  // namespace

LineBoxes::LineBoxes(QWidget& page, std::span<const FieldElement> elements) {
    for (const FieldElement& element : elements) {
        const records::Box& box = element.field->box;
        lines_.push_back({element, makeLineBox(page, boxName(element), box.typingLimit, box.readOnly), std::nullopt});
    }
    for (Line& line : lines_) {
        const std::string_view addedBox = line.element.field->box.addedBox;
        if (addedBox.empty()) continue;
        for (std::size_t j = 0; j < lines_.size(); ++j)
            if (lines_[j].element.field->box.name == addedBox) line.added = j;
        if (!line.added) throw std::out_of_range("no box " + std::string(addedBox));
    }
}

void LineBoxes::show(const RecordBytes& record) {
    for (Line& line : lines_) {
        if (isText(line.element)) {
            line.shown = shownText(record.text(line.element));
        } else {
            // Worked out wide, so that a sum leaving the field's range still shows, and saves, exactly.
            std::int64_t value = record.number(line.element) + line.element.field->box.shownShift;
            if (line.added) value += record.number(lines_[*line.added].element);
            line.shown = decimal(value);
        }
        setShownText(*line.box, line.shown);
        line.shown = line.box->text();  // as the box holds it, for telling later whether the user changed it
    }
}

std::optional<ConversionFailure> LineBoxes::read(RecordBytes& record) const {
    for (const Line& line : lines_) {
        auto result = isText(line.element) ? readText(line, record) : readNumber(line, record);
        if (result) return result;
    }
    return std::nullopt;
}

std::optional<ConversionFailure> LineBoxes::readNumber(const Line& line, RecordBytes& record) const {
    const records::Box& described = line.element.field->box;
    if (described.reading == Reading::ShowOnly) return std::nullopt;
    QLineEdit* box = line.box;
    const auto [low, high] = numberRange(line.element.field->width);
    const std::string text = box->text().toStdString();
    const QString range = QStringLiteral("from %1 to %2").arg(decimal(low), decimal(high));
    if (described.reading == Reading::Whole) {
        const auto value = records::parseWholeNumber(text, low, high);
        if (!value) return failure(box, line.element, QStringLiteral("is not a whole number ") + range);
        record.setNumber(line.element, *value);
        return std::nullopt;
    }

    const bool plain = described.shownShift == 0 && !line.added;
    auto number = records::parseDecimalNumber(text);
    if (!number)
        return failure(box, line.element,
                       plain ? QStringLiteral("is not a number ") + range : QStringLiteral("is not a number"));
    double value = *number - described.shownShift;
    if (line.added) {
        const Line& other = lines_[*line.added];
        const auto subtracted = records::parseDecimalNumber(other.box->text().toStdString());
        if (!subtracted) return failure(other.box, other.element, QStringLiteral("is not a number"));
        value -= *subtracted;
    }
    const auto rounded = records::roundHalfEven(value, low, high);
    if (!rounded)
        return failure(box, line.element,
                       plain
                           ? QStringLiteral("is not a number ") + range
                           : QStringLiteral("gives a stored value outside %1 to %2").arg(decimal(low), decimal(high)));
    record.setNumber(line.element, *rounded);
    return std::nullopt;
}

std::optional<ConversionFailure> LineBoxes::readText(const Line& line, RecordBytes& record) const {
    const QString text = line.box->text();
    TextResult result = TextResult::Kept;
    switch (line.element.field->box.reading) {
        case Reading::NameRuleIfChanged:
            if (text == line.shown) return std::nullopt;
            [[fallthrough]];
        case Reading::NameRule:
            result = applyNameRule(text, record.text(line.element));
            break;
        case Reading::BlankFilled:
            result = applyBlankFill(text, record.text(line.element));
            break;
        default:
            return std::nullopt;
    }
    if (result != TextResult::Unmappable) return std::nullopt;
    return ConversionFailure{
        line.box, QStringLiteral("The text %1 in %2 holds the character %3, which the data files cannot store.")
                      .arg(quoted(text), quoted(boxCaption(line.element)), quoted(firstUnmappable(text)))};
}

}  // namespace editors
