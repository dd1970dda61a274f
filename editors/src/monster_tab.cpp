// The Monsters tab: the pages and frames its boxes stand on, and the name boxes beside
// the numbers of the weapon, the drops and the spells, which no field fills.
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>
#include <map>

#include "editors/field_page.h"
#include "line_box.h"
#include "name_boxes.h"
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

    // The boxes the description puts beside a number: beside a single one, and in
    // column 1 of the two tables for the lettered ones.
    void addNameBoxes() {
        for (const records::Field& f : kMonsterDescription) {
            const records::Box& number = f.box;
            if (number.nameBox.empty()) continue;
            const TabGrid at = grids_.at({number.page, number.group});
            if (!number.lettered) {
                at.grid->addWidget(nameBox(*at.labelParent, nameBoxName({&f, 0}),
                                           describedText(number.caption) + QStringLiteral(" Name")),
                                   number.row, number.column + 1);
                continue;
            }
            for (int k = 0; k < kLetters; ++k)
                at.grid->addWidget(
                    nameBox(*at.labelParent, nameBoxName({&f, static_cast<std::size_t>(k)}), lettered("Name ", k)),
                    number.row + k, 1);
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

void revealElement(QWidget& tabPage, const records::Field& field, std::size_t element) {
    auto* pages = tabPage.findChild<QTabWidget*>(QStringLiteral("SSTab2"));
    auto* attacks = tabPage.findChild<QTabWidget*>(QStringLiteral("SSTab3"));
    if (!pages || !attacks) return;
    const int page = field.box.page + (field.box.along == records::Along::Pages ? static_cast<int>(element) : 0);
    if (page == Top) return;
    if (page >= FirstAttack && page < SpellsMessages) {
        pages->setCurrentIndex(FirstAttack - Normal);
        // "Tab 0" holds the last attack, "Tab 4" the first.
        attacks->setCurrentIndex(kLetters - 1 - (page - FirstAttack));
        return;
    }
    pages->setCurrentIndex(page == SpellsMessages ? FirstAttack - Normal + 1 : page - Normal);
}

std::unique_ptr<TabExtras> layOutMonsters(QWidget& page, const DescribedBoxes& boxes) {
    MonsterLayout{page, boxes};
    return nullptr;
}

}  // namespace editors
