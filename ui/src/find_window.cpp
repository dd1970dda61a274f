#include "ui/find_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "records/text_codec.h"
#include "result_list.h"

namespace ui {
namespace {

// Records per read: a first screen of results comes with the first batch.
constexpr std::uint16_t kRecordsPerBatch = 100;

}  // namespace

QString resultRow(std::int32_t number, const std::string& title, std::string_view field) {
    return QString::number(number) + QStringLiteral("  ") + QString::fromStdU16String(records::decodeText(title)) +
           QStringLiteral("  (") + QString::fromLatin1(field.data(), static_cast<qsizetype>(field.size())) +
           QLatin1Char(')');
}

FindWindow::FindWindow(world::ReadFiles& files, ShowRecord show, QWidget* parent)
    : QDialog(parent),
      files_(files),
      show_(std::move(show)),
      txtFindText_(new QLineEdit(this)),
      lstFindResults_(makeResultList(*this, QStringLiteral("lstFindResults"), QStringLiteral("Results"))),
      cmdFindShow_(new QPushButton(QStringLiteral("Show"), this)) {
    setObjectName(QStringLiteral("frmFind"));
    txtFindText_->setObjectName(QStringLiteral("txtFindText"));
    txtFindText_->setAccessibleName(QStringLiteral("Find"));
    cmdFindShow_->setObjectName(QStringLiteral("cmdFindShow"));
    cmdFindShow_->setAutoDefault(false);

    auto* column = new QVBoxLayout(this);
    column->addWidget(txtFindText_);
    column->addWidget(lstFindResults_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdFindShow_);
    column->addLayout(buttons);
    resize(520, 420);

    batches_.setInterval(0);
    connect(&batches_, &QTimer::timeout, this, &FindWindow::readBatch);
    connect(txtFindText_, &QLineEdit::textChanged, this, &FindWindow::restart);
    connect(txtFindText_, &QLineEdit::returnPressed, this, &FindWindow::choose);
    connect(lstFindResults_, &QListWidget::itemActivated, this, &FindWindow::choose);
    connect(cmdFindShow_, &QPushButton::clicked, this, &FindWindow::choose);
}

void FindWindow::searchIn(records::TableId table, const QString& caption) {
    const bool changed = table != table_;
    table_ = table;
    setWindowTitle(QStringLiteral("Find in ") + caption);
    if (changed) restart();
}

std::optional<world::TextSearch> FindWindow::typedSearch(records::TableId table) const {
    const auto bytes = records::encodeText(txtFindText_->text().toStdU16String());
    if (!bytes) return std::nullopt;
    world::TextSearch search(table, *bytes);
    if (!search.searches()) return std::nullopt;
    return search;
}

void FindWindow::restart() {
    batches_.stop();
    reader_.reset();
    lstFindResults_->clear();
    search_ = typedSearch(table_);
    if (!search_) return;
    wbtrv::client::File* file = files_.file(table_);
    if (!file) return;
    reader_ =
        std::make_unique<world::BatchReader>(*file, records::tableFile(table_), search_->request(kRecordsPerBatch));
    readBatch();
    if (reader_) batches_.start();
}

void FindWindow::readBatch() {
    if (!reader_) return;
    world::Batch batch;
    const bool more = reader_->next(batch);
    for (std::size_t i = 0; i < batch.size(); ++i)
        if (const auto found = search_->match(batch.record(i)))
            addResult(*lstFindResults_, resultRow(found->number, found->title, found->field), found->number);
    if (lstFindResults_->currentRow() < 0 && lstFindResults_->count() > 0) lstFindResults_->setCurrentRow(0);
    if (more) return;
    batches_.stop();
    reader_.reset();
}

void FindWindow::choose() {
    if (const auto number = chosenResult(*lstFindResults_)) show_(table_, static_cast<std::int32_t>(*number));
}

}  // namespace ui
