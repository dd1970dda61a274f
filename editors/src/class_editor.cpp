// The Classes tab. Three boxes show their field shifted
// or summed: the maximum hit points (MinHP + HPRange), "Exp %" (Exp + 100) and
// "Combat" (Combat - 2); the update reads them as numbers and takes the shift back.
#include <QHBoxLayout>
#include <cstddef>

#include "ability_slots.h"
#include "coded_boxes.h"
#include "editor_factories.h"
#include "field_boxes.h"
#include "record_editor.h"
#include "records/word_tables.h"
#include "tab_layout.h"

namespace editors {
namespace {

using records::ClassRecord;

constexpr int kDigits = 3;

BoxField number(const char* name, const char* caption, std::size_t offset, int typingLimit = kDigits) {
    return {.name = name, .caption = caption, .offset = offset, .kind = FieldKind::Int16, .typingLimit = typingLimit};
}

// A box read "as a number": fractions allowed, rounded half to even after the shift.
BoxField shifted(const char* name, const char* caption, std::size_t offset, int shift, const char* addedBox = "") {
    return {.name = name,
            .caption = caption,
            .offset = offset,
            .kind = FieldKind::Int16,
            .typingLimit = kDigits,
            .reading = Reading::Decimal,
            .shownShift = shift,
            .addedBox = addedBox};
}

// In the order they are read; the words and the ability names, which cannot fail, come after.
std::vector<BoxField> classFields() {
    std::vector<BoxField> fields{
        {.name = "txtClassNumber",
         .caption = "Number",
         .offset = offsetof(ClassRecord, Number),
         .kind = FieldKind::Int16,
         .readOnly = true},
        {.name = "txtClassName",
         .caption = "Name",
         .offset = offsetof(ClassRecord, Name),
         .kind = FieldKind::Text,
         .width = 29,
         .typingLimit = 29,
         .reading = Reading::NameRule},
        number("txtClassMinHP", "HP", offsetof(ClassRecord, MinHP)),
        shifted("txtClassMaxHp", "HP", offsetof(ClassRecord, HPRange), 0, "txtClassMinHP"),
        shifted("txtClassExp", "Exp %", offsetof(ClassRecord, Exp), 100),
        number("txtClassMagicLvl", "Magic", offsetof(ClassRecord, MagicLevel)),
        shifted("txtClassCombat", "Combat", offsetof(ClassRecord, Combat), -2),
    };
    for (BoxField& f : abilityValueFields("txtClassabilb", offsetof(ClassRecord, AbilityValue), 10, kDigits))
        fields.push_back(std::move(f));
    fields.push_back(number("txtClassTitle", "Title Text", offsetof(ClassRecord, Title), 4));
    return fields;
}

std::vector<CodedField> classWords() {
    return {
        {"txtClassMagicType", records::classMagicTypeTable(), offsetof(ClassRecord, MagicType), FieldKind::Int16},
        {"txtClassWeapon", records::classWeaponTable(), offsetof(ClassRecord, Weapon), FieldKind::Int16},
        {"txtClassArmour", records::classArmourTable(), offsetof(ClassRecord, Armour), FieldKind::Int16},
    };
}

class ClassEditor final : public RecordEditor<ClassRecord> {
public:
    ClassEditor(QWidget& page, EditorContext context)
        : RecordEditor(context, context.lists.ClassFields,
                       {"Class", "Insert new class with this records data?", "Insert New Class"}),
          boxes_(page, classFields()),
          words_(page, classWords(), Wordless::Number),
          abilities_(makeAbilityBoxes(page, abilities::AbilityKind::Class, "txtClassabila", 10)) {
        layOut(page);
    }

    bool editable() const override { return true; }

private:
    void showTab() override {
        boxes_.show(record_);
        words_.show(record_);
        GetClassAbilA(abilities_, record_);
    }

    std::optional<ConversionFailure> readTab(ClassRecord& edited) override {
        auto failure = boxes_.read(edited);
        if (failure) return failure;
        SaveClassAbilA(abilities_, edited);
        words_.read(edited);
        return std::nullopt;
    }

    void layOut(QWidget& page) {
        auto* fields = new QGridLayout;
        int row = 0;
        addWideRow(*fields, page, row++, "Name", &boxes_.box("txtClassName"));
        addRow(*fields, page, row++, "Exp %", {&boxes_.box("txtClassExp")});
        addRow(*fields, page, row++, "HP",
               {&boxes_.box("txtClassMinHP"), makeLabel(page, "-"), &boxes_.box("txtClassMaxHp")});
        addRow(*fields, page, row++, "Armour", {&words_.box("txtClassArmour")});
        addRow(*fields, page, row++, "Weapons", {&words_.box("txtClassWeapon")});
        addRow(*fields, page, row++, "Combat", {&boxes_.box("txtClassCombat")});
        addRow(*fields, page, row++, "Magic", {&words_.box("txtClassMagicType"), &boxes_.box("txtClassMagicLvl")});
        addRow(*fields, page, row++, "Title Text", {&boxes_.box("txtClassTitle")});
        addRow(*fields, page, row++, {}, {&boxes_.box("txtClassNumber")});
        fields->setRowStretch(row, 1);
        fields->setColumnStretch(4, 1);

        auto* columns = new QHBoxLayout(&page);
        columns->addLayout(fields, 1);
        columns->addLayout(abilityColumn(abilities_, boxes_.array("txtClassabilb", 10)));
    }

    FieldBoxes boxes_;
    CodedBoxes words_;
    std::vector<QComboBox*> abilities_;
};

}  // namespace

std::unique_ptr<TableEditor> makeClassEditor(QWidget& page, EditorContext context) {
    return std::make_unique<ClassEditor>(page, context);
}

}  // namespace editors
