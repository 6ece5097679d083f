#pragma once

#include "dictionary/result.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <functional>
#include <vector>

namespace wordlark {

// The five fields of a word, by column number.
enum Column : int {
    PinyinColumn = 0,
    SimplifiedColumn = 1,
    FullColumn = 2,
    LessonColumn = 3,
    TranslationColumn = 4
};
inline constexpr int ColumnCount = 5;

class TextLines;

// The dictionary in memory: one row per line of the dictionary text, blank lines included, so a word's
// index is its line number. Other parts only read cells.
//
// All texts lie in one buffer. A row is where its record starts: the five cells' lengths (one code unit
// each below 32,768, two above), then the text of each cell that is not empty, each followed by a NUL. Rows
// without text share one record of five zero lengths, so an empty line costs one number. A table of
// millions of words costs about its text, not an allocation per cell. A cell read as a QString shares the
// buffer and holds a reference to it, so it stays valid however long it is kept, and changing it copies
// it first, as with any shared string.
class WordTable final {
public:
    using Row = std::array<QString, ColumnCount>;
    using RowView = std::array<QStringView, ColumnCount>;

    int rowCount() const { return int(m_rows.size()); }
    QString cell(int column, int row) const;
    // The same text without a reference to the buffer, for loops over many cells; valid until the table
    // changes.
    QStringView cellView(int column, int row) const
    {
        const Span span = spanOf(column, row);
        return QStringView(m_text.constData() + span.start, span.length);
    }
    Row row(int index) const;

    // Every cell empty.
    void setRowCount(int rows);
    // Writes the row's record anew; the old one stays in the buffer unused, so a loader writes each row
    // once.
    void setRow(int row, const RowView &cells);
    void setCell(int column, int row, QStringView text);
    void clear();
    // Room for `units` more code units of records, so that filling the table never copies the buffer.
    void reserve(qsizetype units);
    // Gives back the buffer's spare room once the table is filled.
    void squeeze() { m_text.squeeze(); }

    // The most code units a row's record takes beyond its texts: lengths and end marks.
    static constexpr qsizetype kMaxRecordUnits = 2 * ColumnCount + ColumnCount;
    // The memory a table takes at most with `rows` rows, `filledRows` of them with text, and `textUnits`
    // code units of text in all.
    static qint64 bytesNeeded(qint64 rows, qint64 filledRows, qint64 textUnits);

private:
    struct Span {
        qsizetype start = 0;
        qsizetype length = 0;
    };
    Span spanOf(int column, int row) const
    {
        const char16_t *record = reinterpret_cast<const char16_t *>(m_text.constData()) + m_rows[size_t(row)];
        const char16_t *at = record;
        qsizetype before = 0, length = 0;
        for (int k = 0; k < ColumnCount; ++k) {
            qsizetype units = *at++;
            if (units >= kLongLength)
                units = (units - kLongLength) << 16 | *at++;
            if (k < column && units > 0)
                before += units + 1;
            else if (k == column)
                length = units;
        }
        return {(at - record) + m_rows[size_t(row)] + before, length};
    }
    // A length from here on takes two units: this mark plus its high bits, then its low 16 bits.
    static constexpr char16_t kLongLength = 0x8000;

    QString m_text;
    std::vector<quint32> m_rows;
};

// Finishes one raw field as cut from a line: trims the one character on each side that touched a "*",
// unquotes a translation written in spreadsheet quoting and pads a lone digit with "0".
QString finishField(int column, QStringView raw);

// Parses one line into the row's cells. Text after the fifth separator is dropped; fields a short line
// does not reach stay empty.
void parseLine(QStringView line, WordTable::Row &row);

// Fills the table from the dictionary text, one row per line. `beforeLine` is called with each line's
// index before it is parsed, so that a caller can show progress and keep its window responsive.
void parseDictionary(const QStringList &lines, WordTable &table,
                     const std::function<void(int)> &beforeLine = {});
// The same from a dictionary text as it was read from its file.
void parseDictionaryText(const TextLines &lines, WordTable &table,
                         const std::function<void(int)> &beforeLine = {});

// The memory a load of these lines takes at its highest: the file's bytes, the table, the line being
// parsed.
qint64 loadBytesNeeded(const TextLines &lines);
// Whether a dictionary of these lines may be loaded: a load may take three times its file, or
// kSmallLoadBytes whatever the file, so that lines too many or too short for their file (millions of
// empty lines) are refused before the table takes more than its file promised.
inline constexpr qint64 kSmallLoadBytes = qint64(16) << 20;
bool loadFits(const TextLines &lines);
// Reads a dictionary file's lines, refusing a file whose table would not fit.
Result<TextLines> readDictionaryText(const QString &path);

} // namespace wordlark
