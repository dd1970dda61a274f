#include "show_bench.h"

#include <QCoreApplication>

#include "gamedata/demo_world.h"
#include "paint_wait.h"

namespace editor_bench {
namespace {

// A text no record shows, put on every widget before a record is shown, so that
// the widgets the display routine fills are those that lost it.
const QString& untouched() {
    static const QString text = QStringLiteral("\u2400untouched");
    return text;
}

template <class Widget>
std::vector<Widget*> widgetsOf(QWidget& page) {
    std::vector<Widget*> found;
    for (Widget* w : page.findChildren<Widget*>())
        if (!qobject_cast<QComboBox*>(w->parentWidget()))
            found.push_back(w);  // a combo box's own edit field is the box's
    return found;
}

QString textOf(const QLineEdit& w) { return w.text(); }
QString textOf(const QComboBox& w) { return w.currentText(); }
QString textOf(const QLabel& w) { return w.text(); }

void put(QLineEdit& w, const QString& text) { w.setText(text); }
void put(QComboBox& w, const QString& text) { w.setEditText(text); }
void put(QLabel& w, const QString& text) { w.setText(text); }

// Marks every widget of a kind on a page, then tells which ones a display routine
// filled; the others get their texts back.
template <class Widget>
class Probe {
public:
    explicit Probe(QWidget& page) {
        for (Widget* w : widgetsOf<Widget>(page)) {
            before_.emplace_back(w, textOf(*w));
            put(*w, untouched());
        }
    }

    std::vector<std::pair<Widget*, QString>> filled() const {
        std::vector<std::pair<Widget*, QString>> texts;
        for (const auto& [w, text] : before_)
            if (textOf(*w) != untouched())
                texts.emplace_back(w, textOf(*w));
            else
                put(*w, text);
        return texts;
    }

private:
    std::vector<std::pair<Widget*, QString>> before_;
};

}  // namespace

ShowBench::ShowBench() : store_(store::recordManagerCall(), dialogs_), status_(new QLineEdit(&window_)) {
    status_->hide();
    for (const records::TableFile& file : records::kTableFiles) {
        TableCase& c = at(file.id);
        c.page = new QWidget;
        c.editor = editors::makeTableEditor(file.id, *c.page,
                                            editors::EditorContext{store_, files_.block(file.id), *status_, dialogs_});
        window_.addTab(c.page, QString::fromLatin1(file.fileName.data(), static_cast<qsizetype>(file.fileName.size())));
        const auto records = gamedata::demoRecords(file.id, {});
        for (std::size_t k = 0; k < c.rows.size() && k < records.size(); ++k) c.rows[k] = records[k];
    }
    const auto monsters = gamedata::demoRecords(records::TableId::Monsters, {});
    for (std::size_t named = 0; named < monsters_.size(); ++named) {
        TableCase& c = monsters_[named];
        c.page = new QWidget;
        c.editor = editors::makeTableEditor(records::TableId::Monsters, *c.page,
                                            editors::EditorContext{store_, files_.block(records::TableId::Monsters),
                                                                   *status_, dialogs_, named ? &names_ : nullptr});
        window_.addTab(c.page, named ? QStringLiteral("named") : QStringLiteral("unnamed"));
        c.rows = {monsters.at(9), monsters.at(10)};
    }
    window_.resize(1180, 700);
    showUntilPainted(window_);
    for (const records::TableFile& file : records::kTableFiles) {
        TableCase& c = at(file.id);
        select(file.id);
        for (std::size_t k = 0; k < c.rows.size(); ++k) c.texts[k] = filledTexts(*c.page, *c.editor, c.rows[k]);
    }
}

ShowBench::~ShowBench() {
    for (store::TableFileBlock& block : files_.blocks())
        if (block.openFlag == 1) store_.onTable(B_CLOSE, block);
}

ShowBench::Texts ShowBench::filledTexts(QWidget& page, editors::TableEditor& editor,
                                        const std::vector<std::uint8_t>& row) {
    const Probe<QLineEdit> lines(page);
    const Probe<QComboBox> combos(page);
    const Probe<QLabel> labels(page);
    editor.show(row);
    Texts texts{lines.filled(), combos.filled(), labels.filled(), {}};
    for (auto* w : widgetsOf<QCheckBox>(page)) texts.checks.emplace_back(w, w->checkState());
    return texts;
}

void ShowBench::apply(const Texts& texts) {
    for (const auto& [w, text] : texts.lines) put(*w, text);
    for (const auto& [w, text] : texts.combos) put(*w, text);
    for (const auto& [w, text] : texts.labels) put(*w, text);
    for (const auto& [w, state] : texts.checks) w->setCheckState(state);
}

void ShowBench::showMonstersNamed(bool names) {
    TableCase& c = monsters_[names ? 1 : 0];
    if (window_.currentWidget() != c.page) {
        window_.setCurrentWidget(c.page);
        QCoreApplication::processEvents();
    }
    for (const auto& row : c.rows) c.editor->show(row);
}

void ShowBench::select(records::TableId table) {
    window_.setCurrentWidget(at(table).page);
    QCoreApplication::processEvents();
}

void ShowBench::showThroughEditor(records::TableId table) {
    TableCase& c = at(table);
    for (const auto& row : c.rows) c.editor->show(row);
}

void ShowBench::setTextsDirectly(records::TableId table) {
    for (const Texts& texts : at(table).texts) apply(texts);
}

bool ShowBench::openTable(records::TableId table) {
    TableCase& c = at(table);
    store::TableFileBlock& block = files_.block(table);
    store::prepareBlock(block);
    if (!store::openTable(store_, block)) return false;
    if (store_.onTable(B_GET_FIRST, block) != B_NO_ERROR) return false;
    c.updated = filledTexts(*c.page, *c.editor, block.row);
    return true;
}

void ShowBench::showRead(records::TableId table) { at(table).editor->show(files_.block(table).row); }

void ShowBench::updateThroughEditor(records::TableId table) { at(table).editor->update(); }

void ShowBench::updateDirectly(records::TableId table) {
    store_.onTable(B_UPDATE, files_.block(table));
    apply(at(table).updated);
}

std::size_t ShowBench::filledWidgets(records::TableId table) const {
    const Texts& t = cases_[static_cast<std::size_t>(table)].texts[0];
    return t.lines.size() + t.combos.size() + t.labels.size() + t.checks.size();
}

}  // namespace editor_bench
