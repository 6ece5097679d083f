#include "ui/helptext.h"

#include "dictionary/fileio.h"
#include "dictionary/textdecoding.h"
#include "quiz/candidates.h"

#include <QDir>
#include <QFileInfo>

namespace wordlark {

QString helpText(QByteArrayView bytes)
{
    const QString text = decodeText(bytes);
    const QStringView all(text);
    QString shown;
    qsizetype lines = 0;
    bool cut = false;
    // Found one line at a time, so that a file of only line breaks never becomes millions of strings.
    forEachLine(all, [&](qsizetype begin, qsizetype end) {
        if (lines == MaxHelpLines) {
            cut = true;
            return false;
        }
        if (lines > 0)
            shown.append(u'\n');
        const QStringView line = all.sliced(begin, end - begin);
        if (line.size() > MaxShownFieldLength)
            shown.append(shownField(line.toString()));
        else
            shown.append(line);
        ++lines;
        return true;
    });
    if (cut)
        shown.append(QStringLiteral("\n…"));
    return shown;
}

Result<QString> readHelpText(const QString &path)
{
    const Result<QByteArray> bytes = readFileBytes(path, FileKind::HelpText);
    if (!bytes) {
        const QString fullPath = shownPath(QFileInfo(path).absoluteFilePath());
        return Failure{QStringLiteral("Cannot open file \"%1\". %2").arg(fullPath, bytes.error())};
    }
    return helpText(*bytes);
}

} // namespace wordlark
