// The Monsters tab: the pages and frames its boxes stand on, and the name boxes beside
// the numbers of the weapon, the drops and the spells, which no field fills.
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>
#include <map>

#include "line_box.h"
#include "records/monster_record.h"
#include "tab_description.h"
#include "tab_layout.h"

namespace editors {
namespace {

using records::kMonsterDescription;
using records::monster::kLetters;
using enum records::monster::Page;

QString lettered(const char* prefix, int k) {
    return QString::fromLatin1(prefix) + QLatin1Char(static_cast<char>('A' + k));
}

// A read-only box beside a number; name is its object name, spoken what screen readers call it.
QLineEdit* nameBox(QWidget& parent, const QString& name, const QString& spoken) {
    QLineEdit* box = makeLineBox(parent, name, 0, true);
    box->setAccessibleName(spoken);
    return box;
}

class MonsterLayout {
public:
    MonsterLayout(QWidget& page, const DescribedBoxes& boxes) {
        auto* top = grid(Top, 0, page, false);
        top->setColumnStretch(2, 1);

        auto* tabs = new QTabWidget(&page);
        tabs->setObjectName("SSTab2");
        tabs->addTab(normalPage(*tabs), "Normal");
        tabs->addTab(descriptionPage(*tabs), "Description/Items");
        tabs->addTab(attacksPage(*tabs), "Attacks");
        tabs->addTab(spellsPage(*tabs), "Spells/Messages");
        tabs->setCurrentIndex(0);

        boxes.place([this](int p, int group) { return grids_.at({p, group}); });
        addNameBoxes();
        for (QGridLayout* grid : stretchedBelow_) grid->setRowStretch(grid->rowCount(), 1);

        auto* column = new QVBoxLayout(&page);
        column->addLayout(top);
        column->addWidget(tabs, 1);
    }

private:
    // A grid of boxes on a page; its rows take no more room than they need, unless told.
    QGridLayout* grid(int page, int group, QWidget& labelParent, bool stretchBelow = true) {
        auto* grid = new QGridLayout;
        grids_[{page, group}] = {grid, &labelParent};
        if (stretchBelow) stretchedBelow_.push_back(grid);
        return grid;
    }

    // A grid inside a captioned frame.
    QGridLayout* framed(QGroupBox& frame, int page, int group, bool stretchBelow) {
        auto* grid = new QGridLayout(&frame);
        grids_[{page, group}] = {grid, &frame};
        if (stretchBelow) stretchedBelow_.push_back(grid);
        return grid;
    }

    // Beside the weapon and spell numbers, and in column 1 of the two tables.
    void addNameBoxes() {
        using records::boxField;
        for (const records::Box& number : {boxField(kMonsterDescription, "txtMonsterWeapon").box,
                                           boxField(kMonsterDescription, "txtMonsterCreateSpell").box,
                                           boxField(kMonsterDescription, "txtMonsterDeathSpell").box}) {
            const TabGrid at = grids_.at({number.page, number.group});
            at.grid->addWidget(nameBox(*at.labelParent, describedText(number.name) + QStringLiteral("Name"),
                                       describedText(number.caption) + QStringLiteral(" Name")),
                               number.row, number.column + 1);
        }
        for (const auto& [at, prefix] : {std::pair{std::pair{DescriptionItems, 2}, "txtMonsterDropItemName"},
                                         {std::pair{SpellsMessages, 0}, "txtMonsterSpellCastName"}}) {
            const TabGrid table = grids_.at({at.first, at.second});
            for (int k = 0; k < kLetters; ++k)
                table.grid->addWidget(nameBox(*table.labelParent, lettered(prefix, k), lettered("Name ", k)), k + 1, 1);
        }
    }

    QWidget* normalPage(QWidget& parent) {
        auto* page = new QWidget(&parent);
        auto* columns = new QHBoxLayout(page);
        columns->addLayout(grid(Normal, 0, *page));
        columns->addLayout(grid(Normal, 1, *page));
        columns->addStretch(1);
        columns->addLayout(grid(Normal, 2, *page));
        return page;
    }

    // A table of five rows under a captioned frame: a header row of the columns'
    // captions, "Name" over the name boxes.
    QGroupBox* letterTable(QWidget& page, const QString& title, int p, int group) {
        auto* frame = new QGroupBox(title, &page);
        auto* table = framed(*frame, p, group, false);
        table->addWidget(makeLabel(*frame, "Name"), 0, 1);
        for (const records::Field& f : kMonsterDescription)
            if (f.box.exists() && f.box.page == p && f.box.group == group)
                table->addWidget(makeLabel(*frame, describedText(f.box.caption)), 0, f.box.column);
        table->setColumnStretch(1, 1);
        return frame;
    }

    QWidget* descriptionPage(QWidget& parent) {
        auto* page = new QWidget(&parent);
        auto* lower = new QHBoxLayout;
        lower->addWidget(letterTable(*page, "Drops", DescriptionItems, 2), 1);
        lower->addLayout(grid(DescriptionItems, 1, *page));

        auto* column = new QVBoxLayout(page);
        column->addLayout(grid(DescriptionItems, 0, *page, false));
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
        auto* frame = new QGroupBox("Messages", page);
        frame->setObjectName(QStringLiteral("Frame%1").arg(k + 1));
        framed(*frame, FirstAttack + k, 1, true);

        auto* columns = new QHBoxLayout(page);
        columns->addLayout(grid(FirstAttack + k, 0, *page));
        columns->addWidget(frame, 0, Qt::AlignTop);
        columns->addStretch(1);
        return page;
    }

    QWidget* spellsPage(QWidget& parent) {
        auto* page = new QWidget(&parent);
        auto* columns = new QHBoxLayout(page);
        columns->addWidget(letterTable(*page, "Spells Cast", SpellsMessages, 0), 1, Qt::AlignTop);
        columns->addLayout(grid(SpellsMessages, 1, *page));
        return page;
    }

    std::map<std::pair<int, int>, TabGrid> grids_;
    std::vector<QGridLayout*> stretchedBelow_;
};

}  // namespace

std::unique_ptr<TabExtras> layOutMonsters(QWidget& page, const DescribedBoxes& boxes) {
    MonsterLayout{page, boxes};
    return nullptr;
}

}  // namespace editors
