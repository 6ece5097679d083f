#include "ui/helptext.h"

#include "dictionary/fileio.h"
#include "dictionary/textdecoding.h"
#include "quiz/candidates.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace wordlark {

QString helpText(QByteArrayView bytes)
{
    QStringList lines = splitLines(decodeText(bytes));
    for (QString &line : lines) {
        if (line.size() > MaxShownFieldLength)
            line = shownField(line);
    }
    return lines.join(u'\n');
}

Result<QString> readHelpText(const QString &path)
{
    const Result<QByteArray> bytes = readFileBytes(path, FileKind::HelpText);
    if (!bytes) {
        const QString fullPath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
        return Failure{QStringLiteral("Cannot open file \"%1\". %2").arg(fullPath, bytes.error())};
    }
    return helpText(*bytes);
}

} // namespace wordlark
