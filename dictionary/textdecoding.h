#pragma once

#include "dictionary/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace wordlark {

// Turns the bytes of a text file into Unicode. A byte-order mark decides (UTF-16 LE, UTF-16 BE, UTF-8);
// without one the bytes are read as UTF-8 when they are valid UTF-8 and as code page 1251 otherwise,
// so both old Cyrillic 8-bit files and modern UTF-8 files read right.
QString decodeText(QByteArrayView bytes);

// Code page 1251, the program's own 8-bit encoding.
QString fromCp1251(QByteArrayView bytes);
// Characters the code page cannot hold become '?'; `lossless` tells whether any did.
QByteArray toCp1251(QStringView text, bool *lossless = nullptr);

// The length in units of a line break that begins with `unit`, `next` following it (0 at the end of the
// text): 2 for CR LF, 1 for a lone CR, a lone LF or U+2028, and 0 where no break begins.
constexpr int lineBreakLength(char16_t unit, char16_t next)
{
    if (unit == u'\r')
        return next == u'\n' ? 2 : 1;
    return unit == u'\n' || unit == u'\u2028' ? 1 : 0;
}

// The program's one way of cutting a text into lines, for text in any form. Positions run from `begin` to
// `end` in steps of `step`, the size of one unit; `breakAt(i)` is the length, in positions, of the line
// break that begins at position i, or 0. `line(first, end)` gets the bounds of each line without its
// break and returns whether to go on. A break at the very end starts no further line, and an empty text
// has no lines; every other line counts, empty ones included.
template <typename BreakAt, typename Line>
void forEachLine(qsizetype begin, qsizetype end, qsizetype step, BreakAt breakAt, Line line)
{
    qsizetype start = begin;
    for (qsizetype i = begin; i < end; i += step) {
        const qsizetype length = breakAt(i);
        if (length == 0)
            continue;
        if (!line(start, i))
            return;
        i += length - step;
        start = i + step;
    }
    if (start < end)
        line(start, end);
}

// The same for text held as a string.
template <typename Line> void forEachLine(QStringView text, Line line)
{
    const qsizetype size = text.size();
    forEachLine(
        0, size, 1,
        [text, size](qsizetype i) {
            return lineBreakLength(text[i].unicode(), i + 1 < size ? text[i + 1].unicode() : u'\0');
        },
        line);
}

// Splits at CR LF, lone CR, lone LF and U+2028, as forEachLine() does.
QStringList splitLines(QStringView text);

// A text file's lines as decodeText() and splitLines() would give them, kept as the file's bytes with where
// each line lies and decoded one line at a time: a dictionary of millions of lines held as strings of their
// own would take about three times its file.
class TextLines final {
public:
    TextLines() = default;
    explicit TextLines(QByteArray bytes);

    qsizetype size() const { return qsizetype(m_bounds.size() / 2); }
    bool isEmpty() const { return m_bounds.empty(); }
    QString line(qsizetype index) const;
    // The same into `text`, whose room is reused from line to line.
    void lineInto(qsizetype index, QString &text) const;
    QStringList toStringList() const;

    enum class Encoding { Utf8, Utf16Le, Utf16Be, Cp1251 };

private:
    QByteArray m_bytes;
    Encoding m_encoding = Encoding::Utf8;
    // Per line: where its bytes begin and end, its break left out.
    std::vector<quint32> m_bounds;
};

// Reads a whole text file (a dictionary) into its lines. A path that names no regular file fails without
// being opened: a FIFO would block the reader and a device could be endless.
Result<TextLines> readTextLines(const QString &path);

} // namespace wordlark
