// Converts the stroke data package (one JSON file a character: "strokes", "medians", "radStrokes") into
// the read-only SQLite file the program reads, Data/strokes.sqlite. Every outline and median is checked
// with the program's own readers; a character with anything unreadable is left out and counted.
//   wordlark-strokedata PACKAGE_FOLDER OUTPUT_FILE

#include "writing/strokedata.h"
#include "writing/strokestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cstdio>

using namespace wordlark;

namespace {

struct StrokeRow {
    QString outline;
    QString median;
    bool radical = false;
};

// The rows of one character's file, or none when anything in it is unreadable.
std::optional<std::vector<StrokeRow>> readCharacter(const QByteArray &json)
{
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    const QJsonArray strokes = object.value(u"strokes").toArray();
    const QJsonArray medians = object.value(u"medians").toArray();
    if (strokes.isEmpty() || strokes.size() != medians.size())
        return std::nullopt;
    std::vector<StrokeRow> rows(size_t(strokes.size()));
    for (qsizetype i = 0; i < strokes.size(); ++i) {
        StrokeRow &row = rows[size_t(i)];
        row.outline = strokes[i].toString();
        if (!parseStrokePath(row.outline))
            return std::nullopt;
        StrokeMedian median;
        for (const QJsonValue &point : medians[i].toArray()) {
            const QJsonArray xy = point.toArray();
            if (xy.size() != 2 || !xy[0].isDouble() || !xy[1].isDouble())
                return std::nullopt;
            median.emplace_back(xy[0].toDouble(), xy[1].toDouble());
        }
        row.median = medianText(median);
        if (!parseMedian(row.median))
            return std::nullopt;
    }
    for (const QJsonValue &index : object.value(u"radStrokes").toArray()) {
        const int stroke = index.toInt(-1);
        if (stroke < 0 || stroke >= int(rows.size()))
            return std::nullopt;
        rows[size_t(stroke)].radical = true;
    }
    return rows;
}

QString versionOf(const QString &packageFolder)
{
    QFile file(QDir(packageFolder).filePath(QStringLiteral("package.json")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value(u"version").toString();
}

int fail(const QString &message)
{
    std::fprintf(stderr, "wordlark-strokedata: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3)
        return fail(QStringLiteral("usage: wordlark-strokedata PACKAGE_FOLDER OUTPUT_FILE"));
    const QString packageFolder = arguments[1];
    const QString output = arguments[2];
    const QString partial = output + QStringLiteral(".part");
    QFile::remove(partial);

    int written = 0;
    int skipped = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("out"));
        db.setDatabaseName(partial);
        if (!db.open())
            return fail(db.lastError().text());
        QSqlQuery query(db);
        for (const QString &statement : StrokeStore::schemaStatements())
            if (!query.exec(statement))
                return fail(query.lastError().text());
        db.transaction();
        query.prepare(QStringLiteral("INSERT INTO source (key, value) VALUES (?, ?)"));
        const QList<std::pair<QString, QString>> source{
            {QStringLiteral("package"), QStringLiteral("hanzi-writer-data")},
            {QStringLiteral("version"), versionOf(packageFolder)},
            {QStringLiteral("licence"), QStringLiteral("Arphic Public License (ARPHICPL.TXT)")}};
        for (const auto &[key, value] : source) {
            query.addBindValue(key);
            query.addBindValue(value);
            if (!query.exec())
                return fail(query.lastError().text());
        }
        query.prepare(QStringLiteral(
            "INSERT INTO strokes (character, stroke, outline, median, radical) VALUES (?, ?, ?, ?, ?)"));
        QStringList files = QDir(packageFolder).entryList({QStringLiteral("*.json")}, QDir::Files);
        files.sort();
        for (const QString &name : files) {
            const QString character = QFileInfo(name).completeBaseName();
            if (character == u"package" || writtenCharacters(character).size() != 1)
                continue;
            QFile file(QDir(packageFolder).filePath(name));
            std::optional<std::vector<StrokeRow>> rows;
            if (file.open(QIODevice::ReadOnly))
                rows = readCharacter(file.readAll());
            if (!rows) {
                ++skipped;
                continue;
            }
            for (size_t i = 0; i < rows->size(); ++i) {
                query.addBindValue(character);
                query.addBindValue(int(i));
                query.addBindValue((*rows)[i].outline);
                query.addBindValue((*rows)[i].median);
                query.addBindValue(int((*rows)[i].radical));
                if (!query.exec())
                    return fail(query.lastError().text());
            }
            ++written;
        }
        if (!db.commit())
            return fail(db.lastError().text());
        query.exec(QStringLiteral("VACUUM"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("out"));
    if (written == 0)
        return fail(QStringLiteral("no character in %1").arg(packageFolder));
    QFile::remove(output);
    if (!QFile::rename(partial, output))
        return fail(QStringLiteral("cannot write %1").arg(output));
    std::printf("%d characters written, %d left out\n", written, skipped);
    return 0;
}
