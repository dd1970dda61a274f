// The Monsters tab. Monsters are shown only. Most of the tab's boxes come
// in rows of five, one per letter A to E; those are generated from one descriptor per
// row. Codes without a word show "Unknown".
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>
#include <array>
#include <cstddef>

#include "ability_slots.h"
#include "coded_boxes.h"
#include "editor_factories.h"
#include "field_boxes.h"
#include "line_box.h"
#include "record_editor.h"
#include "records/monster_record.h"
#include "records/word_tables.h"
#include "tab_layout.h"

namespace editors {
namespace {

using records::Int16Pair;
using records::MonsterRecord;

constexpr int kLetters = 5;
constexpr std::array<char, kLetters> kLetter{'A', 'B', 'C', 'D', 'E'};

// A box showing one field of the record.
struct Single {
    const char* name;
    const char* caption;
    std::size_t offset;
    FieldKind kind = FieldKind::Int16;
};

// A row of five boxes, name + letter, element k of the field lying at offset + k * stride.
struct LetterSeries {
    const char* prefix;
    const char* caption;
    std::size_t offset;
    std::size_t stride;
    FieldKind kind;
};

constexpr std::size_t kPair = sizeof(Int16Pair);

constexpr std::array<Single, 26> kSingles{{
    {"txtMonsterGroup", "Group", offsetof(MonsterRecord, Group)},
    {"txtMonsterIndex", "Index", offsetof(MonsterRecord, Index)},
    {"txtMonsterExp", "Exp", offsetof(MonsterRecord, Exp)},
    {"txtMonsterHP", "HP", offsetof(MonsterRecord, HP)},
    {"txtMonsterFollow", "Follow %", offsetof(MonsterRecord, Follow)},
    {"txtMonsterLimit", "Limit", offsetof(MonsterRecord, Limit)},
    {"txtMonsterAC1", "AC", offsetof(MonsterRecord, AC1)},
    {"txtMonsterAC2", "AC", offsetof(MonsterRecord, AC2)},
    {"txtMonsterMR", "MR", offsetof(MonsterRecord, MR)},
    {"txtMonsterRegen", "Regen", offsetof(MonsterRecord, Regen)},
    {"txtMonsterEnergy", "Energy", offsetof(MonsterRecord, Energy)},
    {"txtMonsterWeapon", "Weapon", offsetof(MonsterRecord, Weapon)},
    {"txtMonsterHPRegen", "HP Regen", offsetof(MonsterRecord, HPRegen)},
    {"txtMonsterEnslaveLvl", "Enslave Lvl", offsetof(MonsterRecord, EnslaveLvl)},
    {"txtMonsterCreateSpell", "Create Spell", offsetof(MonsterRecord, CreateSpell)},
    {"txtMonsterDeathSpell", "Death Spell", offsetof(MonsterRecord, DeathSpell)},
    {"txtMonsterRunic", "Runic", offsetof(MonsterRecord, Runic)},
    {"txtMonsterPlatinum", "Platinum", offsetof(MonsterRecord, Platinum)},
    {"txtMonsterGold", "Gold", offsetof(MonsterRecord, Gold)},
    {"txtMonsterSilver", "Silver", offsetof(MonsterRecord, Silver)},
    {"txtMonsterCopper", "Copper", offsetof(MonsterRecord, Copper)},
    {"txtMonsterGreetText", "Greet Text", offsetof(MonsterRecord, GreetText)},
    {"txtMonsterDescText", "Desc Text", offsetof(MonsterRecord, DescText)},
    {"txtMonsterTalkText", "Talk Text", offsetof(MonsterRecord, TalkText)},
    {"txtMonsterDeathMessage", "Death Message", offsetof(MonsterRecord, DeathMessage)},
    {"txtMonsterMoveMessage", "Move Message", offsetof(MonsterRecord, MoveMessage)},
}};

constexpr std::array<Single, 4> kDescriptions{{
    {"txtMonsterDescA", "Desc", offsetof(MonsterRecord, DescA), FieldKind::Text},
    {"txtMonsterDescB", "Desc", offsetof(MonsterRecord, DescB), FieldKind::Text},
    {"txtMonsterDescC", "Desc", offsetof(MonsterRecord, DescC), FieldKind::Text},
    {"txtMonsterDescD", "Desc", offsetof(MonsterRecord, DescD), FieldKind::Text},
}};

// The columns of the "Drops" table after "#" and "Name".
constexpr std::array<LetterSeries, 3> kDrops{{
    {"txtMonsterDropItemNumber", "#", offsetof(MonsterRecord, DropItem), kPair, FieldKind::Int16},
    {"txtMonsterDropPercentage", "%", offsetof(MonsterRecord, DropPercentage), 1, FieldKind::Byte},
    {"txtMonsterDropUses", "Uses", offsetof(MonsterRecord, DropUses), 2, FieldKind::Int16},
}};

// The rows of an attack tab after "Type", then the three of its "Messages" frame.
constexpr std::array<LetterSeries, 6> kAttacks{{
    {"txtMonsterAttackAccuracy", "Accuracy/Spell", offsetof(MonsterRecord, AttackAccuracy), 2, FieldKind::Byte},
    {"txtMonsterAttackMinHitCastPercentage", "Min Hit/Cast %", offsetof(MonsterRecord, AttackMinHitCastPercentage), 2,
     FieldKind::Int16},
    {"txtMonsterAttackMaxHit", "Max Hit/Cast Lvl", offsetof(MonsterRecord, AttackMaxHit), 2, FieldKind::Int16},
    {"txtMonsterAttackPercentage", "Attack %", offsetof(MonsterRecord, AttackPercentage), 1, FieldKind::Byte},
    {"txtMonsterAttackEnergyUsed", "Energy Used", offsetof(MonsterRecord, AttackEnergyUsed), 2, FieldKind::Int16},
    {"txtMonsterAttackHitSpell", "Hit Spell", offsetof(MonsterRecord, AttackHitSpell), 2, FieldKind::Int16},
}};
constexpr std::array<LetterSeries, 3> kAttackMessages{{
    {"txtMonsterAttackHitMessage", "Hit Message", offsetof(MonsterRecord, AttackHitMessage), kPair, FieldKind::Int16},
    {"txtMonsterAttackMissMessage", "Miss Message", offsetof(MonsterRecord, AttackMissMessage), kPair,
     FieldKind::Int16},
    {"txtMonsterAttackDodgeMessage", "Dodge Message", offsetof(MonsterRecord, AttackDodgeMessage), kPair,
     FieldKind::Int16},
}};

// The columns of the "Spells Cast" table after "#" and "Name".
constexpr std::array<LetterSeries, 3> kCasts{{
    {"txtMonsterSpellCastNumber", "#", offsetof(MonsterRecord, SpellCastNumber), 2, FieldKind::Int16},
    {"txtMonsterSpellCastPercentage", "%", offsetof(MonsterRecord, SpellCastPercentage), 1, FieldKind::Byte},
    {"txtMonsterSpellCastLvl", "Cast Lvl", offsetof(MonsterRecord, SpellCastLvl), 1, FieldKind::Byte},
}};

QString lettered(const char* prefix, int k) { return QString::fromLatin1(prefix) + QLatin1Char(kLetter[k]); }

// The boxes are sized, and typing limited, to the widest text of their field.
int widest(FieldKind kind) {
    switch (kind) {
        case FieldKind::Int16:
            return 6;
        case FieldKind::Int32:
            return 11;
        case FieldKind::Byte:
            return 3;
        case FieldKind::Text:
            break;
    }
    return 69;
}

BoxField shown(const QString& name, const QString& caption, std::size_t offset, FieldKind kind) {
    BoxField field{.name = name,
                   .caption = caption,
                   .offset = offset,
                   .kind = kind,
                   .typingLimit = widest(kind),
                   .reading = Reading::ShowOnly};
    if (kind == FieldKind::Text) field.width = widest(kind);
    return field;
}

template <std::size_t N>
void addSeries(std::vector<BoxField>& fields, const std::array<LetterSeries, N>& series) {
    for (const LetterSeries& s : series)
        for (int k = 0; k < kLetters; ++k)
            fields.push_back(
                shown(lettered(s.prefix, k), QString::fromLatin1(s.caption), s.offset + k * s.stride, s.kind));
}

std::vector<BoxField> monsterFields() {
    std::vector<BoxField> fields;
    fields.push_back(shown("txtMonsterNumber", "Number", offsetof(MonsterRecord, Number), FieldKind::Int32));
    fields.back().readOnly = true;
    fields.push_back({.name = "txtMonsterName",
                      .caption = "Name",
                      .offset = offsetof(MonsterRecord, Name),
                      .kind = FieldKind::Text,
                      .width = 29,
                      .typingLimit = 29,
                      .reading = Reading::ShowOnly});
    for (const Single& s : kSingles) fields.push_back(shown(s.name, s.caption, s.offset, s.kind));
    for (const Single& s : kDescriptions) fields.push_back(shown(s.name, s.caption, s.offset, s.kind));
    addSeries(fields, kDrops);
    addSeries(fields, kAttacks);
    addSeries(fields, kAttackMessages);
    addSeries(fields, kCasts);
    for (BoxField& f : abilityValueFields("txtMonsterabilb", offsetof(MonsterRecord, AbilityValue), 5, 3)) {
        f.reading = Reading::ShowOnly;
        fields.push_back(std::move(f));
    }
    return fields;
}

std::vector<CodedField> monsterWords() {
    std::vector<CodedField> words{
        {"txtMonsterType", records::monsterTypeTable(), offsetof(MonsterRecord, Type), FieldKind::Int16},
        {"txtMonsterAlignment", records::monsterAlignmentTable(), offsetof(MonsterRecord, Alignment), FieldKind::Int16},
        {"txtMonsterUndead", records::monsterUndeadTable(), offsetof(MonsterRecord, Undead), FieldKind::Byte},
        {"txtMonsterGender", records::monsterGenderTable(), offsetof(MonsterRecord, Gender), FieldKind::Byte},
    };
    for (int k = 0; k < kLetters; ++k)
        words.push_back({lettered("txtMonsterAttackType", k), records::monsterAttackTypeTable(),
                         offsetof(MonsterRecord, AttackType) + static_cast<std::size_t>(k), FieldKind::Byte});
    return words;
}

// A read-only box beside a number that nothing fills.
QLineEdit* nameBox(QWidget& page, const QString& name) { return makeLineBox(page, name, 0, true); }

class MonsterEditor final : public RecordEditor<MonsterRecord> {
public:
    MonsterEditor(QWidget& page, EditorContext context)
        : RecordEditor(context, context.lists.MonsterFields, {"Monster"}),
          boxes_(page, monsterFields()),
          words_(page, monsterWords(), Wordless::Unknown),
          abilities_(makeAbilityBoxes(page, abilities::AbilityKind::Monster, "txtMonsterabila", 5)) {
        layOut(page);
    }

