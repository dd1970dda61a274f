// A message record of "wccmsg2.dat": 256 bytes; MessageFields describes the first 242.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/record_description.h"

namespace records {

// Members follow the row in order; HiddenNN fields are carried, never shown (NN = row offset).
// Bytes 242 to 255 live only in the packed row.
struct MessageRecord {
    std::int16_t Number;
    std::int16_t Hidden2;
    char Line1[74];
    std::int16_t Hidden78[4];
    char Line2[74];
    std::int16_t Hidden160[4];
    char Line3[74];
};

#define AT(member) RECORD_FIELD(MessageRecord, member)
namespace message {
using namespace description;
constexpr Box line(std::string_view name, std::string_view caption, int row) {
    return {.name = name,
            .caption = caption,
            .row = row,
            .typingLimit = 74,
            .reading = Reading::NameRule,
            .turn = row + 1,
            .labelled = true};
}
}  // namespace message

inline constexpr std::array kMessageDescription{
    message::number(AT(Number), 2, description::numberBox("txtMessageNumber", 3, Reading::Whole)),
    message::hidden(AT(Hidden2), 2),
    message::text(AT(Line1), 74, message::line("txtMessageLine1", "Line #1", 0)),
    message::hidden(AT(Hidden78), 2, 4),
    message::text(AT(Line2), 74, message::line("txtMessageLine2", "Line #2", 1)),
    message::hidden(AT(Hidden160), 2, 4),
    message::text(AT(Line3), 74, message::line("txtMessageLine3", "Line #3", 2)),
};
#undef AT

static_assert(tilesStructure<elementCount(kMessageDescription)>(kMessageDescription, sizeof(MessageRecord),
                                                                alignof(MessageRecord)));
static_assert(boxesDistinct(kMessageDescription));

}  // namespace records
