// The editor of each table, built on its tab's page.
#pragma once

#include <memory>

#include "editors/table_editor.h"

namespace editors {

std::unique_ptr<TableEditor> makeRaceEditor(QWidget& page, EditorContext context);
std::unique_ptr<TableEditor> makeClassEditor(QWidget& page, EditorContext context);
std::unique_ptr<TableEditor> makeSpellEditor(QWidget& page, EditorContext context);
std::unique_ptr<TableEditor> makeMonsterEditor(QWidget& page, EditorContext context);
std::unique_ptr<TableEditor> makeItemEditor(QWidget& page, EditorContext context);
std::unique_ptr<TableEditor> makeMessageEditor(QWidget& page, EditorContext context);

}  // namespace editors
