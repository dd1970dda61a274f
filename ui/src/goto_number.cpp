#include "ui/goto_number.h"

#include <limits>

#include "records/number_text.h"

namespace ui {

std::int32_t gotoRecordNumber(const std::optional<QString>& answer) {
    if (!answer) return 0;
    // Characters outside ASCII become several bytes that are no digits, so they fail.
    const auto value = records::parseDecimalNumber(answer->toStdString());
    if (!value) return 0;  // also numbers too large for a double
    const auto rounded = records::roundHalfEven(*value, std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max());
    return rounded ? static_cast<std::int32_t>(*rounded) : 0;
}

}  // namespace ui