    bool editable() const override { return false; }

private:
    void showTab() override {
        boxes_.show(record_);
        words_.show(record_);
        GetMonsterAbilA(abilities_, record_);
    }

    QLineEdit* box(const char* name) const { return &boxes_.box(name); }

    // A row captioned by the box's own caption.
    void addBoxRow(QGridLayout& grid, QWidget& page, int row, const char* name,
                   std::initializer_list<QWidget*> more = {}) {
        grid.addWidget(makeLabel(page, boxes_.caption(name), box(name)), row, 0);
        grid.addWidget(box(name), row, 1);
        int column = 2;
        for (QWidget* w : more) grid.addWidget(w, row, column++);
    }

    void layOut(QWidget& page) {
        auto* top = new QGridLayout;
        addWideRow(*top, page, 0, "Name", box("txtMonsterName"));
        addRow(*top, page, 1, "Group", {box("txtMonsterGroup")});
        addRow(*top, page, 2, "Index", {box("txtMonsterIndex")});
        addRow(*top, page, 3, {}, {box("txtMonsterNumber")});
        top->setColumnStretch(2, 1);

        auto* tabs = new QTabWidget(&page);
        tabs->setObjectName("SSTab2");
        tabs->addTab(normalPage(*tabs), "Normal");
        tabs->addTab(descriptionPage(*tabs), "Description/Items");
        tabs->addTab(attacksPage(*tabs), "Attacks");
        tabs->addTab(spellsPage(*tabs), "Spells/Messages");
        tabs->setCurrentIndex(0);

        auto* column = new QVBoxLayout(&page);
        column->addLayout(top);
        column->addWidget(tabs, 1);
    }

