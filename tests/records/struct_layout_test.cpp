// Each record structure agrees with its layout list, member by member. Where the
// fields land in a row is checked against the game's offsets by the editors' tests.
#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>
#include <vector>

#include "records/class_record.h"
#include "records/item_record.h"
#include "records/message_record.h"
#include "records/monster_record.h"
#include "records/race_record.h"
#include "records/row_conversion.h"
#include "records/spell_record.h"
#include "records/tables.h"
#include "records/tarrow_data_fields.h"

namespace records {
namespace {

const TarrowDataFields& lists() {
    static const TarrowDataFields built = BuildFieldLists();
    return built;
}

// One structure member as the compiler lays it out: a text is one field, an
// array or a pair array is one field per element.
struct Member {
    std::size_t offset;
    std::size_t size;
    std::size_t fields;
    std::int32_t type;
};

template <class M>
Member memberOf(std::size_t offset) {
    using E = std::remove_all_extents_t<M>;
    if constexpr (std::is_same_v<E, char>)
        return {offset, sizeof(M), 1, TextField};
    else if constexpr (std::is_same_v<E, Int16Pair>)
        return {offset, sizeof(M), sizeof(M) / 2, IntegerField};
    else if constexpr (std::is_same_v<E, BytePair> || std::is_same_v<E, std::uint8_t>)
        return {offset, sizeof(M), sizeof(M), ByteField};
    else
        return {offset, sizeof(M), sizeof(M) / sizeof(E), IntegerField};
}

#define MEMBER(R, f) memberOf<decltype(R::f)>(offsetof(R, f))

std::vector<Member> raceMembers() {
#define M(f) MEMBER(RaceRecord, f)
    return {M(Number),      M(Name),       M(Hidden31),     M(MinIntellect), M(MinWillpower), M(MinStrength),
            M(MinHealth),   M(MinAgility), M(MinCharm),     M(HPBonus),      M(Hidden46),     M(Hidden48),
            M(AbilityCode), M(CP),         M(AbilityValue), M(Hidden92),     M(Hidden94),     M(Hidden96),
            M(ExpChart),    M(Hidden100),  M(MaxIntellect), M(MaxWillpower), M(MaxStrength),  M(MaxHealth),
            M(MaxAgility),  M(MaxCharm),   M(Hidden114)};
#undef M
}

std::vector<Member> classMembers() {
#define M(f) MEMBER(ClassRecord, f)
    return {M(Number),   M(Name),         M(Hidden31),    M(MinHP),     M(HPRange),    M(Exp),    M(Hidden38),
            M(Hidden40), M(Hidden42),     M(AbilityCode), M(MagicType), M(MagicLevel), M(Weapon), M(Armour),
            M(Combat),   M(AbilityValue), M(Hidden94),    M(Hidden96),  M(Hidden98),   M(Title)};
#undef M
}

std::vector<Member> spellMembers() {
#define M(f) MEMBER(SpellRecord, f)
    return {M(Number),    M(Name),      M(Hidden31),  M(DescA),     M(Hidden82),  M(DescB),        M(Hidden133),
            M(Hidden134), M(LevelCap),  M(Hidden163), M(Hidden164), M(Hidden166), M(AbilityValue), M(Energy),
            M(Level),     M(Min),       M(Max),       M(Style),     M(Hidden198), M(Difficulty),   M(Hidden202),
            M(Target),    M(Length),    M(Element),   M(Hidden210), M(Hidden212), M(TypeA),        M(AbilityCode),
            M(CastMsg),   M(Hidden238), M(Mana),      M(LevelMod),  M(Increase),  M(TypeB),        M(MaxRoll),
            M(Hidden247), M(Hidden248), M(Hidden249), M(ShortName)};
#undef M
}

std::vector<Member> monsterMembers() {
#define M(f) MEMBER(MonsterRecord, f)
    return {M(Number),
            M(Name),
            M(Hidden33),
            M(Group),
            M(Hidden36),
            M(Index),
            M(Hidden40),
            M(Weapon),
            M(Hidden46),
            M(AC1),
            M(AC2),
            M(Hidden52),
            M(Follow),
            M(MR),
            M(Hidden58),
            M(Exp),
            M(HP),
            M(Energy),
            M(HPRegen),
            M(AbilityCode),
            M(AbilityValue),
            M(Limit),
            M(Hidden90),
            M(Type),
            M(Hidden94),
            M(Undead),
            M(Alignment),
            M(Hidden98),
            M(Regen),
            M(Hidden102),
            M(MoveMessage),
            M(Hidden110),
            M(DeathMessage),
            M(Hidden114),
            M(DropItem),
            M(DropUses),
            M(DropPercentage),
            M(Hidden151),
            M(Runic),
            M(Platinum),
            M(Gold),
            M(Silver),
            M(Copper),
            M(DescA),
            M(Hidden241),
            M(DescB),
            M(Hidden312),
            M(DescC),
            M(Hidden383),
            M(DescD),
            M(Hidden454),
            M(Gender),
            M(Hidden457),
            M(Hidden458),
            M(GreetText),
            M(Hidden462),
            M(EnslaveLvl),
            M(Hidden466),
            M(DescText),
            M(Hidden470),
            M(AttackType),
            M(Hidden477),
            M(AttackAccuracy),
            M(AttackPercentage),
            M(Hidden493),
            M(AttackMinHitCastPercentage),
            M(AttackMaxHit),
            M(Hidden514),
            M(AttackHitMessage),
            M(AttackDodgeMessage),
            M(AttackMissMessage),
            M(AttackEnergyUsed),
            M(Hidden586),
            M(TalkText),
            M(Hidden590),
            M(AttackHitSpell),
            M(DeathSpell),
            M(Hidden608),
            M(CreateSpell),
            M(SpellCastNumber),
            M(SpellCastPercentage),
            M(SpellCastLvl)};
#undef M
}

std::vector<Member> itemMembers() {
    return {MEMBER(ItemRecord, Number), MEMBER(ItemRecord, Name), MEMBER(ItemRecord, Hidden33)};
}

std::vector<Member> messageMembers() {
#define M(f) MEMBER(MessageRecord, f)
    return {M(Number), M(Hidden2), M(Line1), M(Hidden78), M(Line2), M(Hidden160), M(Line3)};
#undef M
}

struct StructCase {
    const char* name;
    std::span<const LayoutEntry> list;
    std::vector<Member> members;
    std::size_t structSize;
    std::size_t packedLength;
};

TEST(StructLayout, EveryMemberSitsWhereItsEntrySaysInListOrder) {
    const TarrowDataFields& l = lists();
    const std::vector<StructCase> cases{
        {"races", l.RaceFields, raceMembers(), sizeof(RaceRecord), 126},
        {"classes", l.ClassFields, classMembers(), sizeof(ClassRecord), 102},
        {"spells", l.SpellFields, spellMembers(), sizeof(SpellRecord), 256},
        {"monsters", l.MonsterFields, monsterMembers(), sizeof(MonsterRecord), 644},
        {"items", l.ItemFields, itemMembers(), sizeof(ItemRecord), 34},
        {"messages", l.MessageFields, messageMembers(), sizeof(MessageRecord), 242},
    };
    for (const StructCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t entry = 0;
        std::size_t packed = 0;
        for (const Member& m : c.members) {
            const std::size_t width = m.size / m.fields;
            for (std::size_t k = 0; k < m.fields; ++k, ++entry) {
                SCOPED_TRACE(testing::Message() << "entry " << entry << " at structure offset " << m.offset);
                ASSERT_LT(entry, c.list.size());
                EXPECT_EQ(c.list[entry].Type, m.type);
                EXPECT_EQ(static_cast<std::size_t>(c.list[entry].Length), width);
                EXPECT_EQ(StructOffset(c.list, entry), m.offset + k * width);
                packed += width;
            }
        }
        EXPECT_EQ(PackedLength(c.list.first(entry)), PackedLength(c.list)) << "entries left without a member";
        EXPECT_EQ(packed, c.packedLength);
        EXPECT_LE(c.members.back().offset + c.members.back().size, c.structSize);
    }
}

}  // namespace
}  // namespace records
