// Feeds arbitrary bytes through everything a dictionary file goes through on loading, and checks that the
// lines found in the bytes are the lines of the text decoded whole, that what was counted of them bounds
// them, and that the table made line by line is the table of the whole text.

#include "dictionary/lessonlist.h"
#include "dictionary/textdecoding.h"
#include "dictionary/wordtable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const wordlark::TextLines lines(bytes);
    const QStringList whole = wordlark::splitLines(wordlark::decodeText(bytes));
    if (lines.toStringList() != whole || lines.size() != whole.size())
        std::abort();
    qsizetype units = 0, filled = 0, longest = 0;
    for (const QString &line : whole) {
        units += line.size();
        filled += line.isEmpty() ? 0 : 1;
        longest = qMax(longest, line.size());
    }
    if (units > lines.textUnits() || filled != lines.nonEmptyLineCount() ||
        longest > lines.longestLineUnits())
        std::abort();
    wordlark::WordTable table;
    wordlark::parseDictionaryText(lines, table);
    wordlark::WordTable wholeTable;
    wordlark::parseDictionary(whole, wholeTable);
    if (table.rowCount() != wholeTable.rowCount())
        std::abort();
    for (int row = 0; row < table.rowCount(); ++row) {
        if (table.row(row) != wholeTable.row(row))
            std::abort();
        for (int column = 0; column < wordlark::ColumnCount; ++column) {
            if (table.cellView(column, row) != table.cell(column, row))
                std::abort();
        }
    }
    wordlark::LessonList lessons;
    lessons.build(table);
    for (int n = 0; n < lessons.selectedWordCount(); n += 7)
        (void)lessons.nthSelectedWord(n);
    return 0;
}
