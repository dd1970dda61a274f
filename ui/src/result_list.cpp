#include "result_list.h"

namespace ui {

QListWidget* makeResultList(QWidget& parent, const QString& name, const QString& spoken) {
    auto* list = new QListWidget(&parent);
    list->setObjectName(name);
    list->setAccessibleName(spoken);
    list->setUniformItemSizes(true);
    return list;
}

void addResult(QListWidget& list, const QString& text, qlonglong value) {
    auto* item = new QListWidgetItem(text, &list);
    item->setData(Qt::UserRole, value);
}

std::optional<qlonglong> chosenResult(const QListWidget& list) {
    const QListWidgetItem* item = list.currentItem();
    if (!item) return std::nullopt;
    return item->data(Qt::UserRole).toLongLong();
}

}  // namespace ui
