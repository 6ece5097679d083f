#pragma once

#include "dictionary/result.h"

#include <QByteArrayView>
#include <QString>

namespace wordlark {

// The most lines the help window shows: each line costs the window some microseconds to set up, and a
// manual of 20,000 lines is some four hundred pages.
inline constexpr qsizetype MaxHelpLines = 20000;

// What the help window shows of a help file: the text decoded as any text file of the program, one line
// of the window a line of the file, each line cut as the quiz boxes cut a long field, and after
// MaxHelpLines lines a last line "…". Laying out one line of megabytes, or millions of lines, would keep
// the window from showing for minutes.
QString helpText(QByteArrayView bytes);

// The help file's text, or the message that says why it cannot be shown: "Cannot open file", the full
// path in double quotes, a full stop and the system's reason.
Result<QString> readHelpText(const QString &path);

} // namespace wordlark
