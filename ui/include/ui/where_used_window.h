// frmWhereUsed: the records that name one record, one row per reference (the
// monster's number and name and the field that refers). Choosing a row shows that
// record on its tab, on the page where the field is.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "world/where_used.h"

class QListWidget;

namespace ui {

class WhereUsedWindow : public QDialog {
    Q_OBJECT
public:
    WhereUsedWindow(std::function<void(const world::Use&)> show, QWidget* parent);

    // Lists the uses of a record; title names it.
    void list(const QString& title, std::vector<world::Use> uses);

private:
    void choose();

    std::function<void(const world::Use&)> show_;
    QListWidget* lstWhereUsed_;
    std::vector<world::Use> uses_;
};

}  // namespace ui
