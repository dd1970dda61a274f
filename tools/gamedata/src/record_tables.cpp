#include "record_tables.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

namespace gamedata::detail {
namespace {

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::optional<records::TableId> tableOfFile(std::string_view fileName, std::uint32_t recordLength) {
    const std::string base = std::filesystem::path(fileName).filename().string();
    for (const records::TableFile& file : records::kTableFiles)
        if (file.recordLength == recordLength && sameNameIgnoringCase(base, file.fileName)) return file.id;
    return std::nullopt;
}

std::optional<abilities::AbilityKind> abilityKindOf(records::TableId table) {
    using abilities::AbilityKind;
    using records::TableId;
    switch (table) {
        case TableId::Races:
            return AbilityKind::Race;
        case TableId::Classes:
            return AbilityKind::Class;
        case TableId::Spells:
            return AbilityKind::Spell;
        case TableId::Monsters:
            return AbilityKind::Monster;
        case TableId::Items:
        case TableId::Messages:
            break;
    }
    return std::nullopt;
}

std::vector<JsonField> jsonFields(std::span<const records::Field> fields) {
    using records::FieldKind;
    const auto kindAt = [&](FieldKind kind) {
        const auto f = std::ranges::find(fields, kind, &records::Field::kind);
        return f == fields.end() ? nullptr : &*f;
    };
    const records::Field* codes = kindAt(FieldKind::AbilityCodes);
    const records::Field* values = kindAt(FieldKind::AbilityValues);
    std::vector<JsonField> json;
    for (const records::Field& f : fields) {
        if (f.kind != FieldKind::AbilityCodes && f.kind != FieldKind::AbilityValues)
            json.push_back({f.name, &f});
        else if (&f == std::min(codes, values))
            json.push_back({"Abilities", codes, values});
    }
    return json;
}

}  // namespace gamedata::detail
