// A monster record of "wccknms2.dat": 696 bytes; MonsterFields describes the first 644.
#pragma once

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

}  // namespace records
