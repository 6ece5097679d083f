#pragma once

#include <QString>
#include <QStringList>

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

// The dictionary in memory: one row per line of the dictionary text, blank lines included, so a word's
// index is its line number. Other parts only read cells.
class WordTable final {
public:
    using Row = std::array<QString, ColumnCount>;

    int rowCount() const { return int(m_rows.size()); }
    const QString &cell(int column, int row) const { return m_rows[size_t(row)][size_t(column)]; }
    const Row &row(int index) const { return m_rows[size_t(index)]; }

    void setRowCount(int rows) { m_rows.assign(size_t(rows), Row{}); }
    void setCell(int column, int row, QString text) { m_rows[size_t(row)][size_t(column)] = std::move(text); }
    void clear() { m_rows.clear(); }

private:
    std::vector<Row> m_rows;
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

} // namespace wordlark
