// Brings the element of a field into view on its tab: selects the inner tabs (the
// Monsters tab's pages and attack tabs) the element's box stands on.
#pragma once

#include <QWidget>
#include <cstddef>

#include "records/record_description.h"

namespace editors {

void revealElement(QWidget& tabPage, const records::Field& field, std::size_t element);

}  // namespace editors
