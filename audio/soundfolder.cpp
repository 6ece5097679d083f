#include "audio/soundfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>

namespace wordlark {
namespace {

QString keyOf(const QString &fileName)
{
    return fileName.toCaseFolded();
}

} // namespace

SoundFolder::SoundFolder(QString folderPath)
    : m_folderPath(std::move(folderPath))
{
}

QString SoundFolder::find(const QString &soundName)
{
    if (soundName.isEmpty())
        return {};
    const bool freshListing = !m_listed;
    if (freshListing)
        readListing();
    QString path = lookUp(soundName);
    // A file deleted or renamed since the listing was read would only give the player an error.
    if (!freshListing && (path.isEmpty() ? folderChangedSinceListing() : !QFileInfo::exists(path))) {
        readListing();
        path = lookUp(soundName);
    }
    return path;
}

QString SoundFolder::lookUp(const QString &soundName) const
{
    for (const QString &candidate :
         {soundName + QStringLiteral(".mp3"), soundName + QStringLiteral("w.mp3")}) {
        const auto it = m_files.constFind(keyOf(candidate));
        if (it != m_files.constEnd())
            return QDir(m_folderPath).filePath(it.value());
    }
    return {};
}

namespace {

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace

bool SoundFolder::folderChangedSinceListing() const
{
    std::error_code error;
    const auto stamp = std::filesystem::last_write_time(nativePath(m_folderPath), error);
    return m_stampUncertain || error || stamp != m_listedStamp;
}

void SoundFolder::readListing()
{
    m_listed = true;
    std::error_code error;
    m_listedStamp = std::filesystem::last_write_time(nativePath(m_folderPath), error);
    // A change within the clock's coarse steps right after this reading could leave the stamp as it is;
    // until the folder is older than that, a miss reads the listing again as before.
    constexpr auto kStampSlack = std::chrono::seconds(2);
    m_stampUncertain = error || std::filesystem::file_time_type::clock::now() - m_listedStamp < kStampSlack;
    m_files.clear();
    // Sorted, so that of two names differing only in case the same one wins on every run.
    const QStringList names = QDir(m_folderPath).entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        const QString key = keyOf(name);
        if (!m_files.contains(key))
            m_files.insert(key, name);
    }
}

namespace {

QString &sharedSoundFolderPath()
{
    static QString path;
    return path;
}

} // namespace

void setSharedSoundFolder(const QString &folderPath)
{
    sharedSoundFolderPath() = folderPath;
}

const QString &sharedSoundFolder()
{
    return sharedSoundFolderPath();
}

} // namespace wordlark
