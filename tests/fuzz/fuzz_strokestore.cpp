// Opens arbitrary bytes as the stroke data file and reads characters from whatever opens. SQLite reads
// only files, so each input is written to one file in a memory-backed folder first.

#include "writing/strokestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace wordlark;
    static const QString path =
        QDir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
            .filePath(
                QStringLiteral("wordlark-fuzz-strokes-%1.sqlite").arg(QCoreApplication::applicationPid()));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    Result<std::unique_ptr<StrokeStore>> store = StrokeStore::open(path);
    if (store) {
        for (const QString &character : {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("十")}) {
            (void)(*store)->has(character);
            (void)(*store)->character(character);
        }
    }
    return 0;
}
