// The list of the windows of results (Find, Where Used, Check World): one row per
// result, each carrying the number it leads to.
#pragma once

#include <QListWidget>
#include <optional>

namespace ui {

QListWidget* makeResultList(QWidget& parent, const QString& name, const QString& spoken);
void addResult(QListWidget& list, const QString& text, qlonglong value);
// The value of the current row; none without one.
std::optional<qlonglong> chosenResult(const QListWidget& list);

}  // namespace ui
