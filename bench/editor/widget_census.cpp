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
#include <istream>
#include <ostream>

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

// An editable combo box that takes its entries when its list is first opened.
class LazyCombo : public QComboBox {
public:
    LazyCombo(int size, QWidget* parent) : QComboBox(parent), size_(size) { setEditable(true); }

    void showPopup() override {
        for (; size_ > 0; --size_) addItem(QStringLiteral("Word %1").arg(count()));
        QComboBox::showPopup();
    }

private:
    int size_;  // entries still to add
};

QWidget* buildPage(const PageCensus& census);

QTabWidget* buildTabs(const TabCensus& census) {
    auto* tabs = new QTabWidget;
    for (std::size_t i = 0; i < census.pages.size(); ++i) tabs->addTab(buildPage(census.pages[i]), census.captions[i]);
    return tabs;
}

QWidget* buildPage(const PageCensus& census) {
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
    for (int size : census.comboSizes) place(new LazyCombo(size, page));
    for (int k = 0; k < census.checkBoxes; ++k) place(new QCheckBox(QStringLiteral("Check"), page));
    for (int k = 0; k < census.buttons; ++k) place(new QPushButton(QStringLiteral("Button"), page));
    for (int k = 0; k < census.groupBoxes; ++k) place(new QGroupBox(QStringLiteral("Frame"), page));
    for (; labels > 0; --labels) grid->addWidget(new QLabel(QStringLiteral("Caption"), page), row++, 0);
    for (const TabCensus& tabs : census.tabs) grid->addWidget(buildTabs(tabs), row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
    if (!census.scrolled) return page;
    auto* area = new QScrollArea;
    area->setWidgetResizable(true);
    area->setWidget(page);
    return area;
}

void writeTabs(std::ostream& out, const TabCensus& tabs) {
    out << tabs.pages.size() << '\n';
    for (std::size_t i = 0; i < tabs.pages.size(); ++i) {
        out << tabs.captions[i].toUtf8().toPercentEncoding().toStdString() << '\n';
        writeCensus(out, tabs.pages[i]);
    }
}

TabCensus readTabs(std::istream& in) {
    TabCensus tabs;
    std::size_t pages = 0;
    in >> pages;
    for (std::size_t i = 0; i < pages && in; ++i) {
        std::string caption;
        in >> caption;
        tabs.captions.push_back(QString::fromUtf8(QByteArray::fromPercentEncoding(QByteArray::fromStdString(caption))));
        tabs.pages.push_back(readCensus(in));
    }
    return tabs;
}

}  // namespace

void writeCensus(std::ostream& out, const PageCensus& census) {
    out << census.lineEdits << ' ' << census.labels << ' ' << census.buttons << ' ' << census.checkBoxes << ' '
        << census.groupBoxes << ' ' << census.scrolled << ' ' << census.comboSizes.size();
    for (int size : census.comboSizes) out << ' ' << size;
    out << ' ' << census.tabs.size() << '\n';
    for (const TabCensus& tabs : census.tabs) writeTabs(out, tabs);
}

PageCensus readCensus(std::istream& in) {
    PageCensus census;
    std::size_t combos = 0, tabs = 0;
    in >> census.lineEdits >> census.labels >> census.buttons >> census.checkBoxes >> census.groupBoxes >>
        census.scrolled >> combos;
    for (std::size_t k = 0; k < combos && in; ++k) in >> census.comboSizes.emplace_back();
    in >> tabs;
    for (std::size_t k = 0; k < tabs && in; ++k) census.tabs.push_back(readTabs(in));
    return census;
}

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
    window.setCentralWidget(buildPage(census));
    window.resize(1180, 760);
}

}  // namespace editor_bench
