// Showing a record and saving it untouched writes back every byte as it was read:
// the fields no box shows, the bytes after the packed length, codes without words,
// shifted class numbers and untouched description lines included.
#include "editor_session.h"

namespace {

using records::TableId;

struct TextSpan {
    std::size_t offset;
    std::size_t width;
};

struct SavedTable {
    TableId id;
    const char* word;                   // of the status line, empty for messages
    std::vector<TextSpan> ruledTexts;   // fields saved by the name rule
    std::vector<TextSpan> filledTexts;  // fields cut or blank-filled, no zero
};

const std::vector<SavedTable>& savedTables() {
    static const std::vector<SavedTable> tables{
        {TableId::Races, "Race", {{2, 29}}, {}},
        {TableId::Classes, "Class", {{2, 29}}, {}},
        {TableId::Spells, "Spell", {{2, 29}}, {{251, 5}}},
        {TableId::Messages, "", {{4, 74}, {86, 74}, {168, 74}}, {}},
    };
    return tables;
}

// A text that fills the whole width, blanks inside and at the end, no zero.
std::string fullWidth(std::size_t width) {
    std::string text;
    for (std::size_t i = 0; i < width; ++i)
        text.push_back(i % 7 == 6 || i + 1 == width ? ' ' : static_cast<char>('a' + i % 26));
    return text;
}

Row edgeRow(const SavedTable& t, std::uint32_t seed, bool terminatedTexts) {
    Row row = noiseRow(records::tableFile(t.id), seed);
    put16(row, 0, 5);
    if (records::tableFile(t.id).numberWidth == 4) put32(row, 0, 5);
    for (const TextSpan& s : t.ruledTexts)
        putText(row, s.offset, terminatedTexts ? ruled("Grey Elf", s.width) : fullWidth(s.width));
    for (const TextSpan& s : t.filledTexts) putText(row, s.offset, fullWidth(s.width).substr(0, s.width - 1) + "z");
    return row;
}

TEST(RoundTrip, SavingAnUntouchedRecordWritesBackEveryByte) {
    for (const SavedTable& t : savedTables())
        for (const std::uint32_t seed : {1u, 77u, 4242u})
            for (const bool terminated : {true, false}) {
                SCOPED_TRACE(testing::Message()
                             << t.word << " seed " << seed << (terminated ? " terminated" : " full width"));
                const Row row = edgeRow(t, seed, terminated);
                EditorSession s(t.id, row);
                s.editor->update();
                EXPECT_TRUE(s.dialogs.boxes.empty()) << s.dialogs.boxes.front().text.toStdString();
                EXPECT_EQ(differences(s.stored(), row), std::vector<std::size_t>{});
                EXPECT_EQ(s.block.row, row) << "the row buffer holds the record as written";
                const QString status = s.status.text();
                if (*t.word) {  // the name as shown, trailing blanks of a full-width name included
                    const QString name = QString::fromStdString(terminated ? "Grey Elf" : fullWidth(29));
                    EXPECT_EQ(s.text(QStringLiteral("txt%1Name").arg(t.word)), name);
                    EXPECT_EQ(status, QStringLiteral("%1 5 Updated! %2").arg(t.word, name));
                } else {
                    EXPECT_EQ(status, "Message Updated!");
                }
            }
}

}  // namespace
