// Placeholder while the tab is being built.
#include "editor_factories.h"
namespace editors {
std::unique_ptr<TableEditor> makeSpellEditor(QWidget& page, EditorContext context) { return makeItemEditor(page, context); }
}  // namespace editors
