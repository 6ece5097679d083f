#pragma once

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
// The cells' texts lie one after the other in one buffer, each followed by a NUL, and a cell is where its
// text starts and how long it is: a table of millions of words costs about its text, not an allocation per
// cell. A cell read as a QString shares that buffer and holds a reference to it, so it stays valid however
// long it is kept, and changing it copies it first, as with any shared string.
class WordTable final {
public:
    using Row = std::array<QString, ColumnCount>;

    int rowCount() const { return int(m_cells.size() / ColumnCount); }
    QString cell(int column, int row) const;
    // The same text without a reference to the buffer, for loops over many cells; valid until the table
    // changes.
    QStringView cellView(int column, int row) const
    {
        const Span span = m_cells[index(column, row)];
        return QStringView(m_text.constData() + span.start, span.length);
    }
    Row row(int index) const;

    // Every cell empty.
    void setRowCount(int rows);
    void setCell(int column, int row, QStringView text);
    void clear();
    // Gives back the buffer's spare room once the table is filled.
    void squeeze() { m_text.squeeze(); }

private:
    struct Span {
        quint32 start = 0;
        quint32 length = 0;
    };
    static size_t index(int column, int row) { return size_t(row) * ColumnCount + size_t(column); }

    QString m_text;
    std::vector<Span> m_cells;
};

// Finishes one raw field as cut from a line: trims the one character on each side that touched a "*",
// unquotes a translation written in spreadsheet quoting and pads a lone digit with "0".
QString finishField(int column, QStringView raw);
// The same into `text`, whose room is reused from field to field.
void finishFieldInto(int column, QStringView raw, QString &text);

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

} // namespace wordlark
