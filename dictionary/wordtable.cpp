#include "dictionary/wordtable.h"

#include "dictionary/textdecoding.h"

#include <cstring>
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

// Calls `store(column, raw)` for each field of the line that a column takes. A line that ends in "*" ends
// in an empty field.
template <typename Store> void splitFields(QStringView line, Store &&store)
{
    if (line.isEmpty())
        return;
    qsizetype fieldStart = 0;
    for (int column = 0; column < ColumnCount; ++column) {
        const qsizetype separator = line.indexOf(kSeparator, fieldStart);
        if (separator < 0) {
            store(column, line.sliced(fieldStart));
            return;
        }
        store(column, line.sliced(fieldStart, separator - fieldStart));
        fieldStart = separator + 1;
    }
}

// The two-character form "00".."09" of a lone digit, without building a string.
QStringView paddedDigit(char16_t digit)
{
    static constexpr char16_t kPadded[] = u"00010203040506070809";
    return QStringView(kPadded + 2 * (digit - u'0'), 2);
}

bool isLoneDigit(QStringView text)
{
    return text.size() == 1 && text.front() >= u'0' && text.front() <= u'9';
}

// The finished field as a view: of the raw text where the field is part of it, of `unquoted` where it had
// to be unquoted, of a constant for a padded digit.
QStringView finishedField(int column, QStringView raw, QString &unquoted)
{
    const qsizetype dropFront = (column == PinyinColumn) ? 0 : 1;
    const qsizetype dropBack = (column == TranslationColumn) ? 0 : 1;
    QStringView field;
    if (raw.size() > dropFront + dropBack)
        field = raw.sliced(dropFront, raw.size() - dropFront - dropBack);
    if (column == TranslationColumn && !field.isEmpty() && field.front() == kQuote &&
        field.back() == kQuote) {
        unquoted.resize(0);
        unquoteTranslationInto(field, unquoted);
        field = unquoted;
    }
    return isLoneDigit(field) ? paddedDigit(field.front().unicode()) : field;
}

// Finishes the fields of one line into views of the line, of `unquoted` or of constants.
void finishFields(QStringView line, WordTable::RowView &cells, QString &unquoted)
{
    cells = {};
    splitFields(line, [&](int column, QStringView raw) {
        cells[size_t(column)] = finishedField(column, raw, unquoted);
    });
}

// Parses line after line straight into the table's buffer.
template <typename NextLine>
void parseLines(int count, qsizetype textUnits, NextLine &&nextLine, WordTable &table,
                const std::function<void(int)> &beforeLine)
{
    table.setRowCount(count);
    table.reserve(textUnits);
    QString unquoted;
    WordTable::RowView cells;
    for (int i = 0; i < count; ++i) {
        if (beforeLine)
            beforeLine(i);
        const QStringView line = nextLine();
        if (line.isEmpty())
            continue;
        finishFields(line, cells, unquoted);
        table.setRow(i, cells);
    }
    table.squeeze();
}

} // namespace

QString WordTable::cell(int column, int row) const
{
    const Span span = spanOf(column, row);
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
    // The record that every row without text shares.
    m_text = QString(ColumnCount, QChar(0));
    m_rows.assign(size_t(rows), 0);
}

void WordTable::setRow(int row, const RowView &cells)
{
    qsizetype units = 0;
    for (QStringView text : cells)
        units += text.isEmpty() ? 1 : (text.size() < kLongLength ? 1 : 2) + text.size() + 1;
    if (units == ColumnCount) {
        m_rows[size_t(row)] = 0;
        return;
    }
    const qsizetype start = m_text.size();
    if (start + units > qsizetype(std::numeric_limits<quint32>::max()))
        throw std::length_error("word table text beyond 4 Gi code units");
    m_text.resize(start + units);
    char16_t *out = reinterpret_cast<char16_t *>(m_text.data()) + start;
    for (QStringView text : cells) {
        const qsizetype length = text.size();
        if (length < kLongLength) {
            *out++ = char16_t(length);
        } else {
            *out++ = char16_t(kLongLength + (length >> 16));
            *out++ = char16_t(length & 0xFFFF);
        }
    }
    for (QStringView text : cells) {
        if (text.isEmpty())
            continue;
        std::memcpy(out, text.utf16(), size_t(text.size()) * sizeof(char16_t));
        out += text.size();
        *out++ = u'\0';
    }
    m_rows[size_t(row)] = quint32(start);
}

