#include "ui/check_world_window.h"

#include <QLabel>
#include <QVBoxLayout>

#include "records/text_codec.h"
#include "result_list.h"

namespace ui {

QString problemLine(const world::Problem& problem) {
    return QString::fromLatin1(records::tableFile(problem.table).fileName.data()) + QStringLiteral(" record ") +
           QString::number(problem.record) + QLatin1Char(' ') + QString::fromStdString(problem.field) +
           QStringLiteral(": ") + QString::fromStdString(problem.detail);
}

CheckWorldWindow::CheckWorldWindow(world::ReadFiles& files, ShowRecord show, QWidget* parent)
    : QDialog(parent),
      files_(files),
      show_(std::move(show)),
      lstProblems_(makeResultList(*this, QStringLiteral("lstProblems"), QStringLiteral("Problems"))),
      lblCheckState_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmCheckWorld"));
    setWindowTitle(QStringLiteral("Check World"));
    lblCheckState_->setObjectName(QStringLiteral("lblCheckState"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(lstProblems_, 1);
    column->addWidget(lblCheckState_);
    resize(640, 420);
    steps_.setInterval(0);
    connect(&steps_, &QTimer::timeout, this, &CheckWorldWindow::step);
    connect(lstProblems_, &QListWidget::itemActivated, this, &CheckWorldWindow::choose);
}

void CheckWorldWindow::run() {
    problems_.clear();
    lstProblems_->clear();
    lblCheckState_->setText(QStringLiteral("Checking..."));
    check_ = std::make_unique<world::WorldCheck>(files_);
    steps_.start();
}

void CheckWorldWindow::step() {
    if (!check_) return;
    const std::size_t before = problems_.size();
    const bool more = check_->step(problems_);
    for (std::size_t i = before; i < problems_.size(); ++i)
        addResult(*lstProblems_, problemLine(problems_[i]), static_cast<qlonglong>(i));
    if (more) return;
    steps_.stop();
    if (check_->status() != 0)
        lblCheckState_->setText(QStringLiteral("Could not read ") +
                                QString::fromLatin1(records::tableFile(check_->failedTable()).fileName.data()) +
                                QStringLiteral(": status ") + QString::number(check_->status()));
    else
        lblCheckState_->setText(QString::number(problems_.size()) + QStringLiteral(" problem(s) found."));
    check_.reset();
}

void CheckWorldWindow::choose() {
    if (const auto i = chosenResult(*lstProblems_); i && static_cast<std::size_t>(*i) < problems_.size())
        show_(problems_[static_cast<std::size_t>(*i)].table, problems_[static_cast<std::size_t>(*i)].record);
}

}  // namespace ui