    QWidget* normalPage(QWidget& parent) {
        auto* page = new QWidget(&parent);
        auto* left = new QGridLayout;
        int row = 0;
        addBoxRow(*left, *page, row++, "txtMonsterExp");
        addBoxRow(*left, *page, row++, "txtMonsterHP");
        for (const auto& [caption, name] : {std::pair{"Type", "txtMonsterType"},
                                            {"Alignment", "txtMonsterAlignment"},
                                            {"Undead", "txtMonsterUndead"}})
            addRow(*left, *page, row++, caption, {&words_.box(name)});
        addBoxRow(*left, *page, row++, "txtMonsterFollow");
        addRow(*left, *page, row++, "Gender", {&words_.box("txtMonsterGender")});
        addBoxRow(*left, *page, row++, "txtMonsterLimit");
        addBoxRow(*left, *page, row++, "txtMonsterAC1", {box("txtMonsterAC2")});
        left->setRowStretch(row, 1);

        auto* right = new QGridLayout;
        row = 0;
        for (const char* name : {"txtMonsterMR", "txtMonsterRegen", "txtMonsterEnergy"})
            addBoxRow(*right, *page, row++, name);
        addBoxRow(*right, *page, row++, "txtMonsterWeapon", {nameBox(*page, "txtMonsterWeaponName")});
        addBoxRow(*right, *page, row++, "txtMonsterHPRegen");
        addBoxRow(*right, *page, row++, "txtMonsterEnslaveLvl");
        addBoxRow(*right, *page, row++, "txtMonsterCreateSpell", {nameBox(*page, "txtMonsterCreateSpellName")});
        addBoxRow(*right, *page, row++, "txtMonsterDeathSpell", {nameBox(*page, "txtMonsterDeathSpellName")});
        right->setRowStretch(row, 1);

        auto* columns = new QHBoxLayout(page);
        columns->addLayout(left);
        columns->addLayout(right);
        columns->addStretch(1);
        columns->addLayout(abilityColumn(abilities_, boxes_.array("txtMonsterabilb", 5)));
        return page;
    }

