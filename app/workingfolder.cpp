#include "app/workingfolder.h"

#include "dictionary/fileio.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>

#include <optional>

namespace wordlark {
namespace {

const QString kDictionaryFolder = QStringLiteral("Dictionary");
const QString kSoundFolder = QStringLiteral("audio");
const QString kSavesFolder = QStringLiteral("Saves");
const QString kStrokeData = QStringLiteral("Data/strokes.sqlite");

using Digests = QHash<QString, QByteArray>; // relative path -> digest of the installed version copied

QByteArray digestOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// The whole file, or nothing when it is not a plain file or cannot be read (a FIFO would block the
// start).
std::optional<QByteArray> readWhole(const QString &path, QString *error = nullptr)
{
    Result<QByteArray> bytes = readFileBytes(path, FileKind::InstalledCopy);
    if (!bytes) {
        if (error)
            *error = bytes.error();
        return std::nullopt;
    }
    return std::move(bytes).value();
}

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    const Result<void> written = writeFileAtomically(path, bytes);
    if (!written)
        *error = written.error();
    return written.ok();
}

// One line per copied file: the digest, a blank, the relative path.
Digests readDigests(const QString &recordPath)
{
    Digests digests;
    const std::optional<QByteArray> text = readWhole(recordPath);
    if (!text)
        return digests;
    for (const QByteArray &line : text->split('\n')) {
        const qsizetype blank = line.indexOf(' ');
        if (blank > 0)
            digests.insert(QString::fromUtf8(line.mid(blank + 1)), line.left(blank));
    }
    return digests;
}

bool writeDigests(const QString &recordPath, const Digests &digests, QString *error)
{
    QStringList paths = digests.keys();
    paths.sort();
    QByteArray text;
    for (const QString &path : paths)
        text += digests.value(path) + ' ' + path.toUtf8() + '\n';
    return writeWhole(recordPath, text, error);
}

// The installed folders and files to copy, relative to the installed folder, in a fixed order. The word
// sounds and the stroke data are left out: they are large, and the program reads them where they are
// installed.
struct InstalledTree {
    QStringList folders;
    QStringList files;
};

InstalledTree installedTree(const QString &installedFolder)
{
    const QDir root(installedFolder);
    InstalledTree tree;
    QDirIterator it(installedFolder, QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = root.relativeFilePath(it.next());
        if (relative == kSoundFolder || relative.startsWith(kSoundFolder + u'/') || relative == kStrokeData)
            continue;
        (it.fileInfo().isDir() ? tree.folders : tree.files).append(relative);
    }
    tree.folders.sort();
    tree.files.sort();
    return tree;
}

} // namespace

WorkingFolder chooseWorkingFolder(const QString &programFolder, const QString &installedDataFolder,
                                  const QString &userDataFolder)
{
    if (QFileInfo(QDir(programFolder).filePath(kDictionaryFolder)).isDir())
        return {QDir::cleanPath(programFolder), true, {}, {}};
    return {QDir::cleanPath(userDataFolder), false,
            QDir::cleanPath(QDir(installedDataFolder).filePath(kSoundFolder)),
            QDir::cleanPath(QDir(installedDataFolder).filePath(kStrokeData))};
}

SeedResult seedUserFolder(const QString &installedDataFolder, const QString &userFolder)
{
    SeedResult result;
    const QDir root(userFolder);
    if (!root.mkpath(QStringLiteral("."))) {
        result.failed.append(userFolder + QStringLiteral(": cannot create the folder"));
        return result;
    }
    const InstalledTree installed = installedTree(installedDataFolder);
    // Every folder the program reads or writes in, even where nothing is installed in it yet.
    for (const QString &folder : QStringList{kSavesFolder, kSoundFolder} + installed.folders) {
        if (!root.mkpath(folder))
            result.failed.append(folder + QStringLiteral(": cannot create the folder"));
    }

    const QString recordPath = root.filePath(QString::fromLatin1(kSeedRecordName));
    Digests digests = readDigests(recordPath);
    bool digestsChanged = false;
    for (const QString &relative : installed.files) {
        QString error;
        const std::optional<QByteArray> source =
            readWhole(QDir(installedDataFolder).filePath(relative), &error);
        if (!source) {
            result.failed.append(relative + QStringLiteral(": ") + error);
            continue;
        }
        const QByteArray installedDigest = digestOf(*source);
        const QString target = root.filePath(relative);
        const QFileInfo targetInfo(target);
        const QByteArray copiedDigest = digests.value(relative);

        QStringList *done = nullptr;
        if (!targetInfo.exists() && !targetInfo.isSymLink()) {
            done = &result.copied;
        } else if (copiedDigest == installedDigest || !targetInfo.isFile()) {
            continue; // up to date, or a folder or link of the user's in its place
        } else {
            const std::optional<QByteArray> current = readWhole(target);
            if (!current)
                continue;
            const QByteArray currentDigest = digestOf(*current);
            if (currentDigest == installedDigest) {
                // Same as installed, however it got there: from now on it follows upgrades.
                digests.insert(relative, installedDigest);
                digestsChanged = true;
                continue;
            }
            // Anything but the very copy the program made is the user's.
            if (copiedDigest.isEmpty() || currentDigest != copiedDigest)
                continue;
            done = &result.updated;
        }

        const bool folderMade = QDir().mkpath(QFileInfo(target).path());
        if (!folderMade)
            error = QStringLiteral("cannot create the folder");
        if (!folderMade || !writeWhole(target, *source, &error)) {
            result.failed.append(relative + QStringLiteral(": ") + error);
            continue;
        }
        done->append(relative);
        digests.insert(relative, installedDigest);
        digestsChanged = true;
    }

    QString error;
    if (digestsChanged && !writeDigests(recordPath, digests, &error))
        result.failed.append(QString::fromLatin1(kSeedRecordName) + QStringLiteral(": ") + error);
    return result;
}

} // namespace wordlark
