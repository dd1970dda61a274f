#include "editor_factories.h"

namespace editors {

std::unique_ptr<TableEditor> makeTableEditor(records::TableId table, QWidget& page, EditorContext context) {
    switch (table) {
        case records::TableId::Races:
            return makeRaceEditor(page, context);
        case records::TableId::Classes:
            return makeClassEditor(page, context);
        case records::TableId::Spells:
            return makeSpellEditor(page, context);
        case records::TableId::Monsters:
            return makeMonsterEditor(page, context);
        case records::TableId::Items:
            return makeItemEditor(page, context);
        case records::TableId::Messages:
            return makeMessageEditor(page, context);
    }
    return nullptr;
}

}  // namespace editors
