// The record number of an answer to the Goto box.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace ui {

// The answer as a 32-bit whole number: blanks around it allowed, a fraction rounded
// to the nearest whole number with halves to the even neighbour. Cancel, an empty
// answer, text that is no number and numbers outside the 32-bit range give 0.
std::int32_t gotoRecordNumber(const std::optional<QString>& answer);

}  // namespace ui