void WordTable::setCell(int column, int row, QStringView text)
{
    const Row old = this->row(row);
    RowView cells;
    for (int k = 0; k < ColumnCount; ++k)
        cells[size_t(k)] = k == column ? text : QStringView(old[size_t(k)]);
    setRow(row, cells);
}

void WordTable::clear()
{
    m_text = QString();
    m_rows = {};
}

void WordTable::reserve(qsizetype units)
{
    m_text.reserve(m_text.size() + units);
}

qint64 WordTable::bytesNeeded(qint64 rows, qint64 filledRows, qint64 textUnits)
{
    const qint64 units = ColumnCount + textUnits + filledRows * kMaxRecordUnits;
    return rows * qint64(sizeof(quint32)) + units * qint64(sizeof(char16_t));
}

QString finishField(int column, QStringView raw)
{
    QString unquoted;
    return finishedField(column, raw, unquoted).toString();
}

void parseLine(QStringView line, WordTable::Row &row)
{
    splitFields(line,
                [&row](int column, QStringView raw) { row[size_t(column)] = finishField(column, raw); });
}

void parseDictionary(const QStringList &lines, WordTable &table, const std::function<void(int)> &beforeLine)
{
    qsizetype units = 0, filled = 0;
    for (const QString &line : lines) {
        units += line.size();
        filled += line.isEmpty() ? 0 : 1;
    }
    int next = 0;
    parseLines(
        int(lines.size()), units + filled * WordTable::kMaxRecordUnits,
        [&] { return QStringView(lines[next++]); }, table, beforeLine);
}

void parseDictionaryText(const TextLines &lines, WordTable &table, const std::function<void(int)> &beforeLine)
{
    TextLines::Reader reader(lines);
    QString line;
    parseLines(
        int(lines.size()), lines.textUnits() + lines.nonEmptyLineCount() * WordTable::kMaxRecordUnits,
        [&] {
            if (!reader.next(line))
                line.resize(0);
            return QStringView(line);
        },
        table, beforeLine);
}

qint64 loadBytesNeeded(const TextLines &lines)
{
    // The line being parsed and a translation unquoted from it are the only texts besides the table's.
    const qint64 lineBuffers = 2 * lines.longestLineUnits() * qint64(sizeof(char16_t));
    return lines.fileSize() + lineBuffers +
           WordTable::bytesNeeded(lines.size(), lines.nonEmptyLineCount(), lines.textUnits());
}

bool loadFits(const TextLines &lines)
{
    return loadBytesNeeded(lines) <= qMax(3 * qint64(lines.fileSize()), kSmallLoadBytes);
}

Result<TextLines> readDictionaryText(const QString &path)
{
    Result<TextLines> lines = readTextLines(path);
    if (lines && !loadFits(*lines)) {
        constexpr double kMiB = 1024.0 * 1024.0;
        return Failure{QStringLiteral("«%1»: слишком много строк для словаря такого размера (%2 строк в "
                                      "файле %3 МБ; таблица слов заняла бы %4 МБ памяти).")
                           .arg(path)
                           .arg(lines->size())
                           .arg(double(lines->fileSize()) / kMiB, 0, 'f', 1)
                           .arg(double(loadBytesNeeded(*lines)) / kMiB, 0, 'f', 1)};
    }
    return lines;
}

} // namespace wordlark
