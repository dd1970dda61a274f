// A monster record of "wccknms2.dat": 696 bytes; MonsterFields describes the first 644.
#pragma once

#include <cstddef>
#include <cstdint>

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

// Each member at its offset in the structure, natural alignment and all; the layout
// lists and the row conversion rely on exactly this order and these widths.
static_assert(sizeof(MonsterRecord) == 648);
static_assert(offsetof(MonsterRecord, Number) == 0);
static_assert(offsetof(MonsterRecord, Name) == 4);
static_assert(offsetof(MonsterRecord, Hidden33) == 33);
static_assert(offsetof(MonsterRecord, Group) == 34);
static_assert(offsetof(MonsterRecord, Hidden36) == 36);
static_assert(offsetof(MonsterRecord, Index) == 38);
static_assert(offsetof(MonsterRecord, Hidden40) == 40);
static_assert(offsetof(MonsterRecord, Weapon) == 44);
static_assert(offsetof(MonsterRecord, Hidden46) == 46);
static_assert(offsetof(MonsterRecord, AC1) == 48);
static_assert(offsetof(MonsterRecord, AC2) == 50);
static_assert(offsetof(MonsterRecord, Hidden52) == 52);
static_assert(offsetof(MonsterRecord, Follow) == 54);
static_assert(offsetof(MonsterRecord, MR) == 56);
static_assert(offsetof(MonsterRecord, Hidden58) == 58);
static_assert(offsetof(MonsterRecord, Exp) == 60);
static_assert(offsetof(MonsterRecord, HP) == 62);
static_assert(offsetof(MonsterRecord, Energy) == 64);
static_assert(offsetof(MonsterRecord, HPRegen) == 66);
static_assert(offsetof(MonsterRecord, AbilityCode) == 68);
static_assert(offsetof(MonsterRecord, AbilityValue) == 78);
static_assert(offsetof(MonsterRecord, Limit) == 88);
static_assert(offsetof(MonsterRecord, Hidden90) == 90);
static_assert(offsetof(MonsterRecord, Type) == 92);
static_assert(offsetof(MonsterRecord, Hidden94) == 94);
static_assert(offsetof(MonsterRecord, Undead) == 95);
static_assert(offsetof(MonsterRecord, Alignment) == 96);
static_assert(offsetof(MonsterRecord, Hidden98) == 98);
static_assert(offsetof(MonsterRecord, Regen) == 100);
static_assert(offsetof(MonsterRecord, Hidden102) == 102);
static_assert(offsetof(MonsterRecord, MoveMessage) == 108);
static_assert(offsetof(MonsterRecord, Hidden110) == 110);
static_assert(offsetof(MonsterRecord, DeathMessage) == 112);
static_assert(offsetof(MonsterRecord, Hidden114) == 114);
static_assert(offsetof(MonsterRecord, DropItem) == 116);
static_assert(offsetof(MonsterRecord, DropUses) == 136);
static_assert(offsetof(MonsterRecord, DropPercentage) == 146);
static_assert(offsetof(MonsterRecord, Hidden151) == 151);
static_assert(offsetof(MonsterRecord, Runic) == 152);
static_assert(offsetof(MonsterRecord, Platinum) == 156);
static_assert(offsetof(MonsterRecord, Gold) == 160);
static_assert(offsetof(MonsterRecord, Silver) == 164);
static_assert(offsetof(MonsterRecord, Copper) == 168);
static_assert(offsetof(MonsterRecord, DescA) == 172);
static_assert(offsetof(MonsterRecord, Hidden241) == 242);
static_assert(offsetof(MonsterRecord, DescB) == 244);
static_assert(offsetof(MonsterRecord, Hidden312) == 314);
static_assert(offsetof(MonsterRecord, DescC) == 316);
static_assert(offsetof(MonsterRecord, Hidden383) == 386);
static_assert(offsetof(MonsterRecord, DescD) == 388);
static_assert(offsetof(MonsterRecord, Hidden454) == 458);
static_assert(offsetof(MonsterRecord, Gender) == 460);
static_assert(offsetof(MonsterRecord, Hidden457) == 461);
static_assert(offsetof(MonsterRecord, Hidden458) == 462);
static_assert(offsetof(MonsterRecord, GreetText) == 464);
static_assert(offsetof(MonsterRecord, Hidden462) == 466);
static_assert(offsetof(MonsterRecord, EnslaveLvl) == 468);
static_assert(offsetof(MonsterRecord, Hidden466) == 470);
static_assert(offsetof(MonsterRecord, DescText) == 472);
static_assert(offsetof(MonsterRecord, Hidden470) == 474);
static_assert(offsetof(MonsterRecord, AttackType) == 476);
static_assert(offsetof(MonsterRecord, Hidden477) == 481);
static_assert(offsetof(MonsterRecord, AttackAccuracy) == 482);
static_assert(offsetof(MonsterRecord, AttackPercentage) == 492);
static_assert(offsetof(MonsterRecord, Hidden493) == 497);
static_assert(offsetof(MonsterRecord, AttackMinHitCastPercentage) == 498);
static_assert(offsetof(MonsterRecord, AttackMaxHit) == 508);
static_assert(offsetof(MonsterRecord, Hidden514) == 518);
static_assert(offsetof(MonsterRecord, AttackHitMessage) == 520);
static_assert(offsetof(MonsterRecord, AttackDodgeMessage) == 540);
static_assert(offsetof(MonsterRecord, AttackMissMessage) == 560);
static_assert(offsetof(MonsterRecord, AttackEnergyUsed) == 580);
static_assert(offsetof(MonsterRecord, Hidden586) == 590);
static_assert(offsetof(MonsterRecord, TalkText) == 592);
static_assert(offsetof(MonsterRecord, Hidden590) == 594);
static_assert(offsetof(MonsterRecord, AttackHitSpell) == 600);
static_assert(offsetof(MonsterRecord, DeathSpell) == 610);
static_assert(offsetof(MonsterRecord, Hidden608) == 612);
static_assert(offsetof(MonsterRecord, CreateSpell) == 626);
static_assert(offsetof(MonsterRecord, SpellCastNumber) == 628);
static_assert(offsetof(MonsterRecord, SpellCastPercentage) == 638);
static_assert(offsetof(MonsterRecord, SpellCastLvl) == 643);

}  // namespace records
