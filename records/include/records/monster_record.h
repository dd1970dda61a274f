// A monster record of "wccknms2.dat": 696 bytes; MonsterFields describes the first 644.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/record_description.h"
#include "records/word_tables.h"

namespace records {

// A shown 16-bit field followed by one that is carried but not shown.
struct Int16Pair {
    std::int16_t Value;
    std::int16_t Hidden;
};

// A shown byte followed by one that is carried but not shown.
struct BytePair {
    std::uint8_t Value;
    std::uint8_t Hidden;
};

// Members follow the row in order; HiddenNN fields are carried, never shown (NN = row offset).
// Per-letter fields are arrays of five, element 0 for A up to element 4 for E.
// Bytes 644 to 695 live only in the packed row.
struct MonsterRecord {
    std::int32_t Number;
    char Name[29];
    std::uint8_t Hidden33;
    std::int16_t Group;
    std::int16_t Hidden36;
    std::int16_t Index;
    std::int16_t Hidden40[2];
    std::int16_t Weapon;
    std::int16_t Hidden46;
    std::int16_t AC1;
    std::int16_t AC2;
    std::int16_t Hidden52;
    std::int16_t Follow;
    std::int16_t MR;
    std::int16_t Hidden58;
    std::int16_t Exp;
    std::int16_t HP;
    std::int16_t Energy;
    std::int16_t HPRegen;
    std::int16_t AbilityCode[5];
    std::int16_t AbilityValue[5];
    std::int16_t Limit;
    std::int16_t Hidden90;
    std::int16_t Type;
    std::uint8_t Hidden94;
    std::uint8_t Undead;
    std::int16_t Alignment;
    std::int16_t Hidden98;
    std::int16_t Regen;
    std::int16_t Hidden102[3];
    std::int16_t MoveMessage;
    std::int16_t Hidden110;
    std::int16_t DeathMessage;
    std::int16_t Hidden114;
    Int16Pair DropItem[5];
    std::int16_t DropUses[5];
    std::uint8_t DropPercentage[5];
    std::uint8_t Hidden151;
    Int16Pair Runic;
    Int16Pair Platinum;
    Int16Pair Gold;
    Int16Pair Silver;
    Int16Pair Copper;
    char DescA[69];
    std::int16_t Hidden241;
    char DescB[69];
    std::int16_t Hidden312;
    char DescC[69];
    std::int16_t Hidden383;
    char DescD[69];
    std::int16_t Hidden454;
    std::uint8_t Gender;
    std::uint8_t Hidden457;
    std::int16_t Hidden458;
    std::int16_t GreetText;
    std::int16_t Hidden462;
    std::int16_t EnslaveLvl;
    std::int16_t Hidden466;
    std::int16_t DescText;
    std::int16_t Hidden470;
    std::uint8_t AttackType[5];
    std::uint8_t Hidden477;
    BytePair AttackAccuracy[5];
    std::uint8_t AttackPercentage[5];
    std::uint8_t Hidden493;
    std::int16_t AttackMinHitCastPercentage[5];
    std::int16_t AttackMaxHit[5];
    std::int16_t Hidden514;
    Int16Pair AttackHitMessage[5];
    Int16Pair AttackDodgeMessage[5];
    Int16Pair AttackMissMessage[5];
    std::int16_t AttackEnergyUsed[5];
    std::int16_t Hidden586;
    std::int16_t TalkText;
    std::int16_t Hidden590[3];
    std::int16_t AttackHitSpell[5];
    std::int16_t DeathSpell;
    std::int16_t Hidden608[7];
    std::int16_t CreateSpell;
    std::int16_t SpellCastNumber[5];
    std::uint8_t SpellCastPercentage[5];
    std::uint8_t SpellCastLvl[5];
};

// Every box is shown only, sized and limited to the widest text of its field. A row of
// five boxes (one per letter A to E) goes down the rows of a table, or across the
// attack pages.
#define AT(member) RECORD_FIELD(MonsterRecord, member)
namespace monster {
using namespace description;
constexpr int kLetters = 5;  // A to E
// The pages of the Monsters tab that its boxes stand on: above the inner tabs, then
// the inner tabs' pages, one page per attack.
enum Page : int { Top, Normal, DescriptionItems, FirstAttack, SpellsMessages = FirstAttack + kLetters };
constexpr int kShort = 6;  // "-32768"
constexpr int kByte = 3;   // "255"
constexpr Box box(std::string_view name, std::string_view caption, Page page, int group, int row, int column = 1,
                  int typingLimit = kShort) {
    return {.name = name,
            .caption = caption,
            .page = page,
            .group = group,
            .row = row,
            .column = column,
            .typingLimit = typingLimit,
            .reading = Reading::ShowOnly,
            .labelled = column == 1};
}
// A column of a table of five rows under its header row.
constexpr Box tableColumn(std::string_view prefix, std::string_view caption, Page page, int column,
                          int typingLimit = kShort) {
    Box b = box(prefix, caption, page, 2, 1, column, typingLimit);
    b.group = page == DescriptionItems ? 2 : 0;
    b.labelled = false;
    b.lettered = true;
    return b;
}
// A row of the attack pages, letter k on page FirstAttack + k.
constexpr Box attackRow(std::string_view prefix, std::string_view caption, int group, int row,
                        int typingLimit = kShort) {
    Box b = box(prefix, caption, FirstAttack, group, row, 1, typingLimit);
    b.lettered = true;
    b.along = Along::Pages;
    return b;
}
constexpr Box word(std::string_view name, std::string_view caption, int row) {
    return {
        .name = name, .caption = caption, .page = Normal, .row = row, .reading = Reading::ShowOnly, .labelled = true};
}
constexpr std::size_t kPair = sizeof(Int16Pair);
constexpr std::size_t kPairHidden = offsetof(Int16Pair, Hidden);
}  // namespace monster

inline constexpr std::array kMonsterDescription{
    monster::number(AT(Number), 4, description::numberBox("txtMonsterNumber", 3, Reading::ShowOnly, 11)),
    monster::text(AT(Name), 29, description::nameBox("txtMonsterName", Reading::ShowOnly)),
    monster::hidden(AT(Hidden33), 1),
    monster::number(AT(Group), 2, monster::box("txtMonsterGroup", "Group", monster::Top, 0, 1)),
    monster::hidden(AT(Hidden36), 2),
    monster::number(AT(Index), 2, monster::box("txtMonsterIndex", "Index", monster::Top, 0, 2)),
    monster::hidden(AT(Hidden40), 2, 2),
    monster::withNameBox(
        monster::naming(
            monster::number(AT(Weapon), 2, monster::box("txtMonsterWeapon", "Weapon", monster::Normal, 1, 3)),
            TableId::Items),
        "txtMonsterWeaponName"),
    monster::hidden(AT(Hidden46), 2),
    monster::number(AT(AC1), 2, monster::box("txtMonsterAC1", "AC", monster::Normal, 0, 8)),
    monster::number(AT(AC2), 2, monster::box("txtMonsterAC2", "AC", monster::Normal, 0, 8, 2)),
    monster::hidden(AT(Hidden52), 2),
    monster::number(AT(Follow), 2, monster::box("txtMonsterFollow", "Follow %", monster::Normal, 0, 5)),
    monster::number(AT(MR), 2, monster::box("txtMonsterMR", "MR", monster::Normal, 1, 0)),
    monster::hidden(AT(Hidden58), 2),
    monster::number(AT(Exp), 2, monster::box("txtMonsterExp", "Exp", monster::Normal, 0, 0)),
    monster::number(AT(HP), 2, monster::box("txtMonsterHP", "HP", monster::Normal, 0, 1)),
    monster::number(AT(Energy), 2, monster::box("txtMonsterEnergy", "Energy", monster::Normal, 1, 2)),
    monster::number(AT(HPRegen), 2, monster::box("txtMonsterHPRegen", "HP Regen", monster::Normal, 1, 4)),
    monster::abilityCodes(offsetof(MonsterRecord, AbilityCode), 5,
                          {.name = "txtMonsterabila", .page = monster::Normal, .group = 2, .column = 0}),
    monster::abilityValues(offsetof(MonsterRecord, AbilityValue), 5,
                           {.name = "txtMonsterabilb",
                            .page = monster::Normal,
                            .group = 2,
                            .typingLimit = monster::kByte,
                            .reading = Reading::ShowOnly}),
    monster::number(AT(Limit), 2, monster::box("txtMonsterLimit", "Limit", monster::Normal, 0, 7)),
    monster::hidden(AT(Hidden90), 2),
    monster::coded(AT(Type), 2, monsterTypeTable, monster::word("txtMonsterType", "Type", 2)),
    monster::hidden(AT(Hidden94), 1),
    monster::coded(AT(Undead), 1, monsterUndeadTable, monster::word("txtMonsterUndead", "Undead", 4)),
    monster::coded(AT(Alignment), 2, monsterAlignmentTable, monster::word("txtMonsterAlignment", "Alignment", 3)),
    monster::hidden(AT(Hidden98), 2),
    monster::number(AT(Regen), 2, monster::box("txtMonsterRegen", "Regen", monster::Normal, 1, 1)),
    monster::hidden(AT(Hidden102), 2, 3),
    monster::naming(
        monster::number(AT(MoveMessage), 2,
                        monster::box("txtMonsterMoveMessage", "Move Message", monster::SpellsMessages, 1, 4)),
        TableId::Messages),
    monster::hidden(AT(Hidden110), 2),
    monster::naming(
        monster::number(AT(DeathMessage), 2,
                        monster::box("txtMonsterDeathMessage", "Death Message", monster::SpellsMessages, 1, 3)),
        TableId::Messages),
    monster::hidden(AT(Hidden114), 2),
    monster::withNameBox(monster::naming(monster::numbers(AT(DropItem), 2, 5, monster::kPair,
                                                          monster::tableColumn("txtMonsterDropItemNumber", "#",
                                                                               monster::DescriptionItems, 0)),
                                         TableId::Items),
                         "txtMonsterDropItemName"),
    monster::hidden("DropItemHidden", offsetof(MonsterRecord, DropItem) + monster::kPairHidden, 2, 5, monster::kPair),
    monster::numbers(AT(DropUses), 2, 5, 0,
                     monster::tableColumn("txtMonsterDropUses", "Uses", monster::DescriptionItems, 3)),
    monster::numbers(
        AT(DropPercentage), 1, 5, 0,
        monster::tableColumn("txtMonsterDropPercentage", "%", monster::DescriptionItems, 2, monster::kByte)),
    monster::hidden(AT(Hidden151), 1),
    monster::number(AT(Runic), 2, monster::box("txtMonsterRunic", "Runic", monster::DescriptionItems, 1, 0)),
    monster::hidden("RunicHidden", offsetof(MonsterRecord, Runic) + monster::kPairHidden, 2),
    monster::number(AT(Platinum), 2, monster::box("txtMonsterPlatinum", "Platinum", monster::DescriptionItems, 1, 1)),
    monster::hidden("PlatinumHidden", offsetof(MonsterRecord, Platinum) + monster::kPairHidden, 2),
    monster::number(AT(Gold), 2, monster::box("txtMonsterGold", "Gold", monster::DescriptionItems, 1, 2)),
    monster::hidden("GoldHidden", offsetof(MonsterRecord, Gold) + monster::kPairHidden, 2),
    monster::number(AT(Silver), 2, monster::box("txtMonsterSilver", "Silver", monster::DescriptionItems, 1, 3)),
    monster::hidden("SilverHidden", offsetof(MonsterRecord, Silver) + monster::kPairHidden, 2),
    monster::number(AT(Copper), 2, monster::box("txtMonsterCopper", "Copper", monster::DescriptionItems, 1, 4)),
    monster::hidden("CopperHidden", offsetof(MonsterRecord, Copper) + monster::kPairHidden, 2),
    monster::text(AT(DescA), 69,
                  {.name = "txtMonsterDescA",
                   .caption = "Desc",
                   .page = monster::DescriptionItems,
                   .row = 0,
                   .typingLimit = 69,
                   .reading = Reading::ShowOnly,
                   .labelled = true,
                   .wide = true}),
    monster::hidden(AT(Hidden241), 2),
    monster::text(AT(DescB), 69,
                  {.name = "txtMonsterDescB",
                   .caption = "Desc",
                   .page = monster::DescriptionItems,
                   .row = 1,
                   .typingLimit = 69,
                   .reading = Reading::ShowOnly,
                   .wide = true}),
    monster::hidden(AT(Hidden312), 2),
    monster::text(AT(DescC), 69,
                  {.name = "txtMonsterDescC",
                   .caption = "Desc",
                   .page = monster::DescriptionItems,
                   .row = 2,
                   .typingLimit = 69,
                   .reading = Reading::ShowOnly,
                   .wide = true}),
    monster::hidden(AT(Hidden383), 2),
    monster::text(AT(DescD), 69,
                  {.name = "txtMonsterDescD",
                   .caption = "Desc",
                   .page = monster::DescriptionItems,
                   .row = 3,
                   .typingLimit = 69,
                   .reading = Reading::ShowOnly,
                   .wide = true}),
    monster::hidden(AT(Hidden454), 2),
    monster::coded(AT(Gender), 1, monsterGenderTable, monster::word("txtMonsterGender", "Gender", 6)),
    monster::hidden(AT(Hidden457), 1),
    monster::hidden(AT(Hidden458), 2),
    monster::number(AT(GreetText), 2, monster::box("txtMonsterGreetText", "Greet Text", monster::SpellsMessages, 1, 0)),
    monster::hidden(AT(Hidden462), 2),
    monster::number(AT(EnslaveLvl), 2, monster::box("txtMonsterEnslaveLvl", "Enslave Lvl", monster::Normal, 1, 5)),
    monster::hidden(AT(Hidden466), 2),
    monster::number(AT(DescText), 2, monster::box("txtMonsterDescText", "Desc Text", monster::SpellsMessages, 1, 1)),
    monster::hidden(AT(Hidden470), 2),
    monster::coded(AT(AttackType), 1, monsterAttackTypeTable, monster::attackRow("txtMonsterAttackType", "Type", 0, 0),
                   5),
    monster::hidden(AT(Hidden477), 1),
    // An attack of type Spell (2) names a spell in its accuracy.
    monster::naming(
        monster::numbers(AT(AttackAccuracy), 1, 5, sizeof(BytePair),
                         monster::attackRow("txtMonsterAttackAccuracy", "Accuracy/Spell", 0, 1, monster::kByte)),
        TableId::Spells, "AttackType", 2),
    monster::hidden("AttackAccuracyHidden", offsetof(MonsterRecord, AttackAccuracy) + offsetof(BytePair, Hidden), 1, 5,
                    sizeof(BytePair)),
    monster::numbers(AT(AttackPercentage), 1, 5, 0,
                     monster::attackRow("txtMonsterAttackPercentage", "Attack %", 0, 4, monster::kByte)),
    monster::hidden(AT(Hidden493), 1),
    monster::numbers(AT(AttackMinHitCastPercentage), 2, 5, 0,
                     monster::attackRow("txtMonsterAttackMinHitCastPercentage", "Min Hit/Cast %", 0, 2)),
    monster::numbers(AT(AttackMaxHit), 2, 5, 0, monster::attackRow("txtMonsterAttackMaxHit", "Max Hit/Cast Lvl", 0, 3)),
    monster::hidden(AT(Hidden514), 2),
    monster::naming(monster::numbers(AT(AttackHitMessage), 2, 5, monster::kPair,
                                     monster::attackRow("txtMonsterAttackHitMessage", "Hit Message", 1, 0)),
                    TableId::Messages),
    monster::hidden("AttackHitMessageHidden", offsetof(MonsterRecord, AttackHitMessage) + monster::kPairHidden, 2, 5,
                    monster::kPair),
    monster::naming(monster::numbers(AT(AttackDodgeMessage), 2, 5, monster::kPair,
                                     monster::attackRow("txtMonsterAttackDodgeMessage", "Dodge Message", 1, 2)),
                    TableId::Messages),
    monster::hidden("AttackDodgeMessageHidden", offsetof(MonsterRecord, AttackDodgeMessage) + monster::kPairHidden, 2,
                    5, monster::kPair),
    monster::naming(monster::numbers(AT(AttackMissMessage), 2, 5, monster::kPair,
                                     monster::attackRow("txtMonsterAttackMissMessage", "Miss Message", 1, 1)),
                    TableId::Messages),
    monster::hidden("AttackMissMessageHidden", offsetof(MonsterRecord, AttackMissMessage) + monster::kPairHidden, 2, 5,
                    monster::kPair),
    monster::numbers(AT(AttackEnergyUsed), 2, 5, 0,
                     monster::attackRow("txtMonsterAttackEnergyUsed", "Energy Used", 0, 5)),
    monster::hidden(AT(Hidden586), 2),
    monster::number(AT(TalkText), 2, monster::box("txtMonsterTalkText", "Talk Text", monster::SpellsMessages, 1, 2)),
    monster::hidden(AT(Hidden590), 2, 3),
    monster::naming(monster::numbers(AT(AttackHitSpell), 2, 5, 0,
                                     monster::attackRow("txtMonsterAttackHitSpell", "Hit Spell", 0, 6)),
                    TableId::Spells),
    monster::withNameBox(
        monster::naming(monster::number(AT(DeathSpell), 2,
                                        monster::box("txtMonsterDeathSpell", "Death Spell", monster::Normal, 1, 7)),
                        TableId::Spells),
        "txtMonsterDeathSpellName"),
    monster::hidden(AT(Hidden608), 2, 7),
    monster::withNameBox(
        monster::naming(monster::number(AT(CreateSpell), 2,
                                        monster::box("txtMonsterCreateSpell", "Create Spell", monster::Normal, 1, 6)),
                        TableId::Spells),
        "txtMonsterCreateSpellName"),
    monster::withNameBox(monster::naming(monster::numbers(AT(SpellCastNumber), 2, 5, 0,
                                                          monster::tableColumn("txtMonsterSpellCastNumber", "#",
                                                                               monster::SpellsMessages, 0)),
                                         TableId::Spells),
                         "txtMonsterSpellCastName"),
    monster::numbers(
        AT(SpellCastPercentage), 1, 5, 0,
        monster::tableColumn("txtMonsterSpellCastPercentage", "%", monster::SpellsMessages, 2, monster::kByte)),
    monster::numbers(
        AT(SpellCastLvl), 1, 5, 0,
        monster::tableColumn("txtMonsterSpellCastLvl", "Cast Lvl", monster::SpellsMessages, 3, monster::kByte)),
};
#undef AT

static_assert(tilesStructure<elementCount(kMonsterDescription)>(kMonsterDescription, sizeof(MonsterRecord),
                                                                alignof(MonsterRecord)));
static_assert(boxesDistinct(kMonsterDescription));
static_assert(referencesSound(kMonsterDescription));

}  // namespace records
