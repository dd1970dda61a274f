#include "abilities/ability_table.h"

#include <array>

namespace abilities {
namespace {

// Names of codes 0 to 179 shared by every kind; empty rows are named per kind below.
constexpr std::array<std::string_view, kAbilityRows> kCommonNames{
    "None",
    "Damage (No AC)",
    "AC",
    "Rcol",
    "Max Damage",
    "Rfir",
    "Enslave",
    "DR",
    "Drain",
    "Shadow",
    "AC (Blur)",
    "Alter Energy Level",
    "Summon",
    "Illu",
    "RoomIllu",
    "Alter hunger",
    "Alter thirst",
    "Damage (on armour)",
    "Heal",
    "Poison",
    "Cure Poison",
    "ImmuPoison",
    "Accuracy",
    "Affects Undead",
    "Prgd",
    "Prev",
    "Detect Magic",
    "Stealth",
    "Magical",
    "Punch",
    "Kick",
    "Bash",
    "Smash",
    "Killblow",
    "Dodge",
    "JumpKick",
    "M.R.",
    "Picklocks",
    "Tracking",
    "Thievery",
    "FindTraps",
    "DisarmTraps",
    "LearnSp",
    "CastsSp",
    "Intel",
    "Wisdom",
    "Strength",
    "Health",
    "Agility",
    "Charm",
    "Quest",
    "AntiMagic",
    "Evil in Combat",
    "Blinding Light",
    "Illu",
    "Alter General Light Duration",
    "",  // 56: depends on the kind
    "See Hidden",
    "Crits",
    "ClassOK",
    "Fear",
    "AffectExit",
    "Alter Evil Chance",
    "Alter Experience",
    "Add CP",
    "Resist Stone",
    "Rlit",
    "Quickness",
    "Slowness",
    "MaxMana",
    "S.C.",
    "Confusion",
    "DamageShield",
    "Dispell Magic",
    "Hold Person",
    "Paralyze",
    "Mute",
    "Percep",
    "Animal",
    "MageBind",
    "Affects Animals",
    "Freedom",
    "Cursed",
    "CURSED",
    "Rcrs",
    "Shatter",
    "Quality",
    "Speed",
    "Alter HP",
    "PunchAvg",
    "KickAvg",
    "JumpKAvg",
    "PunchDmg",
    "KickDmg",
    "JumpKDmg",
    "Slay",
    "Encum",
    "Good",
    "Evil",
    "Alter DR by percent",
    "LoyalItem",
    "ConfuseMsg",
    "",  // 102: depends on the kind
    "ClassStealth",
    "Defense Modifier",
    "Accuracy (2)",
    "Accuracy (3)",
    "Blind user",
    "AffectsLiving",
    "NonLiving",
    "NotGood",
    "NotEvil",
    "Neutral",
    "NotNeutral",
    "%Spell",
    "DescMsg",
    "BS Accu",
    "Bs MinDmg",
    "Bs MaxDmg",
    "Del@Maint",
    "StartMsg",
    "",  // 121: depends on the kind
    "Removes Spell",
    "HP Regen",
    "Negate Ability",
    "Quest type one",
    "Quest type two",
    "Quest type three",
    "Quest type four",
    "Quest type five",
    "Quest type six",
    "Quest type seven",
    "Quest type eight",
    "Quest type nine",
    "Quest type ten",
    "MinLevel",
    "MaxLevel",
    "Shock",
    "RoomVisible",
    "SpellImmu",
    "Teleport room",
    "Teleport map",
    "HitMagic",
    "Clear Item",
    "NonMagical Spell",
    "ManaRgn",
    "MonsGuards",
    "ResistWater",
    "TextBlock",
    "Remove@Maint",
    "HealMana",
    "EndCast",
    "Rune",
    "KillSpell",
    "Visible@Maint",
    "DeathText",
    "QuestItem",
    "ScatterItems",
    "ReqToHit",
    "Kai Bind",
    "GiveTempSpell",
    "OpenDoor",
    "Lore",
    "SpellComponent",
    "CastOnEnd%",
    "AlterSpDmg",
    "AlterSpLength",
    "UnEquipItem",
    "EquipItem",
    "CannotWearLocation",
    "Sleep",
    "Invisibility",
    "SeeInvisible",
    "Scry",
    "StealMana",
    "StealHPtoMP",
    "StealMPtoHP",
    "SpellColours",
    "Shadowform",
    "Unknown",
};

struct KindRow {
    int code;
    std::array<std::string_view, 4> names;  // race, class, spell, monster
};

constexpr std::array<KindRow, 3> kKindRows{{
    {56, {"racerecharge Item", "Classrecharge Item", "Spellrecharge Item", "Monsterrecharge Item"}},
    {102, {"RaceStealth", "ClassStealth", "SpellStealth", "MonsterStealth"}},
    {121, {"racerecharge", "Classrecharge", "Spellrecharge", "Monsterrecharge"}},
}};

constexpr std::array<records::CodeWord, kAbilityRows> rowsOf(AbilityKind kind) {
    std::array<records::CodeWord, kAbilityRows> rows{};
    for (int code = 0; code < kAbilityRows; ++code) rows[code] = {static_cast<std::int16_t>(code), kCommonNames[code]};
    for (const KindRow& row : kKindRows) rows[row.code].word = row.names[static_cast<std::size_t>(kind)];
    return rows;
}

constexpr auto kRaceRows = rowsOf(AbilityKind::Race);
constexpr auto kClassRows = rowsOf(AbilityKind::Class);
constexpr auto kSpellRows = rowsOf(AbilityKind::Spell);
constexpr auto kMonsterRows = rowsOf(AbilityKind::Monster);

}  // namespace

const records::CodeTable& abilityTable(AbilityKind kind) {
    // Row 179, "Unknown", names every code from 179 up.
    static const records::CodeTable race{kRaceRows, kUnknownCode};
    static const records::CodeTable klass{kClassRows, kUnknownCode};
    static const records::CodeTable spell{kSpellRows, kUnknownCode};
    static const records::CodeTable monster{kMonsterRows, kUnknownCode};
    switch (kind) {
        case AbilityKind::Race:
            return race;
        case AbilityKind::Class:
            return klass;
        case AbilityKind::Spell:
            return spell;
        case AbilityKind::Monster:
            break;
    }
    return monster;
}

}  // namespace abilities
