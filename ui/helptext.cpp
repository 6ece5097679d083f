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
    qsizetype start = 0;
    // The same breaks as splitLines(), found one line at a time, so that a file of only line breaks never
    // becomes millions of strings.
    const auto addLine = [&](qsizetype end) {
        if (lines > 0)
            shown.append(u'\n');
        const QStringView line = all.sliced(start, end - start);
        if (line.size() > MaxShownFieldLength)
            shown.append(shownField(line.toString()));
        else
            shown.append(line);
        ++lines;
    };
    for (qsizetype i = 0; i < all.size(); ++i) {
        const char16_t unit = all[i].unicode();
        if (unit != u'\r' && unit != u'\n' && unit != u'\u2028')
            continue;
        if (lines == MaxHelpLines) {
            shown.append(QStringLiteral("\n…"));
            return shown;
        }
        addLine(i);
        if (unit == u'\r' && i + 1 < all.size() && all[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < all.size()) {
        if (lines == MaxHelpLines)
            shown.append(QStringLiteral("\n…"));
        else
            addLine(all.size());
    }
    return shown;
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
