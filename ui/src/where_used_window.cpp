#include "ui/where_used_window.h"

#include <QVBoxLayout>

#include "result_list.h"
#include "ui/find_window.h"

namespace ui {

WhereUsedWindow::WhereUsedWindow(std::function<void(const world::Use&)> show, QWidget* parent)
    : QDialog(parent),
      show_(std::move(show)),
      lstWhereUsed_(makeResultList(*this, QStringLiteral("lstWhereUsed"), QStringLiteral("Uses"))) {
    setObjectName(QStringLiteral("frmWhereUsed"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(lstWhereUsed_);
    resize(520, 360);
    connect(lstWhereUsed_, &QListWidget::itemActivated, this, &WhereUsedWindow::choose);
}

void WhereUsedWindow::list(const QString& title, std::vector<world::Use> uses) {
    setWindowTitle(title);
    uses_ = std::move(uses);
    lstWhereUsed_->clear();
    for (std::size_t i = 0; i < uses_.size(); ++i)
        addResult(*lstWhereUsed_, resultRow(uses_[i].number, uses_[i].name, uses_[i].label), static_cast<qlonglong>(i));
    if (!uses_.empty()) lstWhereUsed_->setCurrentRow(0);
}

void WhereUsedWindow::choose() {
    if (const auto i = chosenResult(*lstWhereUsed_); i && static_cast<std::size_t>(*i) < uses_.size())
        show_(uses_[static_cast<std::size_t>(*i)]);
}

}  // namespace ui
