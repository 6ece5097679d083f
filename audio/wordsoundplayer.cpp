#include "audio/wordsoundplayer.h"

#include "audio/soundname.h"

#include <QAudioOutput>
#include <QDir>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

namespace wordlark {

WordSoundPlayer::WordSoundPlayer(QObject *parent, const QString &startFolder)
    : QObject(parent)
    , m_folder(QDir(startFolder).filePath(QStringLiteral("audio")))
    , m_player(new QMediaPlayer(parent))
{
    if (!sharedSoundFolder().isEmpty())
        m_sharedFolder.emplace(sharedSoundFolder());
    m_player->setObjectName(QStringLiteral("mp3player"));
    m_player->setAudioOutput(new QAudioOutput(m_player));
    m_startTimer.setSingleShot(true);
    m_startTimer.setInterval(0);
    connect(&m_startTimer, &QTimer::timeout, this, &WordSoundPlayer::startPending);
    connect(m_player, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error error, const QString &errorText) {
                // The back end often follows its first complaint about a file with a second, vaguer one.
                if (error == QMediaPlayer::NoError || m_errorReported)
                    return;
                m_errorReported = true;
                reportError(errorText);
            });
}

WordSoundPlayer::~WordSoundPlayer()
{
    // The window owns the player; when this goes first, the player goes with it so no sound outlives
    // the object that started it.
    delete m_player;
}

void WordSoundPlayer::playPinyin(const QString &pinyin)
{
    const QString name = SoundNameFromPinyin(pinyin);
    if (name.isEmpty())
        return;
    const QString path = findSound(name);
    if (path.isEmpty())
        return;

    m_pendingSource = QUrl::fromLocalFile(path);
    m_startTimer.start();
}

QString WordSoundPlayer::findSound(const QString &soundName)
{
    // The learner's own folder wins under either name: a recording saved as NAMEw.mp3 there is heard
    // rather than an installed NAME.mp3 that the learner cannot delete.
    QString path = m_folder.find(soundName);
    if (path.isEmpty() && m_sharedFolder)
        path = m_sharedFolder->find(soundName);
    return path;
}

void WordSoundPlayer::startPending()
{
    const QUrl source = m_pendingSource;
    m_pendingSource.clear();
    if (source.isEmpty() || !m_player)
        return;
    m_player->stop();
    m_errorReported = false;
    // Setting the same source again is ignored by the player, so a file that failed once would stay
    // failed without a word; start it afresh instead.
    if (m_player->source() == source && m_player->error() != QMediaPlayer::NoError)
        m_player->setSource(QUrl());
    m_player->setSource(source);
    m_player->play();
}

void WordSoundPlayer::reportError(const QString &errorText)
{
    const QString text = errorText.isEmpty() ? tr("The sound file cannot be played.") : errorText;
    // The box is modal but not run in a nested event loop: the error arrives from inside the player, and
    // the quiz that asked for the sound has already moved on. A second error while it is up replaces
    // the text rather than stacking boxes.
    if (m_errorBox) {
        m_errorBox->setText(text);
        return;
    }
    auto *box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Wordlark"), text, QMessageBox::Ok,
                                qobject_cast<QWidget *>(parent()));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    m_errorBox = box;
    box->show();
}

} // namespace wordlark
