#include "audio/wordsoundplayer.h"

#include "audio/soundname.h"

#include <QAudioOutput>
#include <QDir>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

#include <utility>

namespace wordlark {

WordSoundPlayer::WordSoundPlayer(QObject *parent, const QString &startFolder)
    : QObject(parent)
    , m_folder(QDir(startFolder).filePath(QStringLiteral("audio")))
{
    if (!sharedSoundFolder().isEmpty())
        m_sharedFolder.emplace(sharedSoundFolder());
    m_startTimer.setSingleShot(true);
    m_startTimer.setInterval(0);
    connect(&m_startTimer, &QTimer::timeout, this, &WordSoundPlayer::startPending);
    m_player = createPlayer();
}

QMediaPlayer *WordSoundPlayer::createPlayer()
{
    auto *player = new QMediaPlayer(parent());
    player->setObjectName(QStringLiteral("mp3player"));
    player->setAudioOutput(new QAudioOutput(player));
    connect(player, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error error, const QString &errorText) {
                // The back end often follows its first complaint about a file with a second, vaguer one.
                if (error == QMediaPlayer::NoError || m_errorReported)
                    return;
                m_errorReported = true;
                reportError(errorText);
            });
    // A word asked for while the last one was being opened starts once that is done.
    const auto startIfPending = [this] {
        if (!m_pendingSource.isEmpty())
            m_startTimer.start();
    };
    connect(player, &QMediaPlayer::hasAudioChanged, this, startIfPending);
    connect(player, &QMediaPlayer::positionChanged, this, startIfPending);
    connect(player, &QMediaPlayer::mediaStatusChanged, this, startIfPending);
    connect(player, &QMediaPlayer::errorOccurred, this, startIfPending);
    return player;
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
    if (m_pendingSource.isEmpty() || !m_player)
        return;
    // The next word waits until the last one has settled, which takes milliseconds; should that never
    // be said, the unsettled player is set aside rather than given a new file, and a new one plays.
    if (!isSettled(m_player)) {
        if (!m_opened.hasExpired(kSettleMs)) {
            QTimer::singleShot(kSettleMs - m_opened.elapsed(), this, &WordSoundPlayer::startPending);
            return;
        }
        retirePlayer();
    }
    const QUrl source = std::exchange(m_pendingSource, QUrl());
    m_opened.start();
    m_errorReported = false;
    // Setting the same source again is ignored by the player, so a file that failed once would stay
    // failed without a word; start it afresh instead.
    if (m_player->source() == source && m_player->error() != QMediaPlayer::NoError)
        m_player->setSource(QUrl());
    m_player->setSource(source);
    m_player->play();
}

bool WordSoundPlayer::isSettled(const QMediaPlayer *player)
{
    if (player->source().isEmpty() || player->error() != QMediaPlayer::NoError)
        return true;
    // The player says it has audio once the decoder offers it, before it is connected; a position
    // beyond the start means sound has gone through to the output.
    if (player->hasAudio() && player->position() > 0)
        return true;
    const QMediaPlayer::MediaStatus status = player->mediaStatus();
    return status == QMediaPlayer::NoMedia || status == QMediaPlayer::InvalidMedia ||
           status == QMediaPlayer::EndOfMedia;
}

void WordSoundPlayer::retirePlayer()
{
    QMediaPlayer *old = m_player;
    disconnect(old, nullptr, this, nullptr);
    old->setObjectName(QString());
    // Muting only sets a property of the output; it changes no state of the back end.
    old->audioOutput()->setMuted(true);
    const auto deleteOnceSettled = [old] {
        if (isSettled(old))
            old->deleteLater();
    };
    connect(old, &QMediaPlayer::hasAudioChanged, old, deleteOnceSettled);
    connect(old, &QMediaPlayer::positionChanged, old, deleteOnceSettled);
    connect(old, &QMediaPlayer::mediaStatusChanged, old, deleteOnceSettled);
    connect(old, &QMediaPlayer::errorOccurred, old, deleteOnceSettled);
    m_player = createPlayer();
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
