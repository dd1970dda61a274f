#include "ability_slots.h"

#include <algorithm>

#include "line_box.h"
#include "word_box.h"

namespace editors {

using abilities::AbilityKind;

std::vector<QComboBox*> makeAbilityBoxes(QWidget& page, AbilityKind kind, const QString& prefix, int count) {
    // The slots share one list, so its words are made and measured once.
    auto* names = new WordList(abilities::abilityTable(kind), &page);
    std::vector<QComboBox*> boxes;
    for (int k = 0; k < count; ++k)
        boxes.push_back(new WordBox(page, prefix + QLatin1Char('_') + QString::number(k), *names));
    return boxes;
}

void showAbilityCodes(AbilityKind kind, AbilityBoxes boxes, std::span<const std::int16_t> codes) {
    const records::CodeTable& table = abilities::abilityTable(kind);
    const std::size_t count = std::min(boxes.size(), codes.size());
    for (std::size_t k = 0; k < count; ++k) boxes[k]->setEditText(QString::fromStdString(table.displayText(codes[k])));
}

void saveAbilityCodes(AbilityKind kind, AbilityBoxes boxes, std::span<std::int16_t> codes) {
    const records::CodeTable& table = abilities::abilityTable(kind);
    const std::size_t count = std::min(boxes.size(), codes.size());
    for (std::size_t k = 0; k < count; ++k)
        if (const auto code = table.codeFromText(wordText(*boxes[k]), codes[k])) codes[k] = *code;
}

void GetRaceAbilA(AbilityBoxes boxes, const records::RaceRecord& race) {
    showAbilityCodes(AbilityKind::Race, boxes, race.AbilityCode);
}
void SaveRaceAbilA(AbilityBoxes boxes, records::RaceRecord& race) {
    saveAbilityCodes(AbilityKind::Race, boxes, race.AbilityCode);
}
void GetClassAbilA(AbilityBoxes boxes, const records::ClassRecord& cls) {
    showAbilityCodes(AbilityKind::Class, boxes, cls.AbilityCode);
}
void SaveClassAbilA(AbilityBoxes boxes, records::ClassRecord& cls) {
    saveAbilityCodes(AbilityKind::Class, boxes, cls.AbilityCode);
}
void GetSpellAbilA(AbilityBoxes boxes, const records::SpellRecord& spell) {
    showAbilityCodes(AbilityKind::Spell, boxes, spell.AbilityCode);
}
void SaveSpellAbilA(AbilityBoxes boxes, records::SpellRecord& spell) {
    saveAbilityCodes(AbilityKind::Spell, boxes, spell.AbilityCode);
}
void GetMonsterAbilA(AbilityBoxes boxes, const records::MonsterRecord& monster) {
    showAbilityCodes(AbilityKind::Monster, boxes, monster.AbilityCode);
}

}  // namespace editors
