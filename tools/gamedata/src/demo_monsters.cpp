// The demo world's monsters.
#include <algorithm>
#include <string_view>

#include "demo_records.h"
#include "demo_text.h"

namespace gamedata::detail {
namespace {

// Attack kinds: 0 None, 1 Attack, 2 Spell (accuracy then holds the spell number).
struct AttackSeed {
    std::uint8_t type = 0;
    std::uint8_t accuracy = 0;
    std::uint8_t percentage = 0;
    std::int16_t minHit = 0;
    std::int16_t maxHit = 0;
    std::int16_t verb = 0;  // which of the eight attack verbs of the message table
};

struct DropSeed {
    std::int16_t item = 0;
    std::int16_t uses = 0;
    std::uint8_t percentage = 0;
};

struct CastSeed {
    std::int16_t spell = 0;
    std::uint8_t percentage = 0;
    std::uint8_t level = 0;
};

// Type: 0 Solo, 1 Leader, 2 Follower, 3 Stationary. Gender: 0 It, 1 He, 2 She.
// Alignment: 0 Good, 1 Evil, 2 Chaotic Evil, 3 Neutral, 4 Lawful Good, 5 Neutral Evil, 6 Lawful Evil.
struct MonsterSeed {
    std::string_view name;
    std::array<std::string_view, 4> desc;
    std::int16_t level;
    std::int16_t type;
    std::uint8_t undead;
    std::uint8_t gender;
    std::int16_t alignment;
    std::int16_t weapon;  // an item number
    std::array<Slot, 5> slots;
    std::array<AttackSeed, 5> attacks;
    std::array<DropSeed, 5> drops;
    std::array<CastSeed, 5> casts;
};

const std::array<MonsterSeed, 16> kMonsters{{
    {"Marsh Lurker",
     {"A long, flat shape lies half-sunk in the brown water.", "Two pale eyes blink slowly above the surface,",
      "and a wide mouth full of needle teeth hangs open.", "It smells of rot and standing water."},
     3,
     0,
     0,
     0,
     3,
     0,
     {{{34, 5}}},
     {{{1, 60, 80, 2, 6, 1}, {1, 50, 20, 3, 9, 2}}},
     {{{8, 1, 30}}},
     {}},
    {"Gloomhound",
     {"A lean grey hound with a coat like wet ash.", "Its breath steams in the cold air and its ribs show",
      "through the hide. It watches you without blinking,", "and the rest of the pack waits for its signal."},
     5,
     1,
     0,
     1,
     1,
     0,
     {{{38, 20}, {57, 1}}},
     {{{1, 65, 70, 3, 8, 1}, {1, 55, 30, 4, 10, 0}}},
     {{{17, 1, 15}}},
     {}},
    {"Gloomhound Whelp",
     {"A half-grown gloomhound, all legs and teeth.", "It yips and circles, keeping close to the leader",
      "and darting in whenever your back is turned.", "Its coat is still more grey fluff than ash."},
     2,
     2,
     0,
     0,
     1,
     0,
     {},
     {{{1, 50, 100, 1, 4, 1}}},
     {},
     {}},
    {"Stone Sentinel",
     {"A figure of weathered granite stands at the crossing.", "Moss grows in the cracks of its shoulders and a",
      "carved spear rests in its fist. When you come near,", "its head grinds round to follow you."},
     10,
     3,
     0,
     0,
     4,
     7,
     {{{65, 50}, {2, 10}}},
     {{{1, 70, 100, 8, 20, 5}}},
     {{{7, 1, 40}}},
     {}},
    {"Bog Wraith",
     {"A thin shape of mist and marsh-light drifts over the reeds.",
      "Where a face should be there is only a hollow glow,", "and the air around it is cold enough to sting.",
      "Whispers follow it, though no mouth moves."},
     9,
     0,
     1,
     0,
     2,
     0,
     {{{23, 1}, {8, 4}, {13, 1}}},
     {{{1, 60, 60, 5, 12, 6}, {2, 18, 40, 0, 0, 0}}},
     {{{14, 1, 20}}},
     {{{18, 30, 9}}}},
    {"Lantern Moth",
     {"A moth as wide as your hand, its wings dusted with light.", "It flutters from lamp to lamp and leaves a faint",
      "glowing powder on everything it touches.", "It seems curious rather than dangerous."},
     1,
     0,
     0,
     0,
     3,
     0,
     {{{53, 1}}},
     {{{1, 40, 100, 1, 2, 3}}},
     {{{20, 1, 50}}},
     {}},
    {"Thornback Boar",
     {"A great black boar with a ridge of thorns along its spine.",
      "Its tusks are yellow and chipped from digging roots,", "and it snorts and paws the mud as you approach.",
      "A broken arrow shaft still hangs from its flank."},
     7,
     0,
     0,
     1,
     3,
     0,
     {{{31, 5}}},
     {{{1, 60, 70, 4, 14, 7}, {1, 55, 30, 6, 16, 5}}},
     {{{17, 1, 60}, {11, 10, 20}}},
     {}},
    {"Cinder Imp",
     {"A small red creature with coal-black eyes and smoking skin.",
      "It cackles and flicks sparks from its fingertips,", "setting the dry reeds smouldering where they land.",
      "It never stays in one place for long."},
     6,
     0,
     0,
     0,
     5,
     0,
     {{{5, 50}, {67, 1}}},
     {{{1, 55, 50, 2, 7, 0}, {2, 2, 50, 0, 0, 0}}},
     {{{20, 2, 25}}},
     {{{2, 40, 6}}}},
    {"Drowned Bellringer",
     {"A bloated figure in a sexton's coat, dripping river water.", "A green bell hangs from its belt, and every step",
      "makes it toll once, dull and cracked.", "The sound makes your teeth ache."},
     11,
     0,
     1,
     1,
     6,
     5,
     {{{60, 2}, {23, 1}}},
     {{{1, 60, 60, 6, 15, 2}, {2, 18, 40, 0, 0, 0}}},
     {{{21, 3, 35}, {13, 1, 10}}},
     {{{18, 35, 11}}}},
    {"Mire Witch",
     {"An old woman in a shawl of woven reeds stirs a black pot.", "Her fingers are stained green to the wrist, and a",
      "necklace of frog bones clicks when she turns.", "She hums a tune you almost recognise."},
     12,
     1,
     0,
     2,
     1,
     23,
     {{{19, 5}, {20, 1}, {26, 1}}},
     {{{1, 45, 30, 2, 6, 6}, {2, 7, 70, 0, 0, 0}}},
     {{{23, 1, 80}, {12, 3, 40}, {16, 2, 25}}},
     {{{7, 40, 12}, {10, 30, 12}, {9, 20, 12}}}},
    // The extremes of the 16-bit fields and the highest drop percentage.
    {"Hollow Sovereign",
     {"A crowned skeleton sits on a throne of drowned timber.", "Its robes have rotted to threads, yet the crown",
      "still shines, and the empty sockets hold two coals.", "When it speaks, the whole hall speaks with it."},
     25,
     3,
     1,
     1,
     6,
     19,
     {{{36, 50}, {23, 1}, {178, 1}, {13, 2}, {54, 3}}},
     {{{1, 80, 40, 20, 60, 5}, {2, 11, 30, 0, 0, 0}, {2, 4, 30, 0, 0, 0}}},
     {{{24, 1, 255}, {19, 1, 50}, {22, 1, 25}}},
     {{{11, 30, 25}, {4, 30, 25}, {17, 40, 25}}}},
    // Type 7 has no word; the last attack carries attack type 3, which has none either.
    {"Rust Golem",
     {"A hulking figure of riveted iron plates, red with rust.", "Steam leaks from its joints and its fists are",
      "hammers the size of anvils. Flakes of rust drift", "down with every ponderous step."},
     14,
     7,
     0,
     0,
     3,
     0,
     {{{65, 30}, {85, 1}}},
     {{{1, 60, 60, 10, 25, 5}, {1, 50, 20, 8, 20, 2}, {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {3, 40, 20, 5, 10, 2}}},
     {{{22, 1, 100}}},
     {}},
    // Alignment -1 has no word.
    {"Whispering Shade",
     {"A patch of darkness that does not move with the light.", "It speaks in your own voice, repeating words you",
      "said long ago, and laughs softly when you flinch.", "Nothing you carry seems to touch it."},
     13,
     0,
     1,
     0,
     -1,
     0,
     {{{171, 1}, {9, 10}, {13, 1}}},
     {{{2, 9, 50, 0, 0, 0}, {1, 60, 50, 6, 14, 6}}},
     {{{15, 1, 20}}},
     {{{9, 50, 13}, {13, 30, 13}}}},
    {"Ferryman of Vörn",
     {"A tall, stooped man poles a flat boat through the mist.", "His lantern burns blue and his face stays in shadow.",
      "He holds out a hand, palm up, and waits.", "He has all the time in the world."},
     8,
     3,
     0,
     1,
     0,
     1,
     {{{2, 5}}},
     {{{1, 55, 100, 3, 8, 2}}},
     {{{21, 1, 100}}},
     {}},
    {"Brackenhob Raider",
     {"A short, wiry hob in a cloak of bracken and stolen buttons.", "He grins with too many teeth and juggles a knife",
      "from hand to hand while his friends creep closer.", "His pockets bulge with other people's things."},
     4,
     1,
     0,
     1,
     1,
     2,
     {{{27, 10}, {39, 10}}},
     {{{1, 60, 100, 2, 6, 4}}},
     {{{13, 1, 30}, {8, 1, 20}, {9, 1, 5}}},
     {}},
    {"Grove Warden Stag",
     {"A white stag with antlers like a crown of branches.", "Small birds nest among the tines, and flowers",
      "open where its hooves touch the ground.", "It regards you gravely, as a judge would."},
     15,
     0,
     0,
     1,
     4,
     0,
     {{{18, 10}, {80, 1}, {12, 1}}},
     {{{1, 70, 60, 8, 18, 7}, {2, 10, 40, 0, 0, 0}}},
     {},
     {{{5, 50, 15}, {10, 30, 15}}}},
}};

constexpr std::int16_t kFirstHitMessage = 11;  // messages 11 to 34: eight verbs, hit, dodge, miss

}  // namespace

std::vector<records::MonsterRecord> worldMonsters() {
    std::vector<records::MonsterRecord> monsters;
    for (const MonsterSeed& seed : kMonsters) {
        records::MonsterRecord m{};
        const auto level = seed.level;
        m.Number = static_cast<std::int32_t>(monsters.size() + 1);
        putText(m.Name, seed.name);
        putText(m.DescA, seed.desc[0]);
        putText(m.DescB, seed.desc[1]);
        putText(m.DescC, seed.desc[2]);
        putText(m.DescD, seed.desc[3]);
        m.Group = static_cast<std::int16_t>(level / 5 + 1);
        m.Index = static_cast<std::int16_t>(m.Number);
        m.Weapon = seed.weapon;
        m.AC1 = static_cast<std::int16_t>(level * 2);
        m.AC2 = static_cast<std::int16_t>(level);
        m.Follow = static_cast<std::int16_t>(seed.type == 2 ? 75 : 0);
        m.MR = static_cast<std::int16_t>(40 + level * 3);
        m.Exp = static_cast<std::int16_t>(level * level * 12);
        m.HP = static_cast<std::int16_t>(10 + level * 12);
        m.Energy = 1000;
        m.HPRegen = static_cast<std::int16_t>(level / 3);
        putSlots(m.AbilityCode, m.AbilityValue, seed.slots);
        m.Limit = static_cast<std::int16_t>(seed.type == 3 ? 1 : 5);
        m.Type = seed.type;
        m.Undead = seed.undead;
        m.Alignment = seed.alignment;
        m.Regen = static_cast<std::int16_t>(30 - std::min<int>(level, 20));
        m.MoveMessage = static_cast<std::int16_t>(2 + m.Number % 4);
        m.DeathMessage = static_cast<std::int16_t>(6 + m.Number % 5);
        for (std::size_t i = 0; i < 5; ++i) {
            m.DropItem[i].Value = seed.drops[i].item;
            m.DropUses[i] = seed.drops[i].uses;
            m.DropPercentage[i] = seed.drops[i].percentage;
        }
        m.Runic.Value = static_cast<std::int16_t>(level >= 20 ? 1 : 0);
        m.Platinum.Value = static_cast<std::int16_t>(level / 10);
        m.Gold.Value = static_cast<std::int16_t>(level * 2);
        m.Silver.Value = static_cast<std::int16_t>(level * 7 % 50);
        m.Copper.Value = static_cast<std::int16_t>(level * 13 % 100);
        m.Gender = seed.gender;
        m.GreetText = static_cast<std::int16_t>(35 + m.Number % 4);
        m.EnslaveLvl = static_cast<std::int16_t>(level + 5);
        m.DescText = static_cast<std::int16_t>(39 + m.Number % 4);
        m.TalkText = static_cast<std::int16_t>(seed.gender != 0 ? 37 : 0);
        for (std::size_t i = 0; i < 5; ++i) {
            const AttackSeed& a = seed.attacks[i];
            m.AttackType[i] = a.type;
            m.AttackAccuracy[i].Value = a.accuracy;
            m.AttackPercentage[i] = a.percentage;
            m.AttackMinHitCastPercentage[i] = a.minHit;
            m.AttackMaxHit[i] = a.maxHit;
            const bool strikes = a.type != 0;
            const auto firstOfVerb = static_cast<std::int16_t>(kFirstHitMessage + 3 * a.verb);
            m.AttackHitMessage[i].Value = strikes ? firstOfVerb : std::int16_t{0};
            m.AttackDodgeMessage[i].Value = strikes ? static_cast<std::int16_t>(firstOfVerb + 1) : std::int16_t{0};
            m.AttackMissMessage[i].Value = strikes ? static_cast<std::int16_t>(firstOfVerb + 2) : std::int16_t{0};
            m.AttackEnergyUsed[i] = static_cast<std::int16_t>(strikes ? 250 + 50 * static_cast<int>(i) : 0);
            m.AttackHitSpell[i] = static_cast<std::int16_t>(a.type == 2 ? a.accuracy : 0);
            m.SpellCastNumber[i] = seed.casts[i].spell;
            m.SpellCastPercentage[i] = seed.casts[i].percentage;
            m.SpellCastLvl[i] = seed.casts[i].level;
        }
        m.DeathSpell = static_cast<std::int16_t>(seed.undead != 0 ? 18 : 0);
        m.CreateSpell = static_cast<std::int16_t>(seed.type == 1 ? 8 : 0);
        monsters.push_back(m);
    }
    // The Hollow Sovereign: the smallest and the largest 16-bit value in shown fields.
    records::MonsterRecord& sovereign = monsters[10];
    sovereign.AC2 = -32768;
    sovereign.Exp = 32767;
    // Broken references, for the world check and the name boxes: the Gloomhound
    // Whelp drops an item, the Rust Golem casts a spell and the Lantern Moth dies with
    // a message that do not exist.
    monsters[2].DropItem[0] = {30000, monsters[2].DropItem[0].Hidden};
    monsters[2].DropUses[0] = 1;
    monsters[2].DropPercentage[0] = 5;
    monsters[11].SpellCastNumber[1] = 42;
    monsters[11].SpellCastPercentage[1] = 10;
    monsters[11].SpellCastLvl[1] = 3;
    monsters[5].DeathMessage = 99;
    return monsters;
}

}  // namespace gamedata::detail