    // A table of five rows under a captioned frame: "#", "Name", then the other columns.
    template <std::size_t N>
    QGroupBox* letterTable(QWidget& page, const QString& title, const std::array<LetterSeries, N>& columns,
                           const char* namePrefix) {
        auto* frame = new QGroupBox(title, &page);
        auto* grid = new QGridLayout(frame);
        grid->addWidget(makeLabel(*frame, columns[0].caption), 0, 0);
        grid->addWidget(makeLabel(*frame, "Name"), 0, 1);
        for (std::size_t c = 1; c < N; ++c)
            grid->addWidget(makeLabel(*frame, columns[c].caption), 0, static_cast<int>(c) + 1);
        for (int k = 0; k < kLetters; ++k) {
            grid->addWidget(&boxes_.box(lettered(columns[0].prefix, k)), k + 1, 0);
            grid->addWidget(nameBox(*frame, lettered(namePrefix, k)), k + 1, 1);
            for (std::size_t c = 1; c < N; ++c)
                grid->addWidget(&boxes_.box(lettered(columns[c].prefix, k)), k + 1, static_cast<int>(c) + 1);
        }
        grid->setColumnStretch(1, 1);
        return frame;
    }

    QWidget* descriptionPage(QWidget& parent) {
        auto* page = new QWidget(&parent);
        auto* descs = new QGridLayout;
        for (int k = 0; k < static_cast<int>(kDescriptions.size()); ++k)
            addWideRow(*descs, *page, k, k == 0 ? "Desc" : QString(), box(kDescriptions[k].name));

        auto* coins = new QGridLayout;
        int row = 0;
        for (const char* name :
             {"txtMonsterRunic", "txtMonsterPlatinum", "txtMonsterGold", "txtMonsterSilver", "txtMonsterCopper"})
            addBoxRow(*coins, *page, row++, name);
        coins->setRowStretch(row, 1);

        auto* lower = new QHBoxLayout;
        lower->addWidget(letterTable(*page, "Drops", kDrops, "txtMonsterDropItemName"), 1);
        lower->addLayout(coins);

        auto* column = new QVBoxLayout(page);
        column->addLayout(descs);
        column->addLayout(lower);
        column->addStretch(1);
        return page;
    }

