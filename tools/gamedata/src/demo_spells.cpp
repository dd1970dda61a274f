// The demo world's spells.
#include <string_view>

#include "demo_records.h"
#include "demo_text.h"

namespace gamedata::detail {
namespace {

struct SpellSeed {
    std::string_view name;
    std::string_view shortName;
    std::string_view descA;
    std::string_view descB;
    std::int16_t typeA;  // magic type
    std::int16_t level;
    std::int16_t mana;
    std::int16_t energy;
    std::int16_t min;
    std::int16_t max;
    std::uint8_t levelCap;
    std::uint8_t levelMod;
    std::uint8_t increase;
    std::int16_t style;
    std::int16_t target;
    std::int16_t element;
    std::int16_t length;
    std::int16_t difficulty;
    std::int16_t castMsg;
    std::uint8_t maxRoll;
    std::array<Slot, 10> slots;
};

// Magic types: 1 Mage, 2 Priest, 3 Druid, 4 Bard, 5 Kai. Styles: 0 Auto-Combat,
// 3 Between Round. Elements: 0 Cold ... 6 Poison.
const std::array<SpellSeed, 20> kSpells{{
    {"Frost Needle", "FNEED", "A sliver of ice flies from your fingertip", "and bites deep into a single foe.",
     1, 1, 3, 500, 2, 8, 10, 1, 2, 0, 0, 0, 0, 10, 11, 0, {{{1, 1}}}},
    {"Emberlash", "EMBER", "A whip of living flame cracks across the air", "and leaves a smell of scorched leather.",
     1, 3, 6, 600, 5, 14, 15, 2, 3, 0, 0, 1, 0, 20, 13, 1, {{{1, 1}, {5, -5}}}},
    {"Stoneskin Ward", "SSKIN", "Your skin greys and hardens like river stone,", "turning aside blows for a while.",
     2, 4, 8, 800, 0, 0, 0, 0, 0, 0, 1, 2, 60, 25, 14, 0, {{{2, 4}, {65, 10}}}},
    {"Chain Spark", "CSPRK", "Lightning leaps from foe to foe", "until its strength is spent.",
     1, 8, 14, 900, 6, 18, 30, 3, 4, 0, 3, 3, 0, 35, 15, 0, {{{1, 1}}}},
    {"Mend Wounds", "MEND", "Warm light closes cuts and knits bruised flesh.", "Your own or a friend's.",
     2, 1, 4, 400, 4, 10, 20, 1, 2, 0, 2, 4, 0, 10, 16, 1, {{{18, 1}}}},
    {"Tidecall", "TIDE", "A wall of grey water rolls over every enemy", "and drags them off their feet.",
     3, 12, 20, 1000, 10, 30, 40, 2, 5, 0, 12, 5, 0, 45, 17, 0, {{{1, 1}, {147, -10}}}},
    {"Venom Dart", "VENOM", "A thorn dripping with green venom", "pierces the target's skin.",
     3, 2, 4, 500, 1, 6, 10, 1, 3, 0, 0, 6, 30, 15, 18, 0, {{{19, 5}}}},
    {"Lantern Light", "LIGHT", "A steady golden glow rises from your palm", "and lights the way ahead.",
     2, 1, 2, 300, 0, 0, 0, 0, 0, 3, 1, 4, 120, 5, 19, 0, {{{55, 30}}}},
    {"Veil of Dusk", "VEIL", "Shadows gather around you like a cloak", "and hide you from curious eyes.",
     1, 6, 10, 700, 0, 0, 0, 0, 0, 0, 1, 4, 90, 30, 20, 0, {{{13, 1}, {171, 1}}}},
    {"Grasping Roots", "ROOTS", "Roots burst from the ground and bind", "the legs of the creature you name.",
     3, 7, 12, 800, 0, 0, 0, 0, 0, 0, 0, 2, 3, 40, 21, 0, {{{74, 1}}}},
    // Element 12 has no word in the element table.
    {"Starfall", "STARF", "Burning motes rain from a sky no one else sees", "and sear all who stand against you.",
     1, 20, 40, 1200, 20, 60, 50, 4, 5, 0, 12, 12, 0, 70, 22, 1, {{{1, 1}}}},
    // Style 1 has no word in the style table.
    {"Echo Step", "ECHO", "You step sideways through your own echo", "and stand a few paces away.",
     4, 5, 8, 600, 0, 0, 0, 0, 0, 1, 1, 4, 0, 25, 23, 0, {{{87, 2}}}},
    // Target 200 lies beyond the last target word: "Unknown".
    {"Gloom Mirror", "GLOOM", "A dark mirror hangs in the air and shows", "each foe the thing it fears most.",
     4, 9, 15, 800, 0, 0, 0, 0, 0, 0, 200, 4, 30, 50, 24, 0, {{{60, 3}}}},
    {"Wayfinder's Mark", "MARK", "You scratch a glowing sign on the ground;", "you can always find your way back.",
     3, 10, 12, 500, 0, 0, 0, 0, 0, 3, 15, 4, 0, 30, 25, 0, {{{140, 1}}}},
    // MaxRoll 2: neither ticked nor clear.
    {"Ironbark", "IRONB", "Bark creeps over your armour", "and thickens with every breath you take.",
     3, 6, 9, 700, 0, 0, 0, 0, 0, 0, 1, 2, 60, 25, 26, 2, {{{2, 3}, {7, 2}}}},
    {"Quickening", "QUICK", "Your heart races and the world slows around you.", "Each blow lands twice as fast.",
     4, 11, 16, 900, 0, 0, 0, 0, 0, 3, 13, 4, 45, 40, 27, 0, {{{67, 2}}}},
    {"Mana Tithe", "TITHE", "You take a tithe of power from your foe", "and keep it for yourself.",
     1, 14, 5, 800, 3, 9, 30, 1, 3, 0, 0, 4, 0, 45, 28, 1, {{{174, 5}}}},
    {"Bone Chill", "BONE", "A cold that only the dead can feel", "creeps into the marrow of the undead.",
     2, 5, 8, 600, 4, 16, 20, 2, 4, 0, 8, 0, 0, 20, 29, 0, {{{23, 1}, {1, 1}}}},
    {"Ægis Sunder", "SUNDR", "A ringing blow that cracks shields", "and leaves armour hanging in pieces.",
     1, 16, 18, 900, 0, 0, 0, 0, 0, 0, 4, 4, 0, 55, 30, 0, {{{85, 1}, {2, -4}}}},
    {"Kai Focus", "FOCUS", "You still your breath and gather your kai;", "mana returns to you as you rest.",
     5, 3, 0, 400, 0, 0, 0, 0, 0, 3, 1, 4, 300, 15, 31, 0, {{{159, 1}, {145, 2}}}},
}};

}  // namespace

std::vector<records::SpellRecord> worldSpells() {
    std::vector<records::SpellRecord> spells;
    for (const SpellSeed& seed : kSpells) {
        records::SpellRecord s{};
        s.Number = static_cast<std::int16_t>(spells.size() + 1);
        putText(s.Name, seed.name);
        putBlankFilled(s.ShortName, seed.shortName);
        putText(s.DescA, seed.descA);
        putText(s.DescB, seed.descB);
        s.TypeA = seed.typeA;
        s.TypeB = static_cast<std::int16_t>(seed.level / 5);
        s.Level = seed.level;
        s.Mana = seed.mana;
        s.Energy = seed.energy;
        s.Min = seed.min;
        s.Max = seed.max;
        s.LevelCap = seed.levelCap;
        s.LevelMod = seed.levelMod;
        s.Increase = seed.increase;
        s.Style = seed.style;
        s.Target = seed.target;
        s.Element = seed.element;
        s.Length = seed.length;
        s.Difficulty = seed.difficulty;
        s.CastMsg = seed.castMsg;
        s.MaxRoll = seed.maxRoll;
        putSlots(s.AbilityCode, s.AbilityValue, seed.slots);
        spells.push_back(s);
    }
    return spells;
}

}  // namespace gamedata::detail
