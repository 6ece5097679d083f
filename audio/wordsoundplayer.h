#pragma once

#include "audio/soundfolder.h"

#include <QElapsedTimer>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace wordlark {

// Plays the sound of a word, named from its toned pinyin, from the folder "audio" under the start folder,
// else from the shared sound folder when there is one.
// The media player is a hidden child of the main window called "mp3player"; it keeps the last file open
// until the next word is asked for. Playing never blocks: a new word cuts off the one still sounding.
class WordSoundPlayer final : public QObject {
    Q_OBJECT

public:
    WordSoundPlayer(QObject *parent, const QString &startFolder);
    ~WordSoundPlayer() override;

    // Starts the word's sound and returns at once: the player switches files as soon as the event loop
    // runs, after the question that asked for it has been drawn. Does nothing for an empty pinyin or when
    // the word has no file under either name; a file that cannot be played is reported in a message box.
    void playPinyin(const QString &pinyin);

    QMediaPlayer *mediaPlayer() const { return m_player; }
    QString soundFolderPath() const { return m_folder.folderPath(); }

private:
    void startPending();
    // The back end has done with opening the file it was last given: its sound is connected, or it
    // failed, or it was given none.
    bool currentFileOpen() const;
    void reportError(const QString &errorText);

    QString findSound(const QString &soundName);

    SoundFolder m_folder;
    std::optional<SoundFolder> m_sharedFolder;
    QPointer<QMediaPlayer> m_player;
    // Stopping a sound that still plays takes the back end several milliseconds, too long for the
    // moment between an answer and the next question; the switch waits for the next turn of the event
    // loop (and until the file being opened has its sound connected), and of several requests before it
    // only the last one plays.
    QTimer m_startTimer;
    QUrl m_pendingSource;
    static constexpr qint64 kOpeningMs = 1000;
    QElapsedTimer m_opened; // since the last file was given to the back end
    QPointer<QMessageBox> m_errorBox;
    bool m_errorReported = false; // for the sound last asked for
};

} // namespace wordlark
