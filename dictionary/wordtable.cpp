#include "dictionary/wordtable.h"

#include "dictionary/textdecoding.h"

#include <limits>
#include <stdexcept>

namespace wordlark {
namespace {

constexpr char16_t kSeparator = u'*';
constexpr char16_t kQuote = u'"';

void unquoteTranslationInto(QStringView text, QString &result)
{
    if (text.isEmpty() || text.front() != kQuote || text.back() != kQuote) {
        result.append(text);
        return;
    }
    if (text.size() == 1)
        return;
    const QStringView inner = text.sliced(1, text.size() - 2);
    for (qsizetype i = 0; i < inner.size(); ++i) {
        result.append(inner[i]);
        if (inner[i] == kQuote && i + 1 < inner.size() && inner[i + 1] == kQuote)
            ++i;
    }
}

// Calls `store(column, raw)` for each field of the line that a column takes.
template <typename Store> void splitFields(QStringView line, Store &&store)
{
    int column = 0;
    qsizetype fieldStart = 0;
    const qsizetype last = line.size() - 1;
    for (qsizetype p = 0; p <= last && column < ColumnCount; ++p) {
        if (line[p] == kSeparator) {
            store(column, line.sliced(fieldStart, p - fieldStart));
            ++column;
            fieldStart = p + 1;
        }
        // The last character also finishes the field it belongs to; after a final "*" that is an empty one.
        if (p == last && column < ColumnCount)
            store(column, line.sliced(fieldStart, p + 1 - fieldStart));
    }
}

// Parses line after line straight into the table's buffer, through one reused field text.
template <typename LineAt>
void parseLines(int count, LineAt &&lineAt, WordTable &table, const std::function<void(int)> &beforeLine)
{
    table.setRowCount(count);
    QString field;
    for (int i = 0; i < count; ++i) {
        if (beforeLine)
            beforeLine(i);
        const QStringView line = lineAt(i);
        if (line.isEmpty())
            continue;
        splitFields(line, [&](int column, QStringView raw) {
            finishFieldInto(column, raw, field);
            table.setCell(column, i, field);
        });
    }
    table.squeeze();
}

} // namespace

QString WordTable::cell(int column, int row) const
{
    const Span span = m_cells[index(column, row)];
    if (span.length == 0)
        return {};
    // A copy of the buffer's handle holds one more reference; pointed at the cell, it is the cell's text.
    QString::DataPointer shared = m_text.data_ptr();
    shared.ptr += span.start;
    shared.size = span.length;
    return QString(std::move(shared));
}

WordTable::Row WordTable::row(int index) const
{
    Row cells;
    for (int column = 0; column < ColumnCount; ++column)
        cells[size_t(column)] = cell(column, index);
    return cells;
}

void WordTable::setRowCount(int rows)
{
    m_text.clear();
    m_cells.assign(size_t(rows) * ColumnCount, Span{});
}

void WordTable::setCell(int column, int row, QStringView text)
{
    Span &span = m_cells[index(column, row)];
    if (text.isEmpty()) {
        span = {};
        return;
    }
    if (m_text.size() + text.size() + 1 > qsizetype(std::numeric_limits<quint32>::max()))
        throw std::length_error("word table text beyond 4 Gi code units");
    span = {quint32(m_text.size()), quint32(text.size())};
    m_text.append(text);
    m_text.append(u'\0');
}

void WordTable::clear()
{
    m_text = QString();
    m_cells = {};
}

void finishFieldInto(int column, QStringView raw, QString &text)
{
    text.clear();
    const qsizetype dropFront = (column == PinyinColumn) ? 0 : 1;
    const qsizetype dropBack = (column == TranslationColumn) ? 0 : 1;
    QStringView trimmed;
    if (raw.size() > dropFront + dropBack)
        trimmed = raw.sliced(dropFront, raw.size() - dropFront - dropBack);

    if (column == TranslationColumn)
        unquoteTranslationInto(trimmed, text);
    else
        text.append(trimmed);
    if (text.size() == 1 && text.front() >= u'0' && text.front() <= u'9')
        text.prepend(u'0');
}

QString finishField(int column, QStringView raw)
{
    QString text;
    finishFieldInto(column, raw, text);
    return text;
}

void parseLine(QStringView line, WordTable::Row &row)
{
    splitFields(line,
                [&row](int column, QStringView raw) { row[size_t(column)] = finishField(column, raw); });
}

void parseDictionary(const QStringList &lines, WordTable &table, const std::function<void(int)> &beforeLine)
{
    parseLines(
        int(lines.size()), [&lines](int i) { return QStringView(lines[i]); }, table, beforeLine);
}

void parseDictionaryText(const TextLines &lines, WordTable &table, const std::function<void(int)> &beforeLine)
{
    QString line;
    parseLines(
        int(lines.size()),
        [&](int i) {
            lines.lineInto(i, line);
            return QStringView(line);
        },
        table, beforeLine);
}

} // namespace wordlark
