#include "dictionary/wordtable.h"

namespace wordlark {
namespace {

constexpr char16_t kSeparator = u'*';
constexpr char16_t kQuote = u'"';

QString unquoteTranslation(QStringView text)
{
    if (text.isEmpty() || text.front() != kQuote || text.back() != kQuote)
        return text.toString();
    if (text.size() == 1)
        return {};
    const QStringView inner = text.sliced(1, text.size() - 2);
    QString result;
    result.reserve(inner.size());
    for (qsizetype i = 0; i < inner.size(); ++i) {
        result.append(inner[i]);
        if (inner[i] == kQuote && i + 1 < inner.size() && inner[i + 1] == kQuote)
            ++i;
    }
    return result;
}

} // namespace

QString finishField(int column, QStringView raw)
{
    const qsizetype dropFront = (column == PinyinColumn) ? 0 : 1;
    const qsizetype dropBack = (column == TranslationColumn) ? 0 : 1;
    QStringView trimmed;
    if (raw.size() > dropFront + dropBack)
        trimmed = raw.sliced(dropFront, raw.size() - dropFront - dropBack);

    QString text = column == TranslationColumn ? unquoteTranslation(trimmed) : trimmed.toString();
    if (text.size() == 1 && text.front() >= u'0' && text.front() <= u'9')
        text.prepend(u'0');
    return text;
}

void parseLine(QStringView line, WordTable::Row &row)
{
    int column = 0;
    qsizetype fieldStart = 0;
    const qsizetype last = line.size() - 1;
    for (qsizetype p = 0; p <= last && column < ColumnCount; ++p) {
        if (line[p] == kSeparator) {
            row[size_t(column)] = finishField(column, line.sliced(fieldStart, p - fieldStart));
            ++column;
            fieldStart = p + 1;
        }
        // The last character also finishes the field it belongs to; after a final "*" that is an empty one.
        if (p == last && column < ColumnCount)
            row[size_t(column)] = finishField(column, line.sliced(fieldStart, p + 1 - fieldStart));
    }
}

void parseDictionary(const QStringList &lines, WordTable &table, const std::function<void(int)> &beforeLine)
{
    const int count = int(lines.size());
    table.setRowCount(count);
    WordTable::Row row;
    for (int i = 0; i < count; ++i) {
        if (beforeLine)
            beforeLine(i);
        if (lines[i].isEmpty())
            continue;
        row = {};
        parseLine(lines[i], row);
        for (int column = 0; column < ColumnCount; ++column)
            table.setCell(column, i, std::move(row[size_t(column)]));
    }
}

} // namespace wordlark
