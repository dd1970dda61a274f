// The one-line boxes of a tab's numbers and texts: each shows its element of the
// record and reads it back, both in the order the boxes were given.
#pragma once

#include <QLineEdit>
#include <optional>
#include <span>
#include <vector>

#include "record_bytes.h"

namespace editors {

// A conversion that failed: the box to focus and the message naming it.
struct ConversionFailure {
    QWidget* box;
    QString message;
};

class LineBoxes {
public:
    struct Line {
        FieldElement element;
        QLineEdit* box;
        std::optional<std::size_t> added;  // the line whose field this box shows added to its own
        QString shown = {};                // what the last show put in the box
    };

    LineBoxes(QWidget& page, std::span<const FieldElement> elements);

    std::span<const Line> lines() const { return lines_; }

    void show(const RecordBytes& record);

    // Converts every box into record, stopping at the first that fails; record is then
    // partly converted, so callers read into a copy.
    std::optional<ConversionFailure> read(RecordBytes& record) const;

private:
    std::optional<ConversionFailure> readNumber(const Line& line, RecordBytes& record) const;
    std::optional<ConversionFailure> readText(const Line& line, RecordBytes& record) const;

    std::vector<Line> lines_;
};

}  // namespace editors
