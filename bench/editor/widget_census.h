// How many widgets of which kinds a window holds, page by page of its tab widgets,
// and a bare Qt window built from such a count: the floor the editor's window is
// measured against.
#pragma once

#include <QString>
#include <iosfwd>
#include <vector>

class QMainWindow;
class QWidget;

namespace editor_bench {

struct TabCensus;

// The widgets of one page, outside its nested tab widgets.
struct PageCensus {
    int lineEdits = 0;  // not counting the edit fields inside combo boxes
    int labels = 0;
    int buttons = 0;
    int checkBoxes = 0;
    int groupBoxes = 0;
    std::vector<int> comboSizes;  // entries of each combo box
    bool scrolled = false;        // the page sits in a scroll area
    std::vector<TabCensus> tabs;
};

struct TabCensus {
    std::vector<QString> captions;
    std::vector<PageCensus> pages;
};

// Counts the widgets of a main window's central widget.
PageCensus countWidgets(const QMainWindow& window);

// Totals over every page, for the report.
struct Totals {
    int lineEdits = 0, labels = 0, buttons = 0, checkBoxes = 0, groupBoxes = 0, combos = 0, comboEntries = 0,
        tabWidgets = 0, tabPages = 0;
};
Totals totals(const PageCensus& census);

// A census as text and back, for handing it to a fresh process.
void writeCensus(std::ostream& out, const PageCensus& census);
PageCensus readCensus(std::istream& in);

// A main window with the same widgets, plain Qt: one grid per page, each label
// beside a box, editable combo boxes whose entries are added when the list is first
// opened, one "&About" menu item.
void buildBareWindow(QMainWindow& window, const PageCensus& census);

}  // namespace editor_bench
