// The demo world's items and messages.
#include <limits>
#include <string>
#include <string_view>

#include "demo_records.h"
#include "demo_text.h"

namespace gamedata::detail {
namespace {

struct ItemSeed {
    std::int32_t number;
    std::string_view name;
};

const std::array<ItemSeed, 27> kItems{{
    // Item numbers are 32 bits wide: the smallest comes first in key order.
    {std::numeric_limits<std::int32_t>::min(), "The First Coin"},
    {1, "Ashwood Staff"},
    {2, "Rusted Shortsword"},
    {3, "Lanternglass Shard"},
    {4, "Fenwight Reed Pipe"},
    {5, "Bog Iron Mace"},
    {6, "Padded Gambeson"},
    {7, "Stonekin Hammer"},
    {8, "Coil of Hemp Rope"},
    {9, "Brass Compass"},
    {10, "Thornwood Bow"},
    {11, "Quiver of Ash Arrows"},
    {12, "Healer's Satchel"},
    {13, "Tarnished Silver Ring"},
    {14, "Wraithglass Lantern"},
    {15, "Cloak of Dusk"},
    {16, "Kettle of Ünder Brew"},
    {17, "Boar Tusk Charm"},
    {18, "Scalemail Hauberk"},
    {19, "Rune-etched Platemail"},
    {20, "Vial of Marsh Light"},
    {21, "Ferryman's Copper Coin"},
    {22, "Golem Heartstone"},
    {23, "Mire Witch's Ladle"},
    {24, "Crown of the Hollow Sovereign"},  // 29 characters, no zero byte
    // Beyond the 16-bit range, and the largest number.
    {70000, "Map of the Outer Fens"},
    {2147483647, "The Last Coin"},
}};

using Lines = std::array<std::string_view, 3>;

struct MessageSeed {
    std::int16_t number;
    Lines lines;
};

// Messages 1 to 10: moving and dying; 35 to 42: greetings, talk and descriptions.
const std::array<MessageSeed, 19> kMessages{{
    {1,
     {"You step into the reeds; the mud sucks at your boots.", "Somewhere ahead, a frog falls silent.",
      "The path north is barely a path at all."}},
    {2,
     {"Something slithers away through the water.", "The reeds sway, then are still.",
      "You are not sure which way it went."}},
    {3, {"A shape pads softly past the edge of the light.", "You hear claws on stone.", "Then nothing at all."}},
    {4,
     {"Heavy footsteps shake the boards beneath you.", "Dust sifts down from the rafters.",
      "Whatever it is, it is big."}},
    {5,
     {"A cold draught drifts by, though no door has opened.", "The candle flames bend and gutter.",
      "Your breath mists in the air."}},
    {6, {"It falls into the mud with a wet crash.", "The water closes over it.", "Bubbles rise, then stop."}},
    {7,
     {"It crumples to the ground and lies still.", "The marsh grows quiet again.", "Somewhere far off, a bird calls."}},
    {8,
     {"It lets out a last hollow cry and fades away.", "A chill lingers where it stood.", "Then the warmth returns."}},
    {9,
     {"It shatters into a heap of stone and rust.", "The pieces rock, then settle.", "A thin hiss of steam escapes."}},
    {10,
     {"It dissolves into ash and drifting sparks.", "The smell of smoke hangs in the air.",
      "The last ember winks out."}},
    {35,
     {"\"Well met, traveller,\" it says, bowing low.", "\"Few come this far into the fens.\"",
      "\"Fewer still go home.\""}},
    {36,
     {"It looks you up and down and snorts.", "\"You'll want a better sword than that.\"",
      "It turns back to its work."}},
    {37,
     {"\"The ferry costs a copper coin, no more, no less.\"", "\"Pay, or swim. The water is cold.\"",
      "\"And the things in it are hungry.\""}},
    {38,
     {"It hums a low tune and pays you no mind.", "Now and then it glances your way.",
      "Then it hums a little louder."}},
    {39,
     {"The air here smells of wet earth and old smoke.", "Moss hangs from every branch.",
      "The light is green and dim."}},
    {40,
     {"░░ The mist parts for a moment ░░", "and you glimpse the drowned tower of Vörn,",
      "its bell still hanging crooked in the belfry."}},
    {41,
     {"Old runes are scratched into the doorframe.", "Most are worn past reading.",
      "One, freshly cut, reads: TURN BACK."}},
    {42, {"The floor is littered with gnawed bones.", "Some are old. Some are not.", "You step carefully."}},
    {32767,
     {"Here the chronicle of the fens ends.", "What lies beyond is for another tale.", "Close the book gently."}},
}};

// Messages 11 to 34: for each attack verb, the hit, the dodge and the miss.
struct AttackVerb {
    std::string_view weapon;  // "claws"
    std::string_view hit;     // what the weapon does on a hit
    bool plural;
};

constexpr std::array<AttackVerb, 8> kVerbs{{
    {"claws", "rake across your arm", true},
    {"teeth", "sink into your leg", true},
    {"fist", "slams into your chest", false},
    {"stinger", "stabs into your shoulder", false},
    {"blade", "slashes across your side", false},
    {"weight", "crushes you against the ground", false},
    {"tendrils", "lash across your face", true},
    {"horns", "gore you in the ribs", true},
}};

std::vector<records::MessageRecord> attackMessages() {
    std::vector<records::MessageRecord> messages;
    std::int16_t number = 11;
    for (const AttackVerb& verb : kVerbs) {
        const std::string weapon(verb.weapon);
        const std::array<std::array<std::string, 3>, 3> outcomes{{
            {"Its " + weapon + " " + std::string(verb.hit) + "!", "You take @ points of damage.",
             "You stagger but stay on your feet."},
            {"You twist aside from its " + weapon + ".", "You feel the wind of it on your cheek.",
             "It snarls in frustration."},
            {"Its " + weapon + (verb.plural ? " whistle" : " whistles") + " past you.", "You hear the air hiss.",
             "It gathers itself again."},
        }};
        for (const auto& lines : outcomes) {
            records::MessageRecord m{};
            m.Number = number++;
            putText(m.Line1, lines[0]);
            putText(m.Line2, lines[1]);
            putText(m.Line3, lines[2]);
            messages.push_back(m);
        }
    }
    return messages;
}

}  // namespace

std::vector<records::ItemRecord> worldItems() {
    std::vector<records::ItemRecord> items;
    for (const ItemSeed& seed : kItems) {
        records::ItemRecord item{};
        item.Number = seed.number;
        putText(item.Name, seed.name);
        items.push_back(item);
    }
    return items;
}

std::vector<records::MessageRecord> worldMessages() {
    std::vector<records::MessageRecord> messages;
    for (const MessageSeed& seed : kMessages) {
        records::MessageRecord m{};
        m.Number = seed.number;
        putText(m.Line1, seed.lines[0]);
        putText(m.Line2, seed.lines[1]);
        putText(m.Line3, seed.lines[2]);
        messages.push_back(m);
    }
    // The attack messages fill the numbers 11 to 34, between the two handwritten runs.
    const auto attacks = attackMessages();
    messages.insert(messages.begin() + 10, attacks.begin(), attacks.end());
    return messages;
}

}  // namespace gamedata::detail
