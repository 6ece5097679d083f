#pragma once

#include "dictionary/result.h"
#include "writing/strokedata.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace wordlark {

// The stroke data: per character its strokes' outlines and medians and which strokes make its radical,
// read from the read-only SQLite file Data/strokes.sqlite that the build makes from the data package.
// Any bytes in that file are safe: a file that is not stroke data does not open, and a character whose
// rows are damaged is a character without data.
class StrokeStore final {
public:
    static constexpr int FormatVersion = 1;
    static QString fileName() { return QStringLiteral("strokes.sqlite"); }
    // The statements that make an empty file of this format (the build's converter runs them).
    static QStringList schemaStatements();

    static Result<std::unique_ptr<StrokeStore>> open(const QString &path);
    ~StrokeStore();
    StrokeStore(const StrokeStore &) = delete;
    StrokeStore &operator=(const StrokeStore &) = delete;

    const QString &path() const { return m_path; }
    // The character's strokes, or nothing when the data has none for it. Read once, then kept.
    const CharacterStrokes *character(const QString &character);
    // The data has the character (without reading its strokes).
    bool has(const QString &character) const;

private:
    StrokeStore(QString path, QString connection);
    std::optional<CharacterStrokes> read(const QString &character) const;

    QString m_path;
    QString m_connection;
    QSqlDatabase m_db;
    QHash<QString, std::optional<CharacterStrokes>> m_read;
};

// Where the program finds the stroke data: the working folder's Data/strokes.sqlite when there is one,
// else the installed copy named by setInstalledStrokeData() (empty when there is none).
QString strokeDataPath(const QString &workingFolder);
void setInstalledStrokeData(const QString &path);

} // namespace wordlark
