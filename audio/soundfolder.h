#pragma once

#include <QHash>
#include <QString>

namespace wordlark {

// The folder of word sounds. Sound packs were made on a system whose file names ignore letter case, so
// "Hànyǔ" must find han4yu3.mp3 as well as Han4yu3.mp3: names are looked up in a listing of the folder,
// keyed without case. The listing is read once and read again whenever a name is not found, so files
// copied into the folder while the program runs are found too.
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

    QString m_folderPath;
    QHash<QString, QString> m_files; // case-folded file name -> file name as it is on disk
    bool m_listed = false;
};

} // namespace wordlark
