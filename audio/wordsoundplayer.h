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
// until the next word is asked for. A player whose file does not settle in time is retired and replaced,
// so the name always finds the one that plays the word asked for last. Playing never blocks: a new word cuts
// off the one still sounding.
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

    // The back end has done with opening the player's file: sound has reached the output, or the file
    // ended or failed, or there is none. Only then may the player be given another file or be deleted:
    // the back end connects the decoder to the output on a thread of its own, still after the player
    // reports the file loaded and playing, and replacing the file meanwhile now and then deadlocks it.
    static bool isSettled(const QMediaPlayer *player);

    QString soundFolderPath() const { return m_folder.folderPath(); }

private:
    QMediaPlayer *createPlayer();
    void startPending();
    // Sets the player aside, silent, and deletes it once its back end has settled; a new one takes over.
    void retirePlayer();
    void reportError(const QString &errorText);

    QString findSound(const QString &soundName);

    SoundFolder m_folder;
    std::optional<SoundFolder> m_sharedFolder;
    QPointer<QMediaPlayer> m_player;
    // Stopping a sound that still plays takes the back end several milliseconds, too long for the
    // moment between an answer and the next question; the switch waits for the next turn of the event
    // loop (and until the file being opened has settled), and of several requests before it only the
    // last one plays.
    QTimer m_startTimer;
    QUrl m_pendingSource;
    // A file that has not settled by then is left to a retired player and the word goes to a new one.
    static constexpr qint64 kSettleMs = 1500;
    QElapsedTimer m_opened; // since the last file was given to the back end
    QPointer<QMessageBox> m_errorBox;
    bool m_errorReported = false; // for the sound last asked for
};

} // namespace wordlark
