// Writes the scheme file the program ships (Data/data1.dat) from its readable table, so that the binary
// file never has to be edited or reviewed by hand.
//
//   wordlark-schemes TABLE OUTPUT

#include "ui/colourscheme.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>
#include <optional>

using namespace wordlark;

namespace {

std::optional<ColourValue> parseColour(const QString &field)
{
    if (field == u"button-face")
        return SystemButtonFace;
    if (field == u"window")
        return SystemWindow;
    if (field == u"window-text")
        return SystemWindowText;
    static const QRegularExpression hex(
        QStringLiteral("^#([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})$"));
    const QRegularExpressionMatch match = hex.match(field);
    if (!match.hasMatch())
        return std::nullopt;
    return colourValue(match.captured(1).toInt(nullptr, 16), match.captured(2).toInt(nullptr, 16),
                       match.captured(3).toInt(nullptr, 16));
}

// One scheme per line: the name and ten colours, tab-separated. Blank lines and lines starting with '#'
// are comments. A line that is not exactly that is an error naming its number.
std::optional<QList<ColourScheme>> parseTable(const QString &text, QString &error)
{
    QList<ColourScheme> schemes;
    const QStringList lines = text.split(u'\n');
    for (qsizetype number = 1; number <= lines.size(); ++number) {
        const QString line = lines[number - 1].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        if (fields.size() != 1 + ColourRoleCount) {
            error = QStringLiteral("line %1: %2 fields, expected a name and %3 colours")
                        .arg(number)
                        .arg(fields.size())
                        .arg(ColourRoleCount);
            return std::nullopt;
        }
        ColourScheme scheme;
        scheme.name = fields[0];
        if (storableSchemeName(scheme.name) != scheme.name) {
            error = QStringLiteral("line %1: the name does not fit the file (100 characters, code page 1251)")
                        .arg(number);
            return std::nullopt;
        }
        for (int role = 0; role < ColourRoleCount; ++role) {
            const std::optional<ColourValue> colour = parseColour(fields[role + 1]);
            if (!colour) {
                error = QStringLiteral("line %1: '%2' is no colour").arg(number).arg(fields[role + 1]);
                return std::nullopt;
            }
            scheme.colours[size_t(role)] = *colour;
        }
        schemes.append(scheme);
    }
    return schemes;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "wordlark-schemes: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return fail(QStringLiteral("usage: wordlark-schemes TABLE OUTPUT"));

    QFile table(arguments[1]);
    if (!table.open(QIODevice::ReadOnly))
        return fail(arguments[1] + QStringLiteral(": ") + table.errorString());
    QString error;
    const std::optional<QList<ColourScheme>> schemes = parseTable(QString::fromUtf8(table.readAll()), error);
    if (!schemes)
        return fail(arguments[1] + QStringLiteral(", ") + error);
    const Result<void> saved = saveColourSchemes(arguments[2], *schemes);
    if (!saved)
        return fail(arguments[2] + QStringLiteral(": ") + saved.error());
    return 0;
}