    // "Tab 0" holds attack E, "Tab 4" attack A; attack letter k sits in frame Frame(k+1).
    QWidget* attacksPage(QWidget& parent) {
        auto* page = new QWidget(&parent);
        auto* tabs = new QTabWidget(page);
        tabs->setObjectName("SSTab3");
        for (int tab = 0; tab < kLetters; ++tab)
            tabs->addTab(attackPage(*tabs, kLetters - 1 - tab), QStringLiteral("Tab %1").arg(tab));
        tabs->setCurrentIndex(0);
        auto* column = new QVBoxLayout(page);
        column->addWidget(tabs);
        return page;
    }

    QWidget* attackPage(QWidget& parent, int k) {
        auto* page = new QWidget(&parent);
        auto* grid = new QGridLayout;
        addRow(*grid, *page, 0, "Type", {&words_.box(lettered("txtMonsterAttackType", k))});
        int row = 1;
        for (const LetterSeries& s : kAttacks)
            addRow(*grid, *page, row++, s.caption, {&boxes_.box(lettered(s.prefix, k))});
        grid->setRowStretch(row, 1);

        auto* frame = new QGroupBox("Messages", page);
        frame->setObjectName(QStringLiteral("Frame%1").arg(k + 1));
        auto* messages = new QGridLayout(frame);
        row = 0;
        for (const LetterSeries& s : kAttackMessages)
            addRow(*messages, *frame, row++, s.caption, {&boxes_.box(lettered(s.prefix, k))});
        messages->setRowStretch(row, 1);

        auto* columns = new QHBoxLayout(page);
        columns->addLayout(grid);
        columns->addWidget(frame, 0, Qt::AlignTop);
        columns->addStretch(1);
        return page;
    }

    QWidget* spellsPage(QWidget& parent) {
        auto* page = new QWidget(&parent);
        auto* texts = new QGridLayout;
        int row = 0;
        for (const char* name : {"txtMonsterGreetText", "txtMonsterDescText", "txtMonsterTalkText",
                                 "txtMonsterDeathMessage", "txtMonsterMoveMessage"})
            addBoxRow(*texts, *page, row++, name);
        texts->setRowStretch(row, 1);

        auto* columns = new QHBoxLayout(page);
        columns->addWidget(letterTable(*page, "Spells Cast", kCasts, "txtMonsterSpellCastName"), 1, Qt::AlignTop);
        columns->addLayout(texts);
        return page;
    }

    FieldBoxes boxes_;
    CodedBoxes words_;
    std::vector<QComboBox*> abilities_;
};

}  // namespace

std::unique_ptr<TableEditor> makeMonsterEditor(QWidget& page, EditorContext context) {
    return std::make_unique<MonsterEditor>(page, context);
}

}  // namespace editors
