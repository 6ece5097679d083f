#pragma once

#include "dictionary/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <utility>

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

// The program's one way of cutting a string into lines: `line(first, end)` gets the bounds of each line
// without its break and returns whether to go on. A break at the very end starts no further line, and an
// empty text has no lines; every other line counts, empty ones included.
template <typename Line> void forEachLine(QStringView text, Line line)
{
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const int length = lineBreakLength(text[i].unicode(), i + 1 < size ? text[i + 1].unicode() : u'\0');
        if (length == 0)
            continue;
        if (!line(start, i))
            return;
        i += length - 1;
        start = i + 1;
    }
    if (start < size)
        line(start, size);
}

// Splits at CR LF, lone CR, lone LF and U+2028, as forEachLine() does.
QStringList splitLines(QStringView text);

// A text file's lines as decodeText() and splitLines() would give them, kept as the file's bytes and
// decoded one line at a time as they are read in order: a dictionary of millions of lines held as strings
// of their own would take about three times its file. Nothing is kept per line, so a file of millions of
// empty lines costs no more than its bytes until its lines are used.
class TextLines final {
public:
    TextLines() = default;
    explicit TextLines(QByteArray bytes);

    qsizetype size() const { return m_lineCount; }
    bool isEmpty() const { return m_lineCount == 0; }
    QStringList toStringList() const;

    // What the lines hold at most, for what a table of them may need: the UTF-16 code units of the text
    // without its breaks, the lines that are not empty, and the units of the longest line.
    qsizetype textUnits() const { return m_textUnits; }
    qsizetype nonEmptyLineCount() const { return m_nonEmptyLines; }
    qsizetype longestLineUnits() const { return m_longestLine; }
    qsizetype fileSize() const { return m_bytes.size(); }

    enum class Encoding { Utf8, Utf16Le, Utf16Be, Cp1251 };

    // Goes through the lines from the first.
    class Reader final {
    public:
        explicit Reader(const TextLines &lines);
        // Decodes the next line into `line`, whose room is reused from line to line; false after the last.
        bool next(QString &line);

    private:
        const TextLines &m_lines;
        qsizetype m_position;
    };

private:
    // Where the line that begins at `begin` ends, and where the next one begins (past its break).
    std::pair<qsizetype, qsizetype> lineEnd(qsizetype begin) const;
    void decodeInto(qsizetype begin, qsizetype end, QString &line) const;
    void count();

    QByteArray m_bytes;
    Encoding m_encoding = Encoding::Utf8;
    qsizetype m_textStart = 0;
    qsizetype m_textEnd = 0; // in UTF-16, a last odd byte is no unit
    qsizetype m_lineCount = 0;
    qsizetype m_nonEmptyLines = 0;
    qsizetype m_textUnits = 0;
    qsizetype m_longestLine = 0;
};

// Reads a whole text file (a dictionary) into its lines. A path that names no regular file fails without
// being opened: a FIFO would block the reader and a device could be endless.
Result<TextLines> readTextLines(const QString &path);

} // namespace wordlark
