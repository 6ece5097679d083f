#pragma once

// Journal files as only faults make them, read and changed outside the journal's own code.

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

namespace testutil {

// The value of one SQL query on a database, read once the journal has let go of it.
inline QVariant valueIn(const QString &path, const QString &sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reader"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(sql, db);
            if (query.next())
                value = query.value(0);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("reader"));
    return value;
}

// Spoils the first page of the journal's index of answers, as a bad sector or a torn copy does: SQLite
// still opens the file and reads the words, and only a check of the whole file finds the damage.
inline bool damageAnswerIndex(const QString &path)
{
    const qint64 pageSize = valueIn(path, QStringLiteral("PRAGMA page_size")).toLongLong();
    const qint64 page =
        valueIn(path, QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'answers_by_time'"))
            .toLongLong();
    QFile file(path);
    return pageSize > 0 && page > 1 && file.open(QIODevice::ReadWrite) && file.seek((page - 1) * pageSize) &&
           file.write("\x42", 1) == 1;
}

} // namespace testutil
