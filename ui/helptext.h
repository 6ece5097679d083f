#pragma once

#include "dictionary/result.h"

#include <QByteArrayView>
#include <QString>

namespace wordlark {

// What the help window shows of a help file: the text decoded as any text file of the program, one line
// of the window a line of the file, each line cut as the quiz boxes cut a long field. Laying out one line
// of megabytes would keep the window from showing for minutes.
QString helpText(QByteArrayView bytes);

// The help file's text, or the message that says why it cannot be shown: "Cannot open file", the full
// path in double quotes, a full stop and the system's reason.
Result<QString> readHelpText(const QString &path);

} // namespace wordlark
