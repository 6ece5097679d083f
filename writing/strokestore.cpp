#include "writing/strokestore.h"

#include "dictionary/fileio.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

#include <atomic>

namespace wordlark {
namespace {

QString &installedStrokeData()
{
    static QString path;
    return path;
}

QString newConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("wordlark-strokes-%1").arg(++counter);
}

Failure missing(const QString &path)
{
    return {QStringLiteral("Нет файла с чертами иероглифов «%1».").arg(shownPath(path))};
}

Failure damaged(const QString &path)
{
    return {
        QStringLiteral("Файл с чертами иероглифов «%1» повреждён или не того формата.").arg(shownPath(path))};
}

// Read-only and immutable: the file is data shipped with the program, never written while it runs,
// so SQLite needs neither locks nor side files (the installed copy lies in a folder no user can write).
QString databaseUri(const QString &path)
{
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=ro&immutable=1"));
    return uri.toString(QUrl::FullyEncoded);
}

// A character every version of the data has: reading it proves the file is usable.
const QString kProbeCharacter = QStringLiteral("一");

} // namespace

QStringList StrokeStore::schemaStatements()
{
    return {QStringLiteral("CREATE TABLE strokes ("
                           " character TEXT NOT NULL,"
                           " stroke INTEGER NOT NULL,"
                           " outline TEXT NOT NULL,"
                           " median TEXT NOT NULL,"
                           " radical INTEGER NOT NULL,"
                           " PRIMARY KEY (character, stroke)) WITHOUT ROWID"),
            QStringLiteral("CREATE TABLE source (key TEXT PRIMARY KEY, value TEXT NOT NULL)"),
            QStringLiteral("PRAGMA user_version = %1").arg(FormatVersion)};
}

StrokeStore::StrokeStore(QString path, QString connection)
    : m_path(std::move(path))
    , m_connection(std::move(connection))
{
}

StrokeStore::~StrokeStore()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

Result<std::unique_ptr<StrokeStore>> StrokeStore::open(const QString &path)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        return Failure{missing(path)};
    if (!file.isFile() || file.size() == 0)
        return Failure{damaged(path)};

    std::unique_ptr<StrokeStore> store(new StrokeStore(path, newConnectionName()));
    store->m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), store->m_connection);
    store->m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
    store->m_db.setDatabaseName(databaseUri(path));
    if (!store->m_db.open())
        return Failure{damaged(path)};
    QSqlQuery query(store->m_db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next() ||
        query.value(0).toInt() != FormatVersion)
        return Failure{damaged(path)};
    if (!store->character(kProbeCharacter))
        return Failure{damaged(path)};
    return store;
}

const CharacterStrokes *StrokeStore::character(const QString &character)
{
    auto found = m_read.find(character);
    if (found == m_read.end())
        found = m_read.insert(character, read(character));
    return found->has_value() ? &**found : nullptr;
}

bool StrokeStore::has(const QString &character) const
{
    if (const auto found = m_read.constFind(character); found != m_read.cend())
        return found->has_value();
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT 1 FROM strokes WHERE character = ? LIMIT 1"));
    query.addBindValue(character);
    return query.exec() && query.next();
}

std::optional<CharacterStrokes> StrokeStore::read(const QString &character) const
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT stroke, outline, median, radical FROM strokes WHERE character = ? ORDER BY stroke"));
    query.addBindValue(character);
    if (!query.exec())
        return std::nullopt;
    CharacterStrokes strokes;
    strokes.character = character;
    while (query.next()) {
        // The strokes must come numbered 0, 1, 2, … with nothing missing.
        if (query.value(0).toLongLong() != qint64(strokes.medians.size()))
            return std::nullopt;
        std::optional<StrokeOutline> outline = parseStrokePath(query.value(1).toString());
        std::optional<StrokeMedian> median = parseMedian(query.value(2).toString());
        if (!outline || !median)
            return std::nullopt;
        strokes.outlines.push_back(std::move(*outline));
        strokes.medians.push_back(std::move(*median));
        strokes.radical.push_back(query.value(3).toInt() != 0);
    }
    // A read that stopped on damage is not a whole character.
    if (query.lastError().isValid() || strokes.medians.empty())
        return std::nullopt;
    return strokes;
}

QString strokeDataPath(const QString &workingFolder)
{
    const QString own = QDir(workingFolder).filePath(QStringLiteral("Data/") + StrokeStore::fileName());
    if (QFileInfo::exists(own) || installedStrokeData().isEmpty())
        return own;
    return installedStrokeData();
}

void setInstalledStrokeData(const QString &path)
{
    installedStrokeData() = path;
}

} // namespace wordlark
