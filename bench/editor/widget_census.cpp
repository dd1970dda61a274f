#include "widget_census.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <map>

namespace editor_bench {
namespace {

TabCensus countTabs(const QTabWidget& tabs);

// Walks the children of w; composite widgets (combo boxes, scroll areas, tab
// widgets) count once, with their own parts left out.
void countChildren(const QWidget& w, PageCensus& census) {
    for (QObject* object : w.children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child) continue;
        if (auto* tabs = qobject_cast<QTabWidget*>(child)) {
            census.tabs.push_back(countTabs(*tabs));
        } else if (auto* combo = qobject_cast<QComboBox*>(child)) {
            census.comboSizes.push_back(combo->count());
        } else if (auto* area = qobject_cast<QScrollArea*>(child)) {
            if (area->widget()) countChildren(*area->widget(), census);
        } else {
            if (qobject_cast<QLineEdit*>(child))
                ++census.lineEdits;
            else if (qobject_cast<QLabel*>(child))
                ++census.labels;
            else if (qobject_cast<QPushButton*>(child))
                ++census.buttons;
            else if (qobject_cast<QCheckBox*>(child))
                ++census.checkBoxes;
            else if (qobject_cast<QGroupBox*>(child))
                ++census.groupBoxes;
            countChildren(*child, census);
        }
    }
}

TabCensus countTabs(const QTabWidget& tabs) {
    TabCensus census;
    for (int i = 0; i < tabs.count(); ++i) {
        PageCensus page;
        QWidget* content = tabs.widget(i);
        if (auto* area = qobject_cast<QScrollArea*>(content)) {
            page.scrolled = true;
            content = area->widget();
        }
        if (content) countChildren(*content, page);
        census.captions.push_back(tabs.tabText(i));
        census.pages.push_back(std::move(page));
    }
    return census;
}

void addTotals(const PageCensus& page, Totals& sum) {
    sum.lineEdits += page.lineEdits;
    sum.labels += page.labels;
    sum.buttons += page.buttons;
    sum.checkBoxes += page.checkBoxes;
    sum.groupBoxes += page.groupBoxes;
    sum.combos += static_cast<int>(page.comboSizes.size());
    for (int size : page.comboSizes) sum.comboEntries += size;
    for (const TabCensus& tabs : page.tabs) {
        ++sum.tabWidgets;
        sum.tabPages += static_cast<int>(tabs.pages.size());
        for (const PageCensus& inner : tabs.pages) addTotals(inner, sum);
    }
}

// The entries of a combo box of a given size, made once per window like a program's word lists.
class WordLists {
public:
    const QStringList& of(int size) {
        QStringList& words = lists_[size];
        if (words.isEmpty())
            for (int k = 0; k < size; ++k) words.append(QStringLiteral("Word %1").arg(k));
        return words;
    }

private:
    std::map<int, QStringList> lists_;
};

QWidget* buildPage(const PageCensus& census, WordLists& words);

QTabWidget* buildTabs(const TabCensus& census, WordLists& words) {
    auto* tabs = new QTabWidget;
    for (std::size_t i = 0; i < census.pages.size(); ++i)
        tabs->addTab(buildPage(census.pages[i], words), census.captions[i]);
    return tabs;
}

QWidget* buildPage(const PageCensus& census, WordLists& words) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    int row = 0;
    int labels = census.labels;
    // Each box on its own row, a label left of it while labels last.
    const auto place = [&](QWidget* box) {
        if (labels > 0) {
            grid->addWidget(new QLabel(QStringLiteral("Caption"), page), row, 0);
            --labels;
        }
        grid->addWidget(box, row++, 1);
    };
    for (int k = 0; k < census.lineEdits; ++k) place(new QLineEdit(page));
    for (int size : census.comboSizes) {
        auto* combo = new QComboBox(page);
        combo->setEditable(true);
        combo->addItems(words.of(size));
        place(combo);
    }
    for (int k = 0; k < census.checkBoxes; ++k) place(new QCheckBox(QStringLiteral("Check"), page));
    for (int k = 0; k < census.buttons; ++k) place(new QPushButton(QStringLiteral("Button"), page));
    for (int k = 0; k < census.groupBoxes; ++k) place(new QGroupBox(QStringLiteral("Frame"), page));
    for (; labels > 0; --labels) grid->addWidget(new QLabel(QStringLiteral("Caption"), page), row++, 0);
    for (const TabCensus& tabs : census.tabs) grid->addWidget(buildTabs(tabs, words), row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
    if (!census.scrolled) return page;
    auto* area = new QScrollArea;
    area->setWidgetResizable(true);
    area->setWidget(page);
    return area;
}

}  // namespace

PageCensus countWidgets(const QMainWindow& window) {
    PageCensus census;
    if (window.centralWidget()) countChildren(*window.centralWidget(), census);
    return census;
}

Totals totals(const PageCensus& census) {
    Totals sum;
    addTotals(census, sum);
    return sum;
}

void buildBareWindow(QMainWindow& window, const PageCensus& census) {
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.menuBar()->addAction(QStringLiteral("&About"));
    WordLists words;
    window.setCentralWidget(buildPage(census, words));
    window.resize(1180, 760);
}

}  // namespace editor_bench
