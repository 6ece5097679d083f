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

// Splits at CR LF, lone CR, lone LF and U+2028. A break at the very end starts no further line, and an
// empty text has no lines; every other line counts, empty ones included.
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
