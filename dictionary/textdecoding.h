#pragma once

#include "dictionary/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

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

// Reads a whole text file (a dictionary) into its decoded lines. A path that names no regular file fails
// without being opened: a FIFO would block the reader and a device could be endless.
Result<QStringList> readTextLines(const QString &path);

} // namespace wordlark
