#pragma once

#include <QHash>
#include <QString>

#include <filesystem>

namespace wordlark {

// The folder of word sounds. Sound packs were made on a system whose file names ignore letter case, so
// "Hànyǔ" must find han4yu3.mp3 as well as Han4yu3.mp3: names are looked up in a listing of the folder,
// keyed without case. The listing is read once and read again when a name is not found and the folder has
// changed since, so files copied into the folder while the program runs are found too, while a word
// without a sound costs one look at the folder's time stamp instead of a new listing.
class SoundFolder final {
public:
    explicit SoundFolder(QString folderPath);

    const QString &folderPath() const { return m_folderPath; }

    // Full path of NAME.mp3, else of the fallback NAMEw.mp3; empty when neither is there or the name is
    // empty.
    QString find(const QString &soundName);

private:
    QString lookUp(const QString &soundName) const;
    void readListing();
    bool folderChangedSinceListing() const;

    QString m_folderPath;
    QHash<QString, QString> m_files; // case-folded file name -> file name as it is on disk
    bool m_listed = false;
    // The folder's modification time when the listing was read, and whether it was too close to the
    // reading to tell a later change apart from it.
    std::filesystem::file_time_type m_listedStamp;
    bool m_stampUncertain = true;
};

// The installed word sounds that every user shares, looked in after the start folder's own "audio", so
// that a recording put there takes the place of an installed sound without touching the installation.
// Empty (no such folder) unless the program runs installed; set once at start, before any window.
void setSharedSoundFolder(const QString &folderPath);
const QString &sharedSoundFolder();

} // namespace wordlark
