#include "field_element.h"

namespace editors {

using records::FieldKind;

QString describedText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

QChar letter(std::size_t index) { return QLatin1Char(static_cast<char>('A' + index)); }

}  // namespace

QString boxName(FieldElement element) {
    const records::Field& f = *element.field;
    const QString name = describedText(f.box.name);
    if (f.count == 1) return name;
    if (f.box.lettered) return name + letter(element.index);
    return name + QLatin1Char('_') + QString::number(element.index);
}

QString boxCaption(FieldElement element) {
    const records::Field& f = *element.field;
    const auto slot = QString::number(element.index + 1);
    if (f.kind == FieldKind::AbilityCodes) return QStringLiteral("Ability ") + slot;
    if (f.kind == FieldKind::AbilityValues) return QStringLiteral("Ability %1 value").arg(slot);
    const QString caption = describedText(f.box.caption);
    return f.box.lettered ? caption + QLatin1Char(' ') + letter(element.index) : caption;
}

}  // namespace editors
