#include "text_rules.h"

#include <algorithm>
#include <optional>
#include <string>

#include "records/text_codec.h"

namespace editors {
namespace {

std::optional<std::string> encode(const QString& text) { return records::encodeText(text.toStdU16String()); }

}  // namespace

QString shownText(std::span<const char> field) { return QString::fromStdU16String(records::decodeShownText(field)); }

TextResult applyNameRule(const QString& text, std::span<char> field) {
    const auto width = static_cast<qsizetype>(field.size());
    qsizetype end = 0;
    while (end < width && end < text.size() && text[end] != QChar(u'\0')) ++end;
    if (end == width) return TextResult::Kept;
    const auto bytes = encode(text.left(end));
    if (!bytes) return TextResult::Unmappable;
    std::fill(field.begin(), field.end(), ' ');
    std::copy(bytes->begin(), bytes->end(), field.begin());
    field[bytes->size()] = '\0';
    return TextResult::Stored;
}

TextResult applyBlankFill(const QString& text, std::span<char> field) {
    const auto bytes = encode(text.left(static_cast<qsizetype>(field.size())));
    if (!bytes) return TextResult::Unmappable;
    std::fill(field.begin(), field.end(), ' ');
    std::copy(bytes->begin(), bytes->end(), field.begin());
    return TextResult::Stored;
}

QString firstUnmappable(const QString& text) {
    const auto at = records::firstUnencodable(text.toStdU16String());
    return at ? QString(text[static_cast<qsizetype>(*at)]) : QString();
}

}  // namespace editors
