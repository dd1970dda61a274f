#include "field_descriptors.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <filesystem>

#include "records/class_record.h"
#include "records/item_record.h"
#include "records/message_record.h"
#include "records/monster_record.h"
#include "records/race_record.h"
#include "records/spell_record.h"
#include "records/tarrow_data_fields.h"
#include "records/word_tables.h"

namespace gamedata::detail {
namespace {

using records::ClassRecord;
using records::ItemRecord;
using records::MessageRecord;
using records::MonsterRecord;
using records::RaceRecord;
using records::SpellRecord;

constexpr FieldDescriptor number(std::string_view name, std::size_t offset, std::size_t width, std::size_t count = 1,
                                 std::size_t stride = 0) {
    return {name, FieldKind::Number, offset, width, count, stride};
}
constexpr FieldDescriptor text(std::string_view name, std::size_t offset, std::size_t width) {
    return {name, FieldKind::Text, offset, width};
}
constexpr FieldDescriptor coded(std::string_view name, std::size_t offset, std::size_t width, TableOf table,
                                std::size_t count = 1) {
    return {name, FieldKind::Coded, offset, width, count, 0, table};
}
constexpr FieldDescriptor hidden(std::string_view name, std::size_t offset, std::size_t width, std::size_t count = 1,
                                 std::size_t stride = 0) {
    return {name, FieldKind::Hidden, offset, width, count, stride};
}
constexpr FieldDescriptor slots(std::size_t codes, std::size_t values, std::size_t count) {
    return {"Abilities", FieldKind::AbilitySlots, codes, 2, count, 0, nullptr, values};
}

// A member's name and offset in the structure.
#define AT(Record, member) #member, offsetof(Record, member)

constexpr std::array kRaceFields{
    number(AT(RaceRecord, Number), 2),
    text(AT(RaceRecord, Name), 29),
    hidden(AT(RaceRecord, Hidden31), 1),
    number(AT(RaceRecord, MinIntellect), 2),
    number(AT(RaceRecord, MinWillpower), 2),
    number(AT(RaceRecord, MinStrength), 2),
    number(AT(RaceRecord, MinHealth), 2),
    number(AT(RaceRecord, MinAgility), 2),
    number(AT(RaceRecord, MinCharm), 2),
    number(AT(RaceRecord, HPBonus), 2),
    hidden(AT(RaceRecord, Hidden46), 2),
    hidden(AT(RaceRecord, Hidden48), 2),
    slots(offsetof(RaceRecord, AbilityCode), offsetof(RaceRecord, AbilityValue), 10),
    number(AT(RaceRecord, CP), 2),
    hidden(AT(RaceRecord, Hidden92), 2),
    hidden(AT(RaceRecord, Hidden94), 2),
    hidden(AT(RaceRecord, Hidden96), 2),
    number(AT(RaceRecord, ExpChart), 2),
    hidden(AT(RaceRecord, Hidden100), 2),
    number(AT(RaceRecord, MaxIntellect), 2),
    number(AT(RaceRecord, MaxWillpower), 2),
    number(AT(RaceRecord, MaxStrength), 2),
    number(AT(RaceRecord, MaxHealth), 2),
    number(AT(RaceRecord, MaxAgility), 2),
    number(AT(RaceRecord, MaxCharm), 2),
    hidden(AT(RaceRecord, Hidden114), 2, 6),
};

constexpr std::array kClassFields{
    number(AT(ClassRecord, Number), 2),
    text(AT(ClassRecord, Name), 29),
    hidden(AT(ClassRecord, Hidden31), 1),
    number(AT(ClassRecord, MinHP), 2),
    number(AT(ClassRecord, HPRange), 2),
    number(AT(ClassRecord, Exp), 2),
    hidden(AT(ClassRecord, Hidden38), 2),
    hidden(AT(ClassRecord, Hidden40), 2),
    hidden(AT(ClassRecord, Hidden42), 2),
    slots(offsetof(ClassRecord, AbilityCode), offsetof(ClassRecord, AbilityValue), 10),
    coded(AT(ClassRecord, MagicType), 2, records::classMagicTypeTable),
    number(AT(ClassRecord, MagicLevel), 2),
    coded(AT(ClassRecord, Weapon), 2, records::classWeaponTable),
    coded(AT(ClassRecord, Armour), 2, records::classArmourTable),
    number(AT(ClassRecord, Combat), 2),
    hidden(AT(ClassRecord, Hidden94), 2),
    hidden(AT(ClassRecord, Hidden96), 2),
    hidden(AT(ClassRecord, Hidden98), 2),
    number(AT(ClassRecord, Title), 2),
};

constexpr std::array kSpellFields{
    number(AT(SpellRecord, Number), 2),
    text(AT(SpellRecord, Name), 29),
    hidden(AT(SpellRecord, Hidden31), 1),
    text(AT(SpellRecord, DescA), 50),
    hidden(AT(SpellRecord, Hidden82), 1),
    text(AT(SpellRecord, DescB), 50),
    hidden(AT(SpellRecord, Hidden133), 1),
    hidden(AT(SpellRecord, Hidden134), 2, 14),
    number(AT(SpellRecord, LevelCap), 1),
    hidden(AT(SpellRecord, Hidden163), 1),
    hidden(AT(SpellRecord, Hidden164), 2),
    hidden(AT(SpellRecord, Hidden166), 2),
    slots(offsetof(SpellRecord, AbilityCode), offsetof(SpellRecord, AbilityValue), 10),
    number(AT(SpellRecord, Energy), 2),
    number(AT(SpellRecord, Level), 2),
    number(AT(SpellRecord, Min), 2),
    number(AT(SpellRecord, Max), 2),
    coded(AT(SpellRecord, Style), 2, records::spellStyleTable),
    hidden(AT(SpellRecord, Hidden198), 2),
    number(AT(SpellRecord, Difficulty), 2),
    hidden(AT(SpellRecord, Hidden202), 2),
    coded(AT(SpellRecord, Target), 2, records::spellTargetTable),
    number(AT(SpellRecord, Length), 2),
    coded(AT(SpellRecord, Element), 2, records::spellElementTable),
    hidden(AT(SpellRecord, Hidden210), 2),
    hidden(AT(SpellRecord, Hidden212), 2),
    coded(AT(SpellRecord, TypeA), 2, records::spellMagicTypeTable),
    number(AT(SpellRecord, CastMsg), 2),
    hidden(AT(SpellRecord, Hidden238), 2),
    number(AT(SpellRecord, Mana), 2),
    number(AT(SpellRecord, LevelMod), 1),
    number(AT(SpellRecord, Increase), 1),
    number(AT(SpellRecord, TypeB), 2),
    number(AT(SpellRecord, MaxRoll), 1),
    hidden(AT(SpellRecord, Hidden247), 1),
    hidden(AT(SpellRecord, Hidden248), 1),
    hidden(AT(SpellRecord, Hidden249), 2),
    text(AT(SpellRecord, ShortName), 5),
};

// Pairs: the shown member is the first of each pair, the hidden one follows it.
constexpr std::size_t kInt16PairStride = sizeof(records::Int16Pair);
constexpr std::size_t kBytePairStride = sizeof(records::BytePair);

constexpr FieldDescriptor int16Pairs(std::string_view name, std::size_t offset, std::size_t count) {
    return number(name, offset, 2, count, kInt16PairStride);
}
constexpr FieldDescriptor int16PairsHidden(std::string_view name, std::size_t offset, std::size_t count) {
    return hidden(name, offset + offsetof(records::Int16Pair, Hidden), 2, count, kInt16PairStride);
}

constexpr std::array kMonsterFields{
    number(AT(MonsterRecord, Number), 4),
    text(AT(MonsterRecord, Name), 29),
    hidden(AT(MonsterRecord, Hidden33), 1),
    number(AT(MonsterRecord, Group), 2),
    hidden(AT(MonsterRecord, Hidden36), 2),
    number(AT(MonsterRecord, Index), 2),
    hidden(AT(MonsterRecord, Hidden40), 2, 2),
    number(AT(MonsterRecord, Weapon), 2),
    hidden(AT(MonsterRecord, Hidden46), 2),
    number(AT(MonsterRecord, AC1), 2),
    number(AT(MonsterRecord, AC2), 2),
    hidden(AT(MonsterRecord, Hidden52), 2),
    number(AT(MonsterRecord, Follow), 2),
    number(AT(MonsterRecord, MR), 2),
    hidden(AT(MonsterRecord, Hidden58), 2),
    number(AT(MonsterRecord, Exp), 2),
    number(AT(MonsterRecord, HP), 2),
    number(AT(MonsterRecord, Energy), 2),
    number(AT(MonsterRecord, HPRegen), 2),
    slots(offsetof(MonsterRecord, AbilityCode), offsetof(MonsterRecord, AbilityValue), 5),
    number(AT(MonsterRecord, Limit), 2),
    hidden(AT(MonsterRecord, Hidden90), 2),
    coded(AT(MonsterRecord, Type), 2, records::monsterTypeTable),
    hidden(AT(MonsterRecord, Hidden94), 1),
    coded(AT(MonsterRecord, Undead), 1, records::monsterUndeadTable),
    coded(AT(MonsterRecord, Alignment), 2, records::monsterAlignmentTable),
    hidden(AT(MonsterRecord, Hidden98), 2),
    number(AT(MonsterRecord, Regen), 2),
    hidden(AT(MonsterRecord, Hidden102), 2, 3),
    number(AT(MonsterRecord, MoveMessage), 2),
    hidden(AT(MonsterRecord, Hidden110), 2),
    number(AT(MonsterRecord, DeathMessage), 2),
    hidden(AT(MonsterRecord, Hidden114), 2),
    int16Pairs(AT(MonsterRecord, DropItem), 5),
    int16PairsHidden("DropItemHidden", offsetof(MonsterRecord, DropItem), 5),
    number(AT(MonsterRecord, DropUses), 2, 5),
    number(AT(MonsterRecord, DropPercentage), 1, 5),
    hidden(AT(MonsterRecord, Hidden151), 1),
    int16Pairs(AT(MonsterRecord, Runic), 1),
    int16PairsHidden("RunicHidden", offsetof(MonsterRecord, Runic), 1),
    int16Pairs(AT(MonsterRecord, Platinum), 1),
    int16PairsHidden("PlatinumHidden", offsetof(MonsterRecord, Platinum), 1),
    int16Pairs(AT(MonsterRecord, Gold), 1),
    int16PairsHidden("GoldHidden", offsetof(MonsterRecord, Gold), 1),
    int16Pairs(AT(MonsterRecord, Silver), 1),
    int16PairsHidden("SilverHidden", offsetof(MonsterRecord, Silver), 1),
    int16Pairs(AT(MonsterRecord, Copper), 1),
    int16PairsHidden("CopperHidden", offsetof(MonsterRecord, Copper), 1),
    text(AT(MonsterRecord, DescA), 69),
    hidden(AT(MonsterRecord, Hidden241), 2),
    text(AT(MonsterRecord, DescB), 69),
    hidden(AT(MonsterRecord, Hidden312), 2),
    text(AT(MonsterRecord, DescC), 69),
    hidden(AT(MonsterRecord, Hidden383), 2),
    text(AT(MonsterRecord, DescD), 69),
    hidden(AT(MonsterRecord, Hidden454), 2),
    coded(AT(MonsterRecord, Gender), 1, records::monsterGenderTable),
    hidden(AT(MonsterRecord, Hidden457), 1),
    hidden(AT(MonsterRecord, Hidden458), 2),
    number(AT(MonsterRecord, GreetText), 2),
    hidden(AT(MonsterRecord, Hidden462), 2),
    number(AT(MonsterRecord, EnslaveLvl), 2),
    hidden(AT(MonsterRecord, Hidden466), 2),
    number(AT(MonsterRecord, DescText), 2),
    hidden(AT(MonsterRecord, Hidden470), 2),
    coded(AT(MonsterRecord, AttackType), 1, records::monsterAttackTypeTable, 5),
    hidden(AT(MonsterRecord, Hidden477), 1),
    number(AT(MonsterRecord, AttackAccuracy), 1, 5, kBytePairStride),
    hidden("AttackAccuracyHidden", offsetof(MonsterRecord, AttackAccuracy) + offsetof(records::BytePair, Hidden), 1, 5,
           kBytePairStride),
    number(AT(MonsterRecord, AttackPercentage), 1, 5),
    hidden(AT(MonsterRecord, Hidden493), 1),
    number(AT(MonsterRecord, AttackMinHitCastPercentage), 2, 5),
    number(AT(MonsterRecord, AttackMaxHit), 2, 5),
    hidden(AT(MonsterRecord, Hidden514), 2),
    int16Pairs(AT(MonsterRecord, AttackHitMessage), 5),
    int16PairsHidden("AttackHitMessageHidden", offsetof(MonsterRecord, AttackHitMessage), 5),
    int16Pairs(AT(MonsterRecord, AttackDodgeMessage), 5),
    int16PairsHidden("AttackDodgeMessageHidden", offsetof(MonsterRecord, AttackDodgeMessage), 5),
    int16Pairs(AT(MonsterRecord, AttackMissMessage), 5),
    int16PairsHidden("AttackMissMessageHidden", offsetof(MonsterRecord, AttackMissMessage), 5),
    number(AT(MonsterRecord, AttackEnergyUsed), 2, 5),
    hidden(AT(MonsterRecord, Hidden586), 2),
    number(AT(MonsterRecord, TalkText), 2),
    hidden(AT(MonsterRecord, Hidden590), 2, 3),
    number(AT(MonsterRecord, AttackHitSpell), 2, 5),
    number(AT(MonsterRecord, DeathSpell), 2),
    hidden(AT(MonsterRecord, Hidden608), 2, 7),
    number(AT(MonsterRecord, CreateSpell), 2),
    number(AT(MonsterRecord, SpellCastNumber), 2, 5),
    number(AT(MonsterRecord, SpellCastPercentage), 1, 5),
    number(AT(MonsterRecord, SpellCastLvl), 1, 5),
};

constexpr std::array kItemFields{
    number(AT(ItemRecord, Number), 4),
    text(AT(ItemRecord, Name), 29),
    hidden(AT(ItemRecord, Hidden33), 1),
};

constexpr std::array kMessageFields{
    number(AT(MessageRecord, Number), 2), hidden(AT(MessageRecord, Hidden2), 2),
    text(AT(MessageRecord, Line1), 74),   hidden(AT(MessageRecord, Hidden78), 2, 4),
    text(AT(MessageRecord, Line2), 74),   hidden(AT(MessageRecord, Hidden160), 2, 4),
    text(AT(MessageRecord, Line3), 74),
};

#undef AT

const records::TarrowDataFields& fieldLists() {
    static const records::TarrowDataFields lists = records::BuildFieldLists();
    return lists;
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

const RecordLayout& recordLayout(records::TableId table) {
    using abilities::AbilityKind;
    using records::TableId;
    const auto& l = fieldLists();
    static const std::array<RecordLayout, 6> kLayouts{{
        {TableId::Races, l.RaceFields, sizeof(RaceRecord), AbilityKind::Race, kRaceFields},
        {TableId::Classes, l.ClassFields, sizeof(ClassRecord), AbilityKind::Class, kClassFields},
        {TableId::Spells, l.SpellFields, sizeof(SpellRecord), AbilityKind::Spell, kSpellFields},
        {TableId::Monsters, l.MonsterFields, sizeof(MonsterRecord), AbilityKind::Monster, kMonsterFields},
        {TableId::Items, l.ItemFields, sizeof(ItemRecord), std::nullopt, kItemFields},
        {TableId::Messages, l.MessageFields, sizeof(MessageRecord), std::nullopt, kMessageFields},
    }};
    return kLayouts[static_cast<std::size_t>(table)];
}

std::optional<records::TableId> tableOfFile(std::string_view fileName, std::uint32_t recordLength) {
    const std::string base = std::filesystem::path(fileName).filename().string();
    for (const records::TableFile& file : records::kTableFiles)
        if (file.recordLength == recordLength && sameNameIgnoringCase(base, file.fileName)) return file.id;
    return std::nullopt;
}

}  // namespace gamedata::detail
