// Playing word sounds through the main window's hidden media player, headless. Sound files are made by the
// test: silent MP3 frames written byte by byte, a real spoken word from espeak-ng and lame when they are
// installed, and junk that no decoder accepts.

#include "audio/soundfolder.h"
#include "audio/wordsoundplayer.h"

#include <QApplication>
#include <QAudioOutput>
#include <QDir>
#include <QFile>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>

using wordlark::WordSoundPlayer;

namespace {

// MPEG-1 layer III silence, a second for every 38 frames: 128 kbit/s, 44.1 kHz, mono frames of 417 bytes
// whose side information and main data are all zero.
QByteArray silentMp3(int frames = 38)
{
    QByteArray frame(417, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = char(0xC0);
    return frame.repeated(frames);
}

// Closes every modal box that comes up and notes what it said. It polls, because the box of a player error
// comes whenever the back end gets to it; armed before the sound is asked for, it would also answer a box
// run in a nested event loop.
class ModalCloser final : public QObject {
public:
    ModalCloser()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                const auto *box = qobject_cast<QMessageBox *>(modal);
                m_texts.append(box ? box->text() : QStringLiteral("(not a message box)"));
                m_parents.append(modal->parentWidget());
                modal->close();
            }
        });
        m_timer.start(20);
    }
    ~ModalCloser() override { closeAll(); }

    int seen() const { return int(m_texts.size()); }
    const QStringList &texts() const { return m_texts; }
    const QList<QWidget *> &parents() const { return m_parents; }

    static void closeAll()
    {
        // Bounded: a box that refused to close would otherwise keep this loop going for ever.
        for (int guard = 0; guard < 10; ++guard) {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                break;
            modal->close();
        }
    }

private:
    QTimer m_timer;
    QStringList m_texts;
    QList<QWidget *> m_parents;
};

// Whether the statuses seen since a sound was asked for show the new file loaded and then played to its
// end. The player may still report the end of the file before for a moment after it is given a new one,
// so an end counts only after a status of the new file.
bool reachedItsOwnEnd(const QSignalSpy &statuses)
{
    bool loaded = false;
    for (const QList<QVariant> &arguments : statuses) {
        const auto status = arguments.at(0).value<QMediaPlayer::MediaStatus>();
        if (status == QMediaPlayer::EndOfMedia && loaded)
            return true;
        if (status != QMediaPlayer::EndOfMedia)
            loaded = true;
    }
    return false;
}

// The player plays, or played, the file it was last given. Without a sound server the back end now and
// then plays silence faster than real time, so "playing now" would depend on the machine's speed.
bool startedPlaying(const QMediaPlayer *player)
{
    return player->playbackState() == QMediaPlayer::PlayingState ||
           player->mediaStatus() == QMediaPlayer::EndOfMedia;
}

} // namespace

class TestSoundPlayer final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void playerIsChildOfWindow();
    void choosesFile_data();
    void choosesFile();
    void playsToTheEnd_data();
    void playsToTheEnd();
    void brokenFileIsReported();
    void secondErrorDoesNotStackBoxes();
    void wordsAskedInQuickSuccessionEndWithTheLast();
    void learnersOwnSoundsComeBeforeTheSharedOnes();

private:
    QString audioPath(const QString &fileName) const
    {
        return QDir(m_start.path()).filePath("audio/" + fileName);
    }
    void write(const QString &fileName, const QByteArray &bytes) const;

    QTemporaryDir m_start;
    QString m_spokenFile; // empty when espeak-ng or lame is missing
    std::unique_ptr<QWidget> m_window;
    WordSoundPlayer *m_sound = nullptr;
};

void TestSoundPlayer::write(const QString &fileName, const QByteArray &bytes) const
{
    QFile file(audioPath(fileName));
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

void TestSoundPlayer::initTestCase()
{
    QVERIFY(m_start.isValid());
    QVERIFY(QDir(m_start.path()).mkdir("audio"));
    // Words that a test checks while they play last long enough that no slow machine sees them end
    // first; the one played to its end is short.
    for (const char *name :
         {"hao3.mp3", "Han4Yu3.MP3", "ma1maw.mp3", "xie4xie.mp3", "xie4xiew.mp3", "ni3.mp3"})
        write(name, silentMp3(20 * 38));
    write("duan3.mp3", silentMp3());
    write("huai4.mp3", QByteArray("this is no sound at all\n").repeated(40));
    write("cuo4.mp3", QByteArray(4096, '\x5A'));

    const QString espeak = QStandardPaths::findExecutable("espeak-ng");
    const QString lame = QStandardPaths::findExecutable("lame");
    if (espeak.isEmpty() || lame.isEmpty())
        return;
    QProcess speaker;
    QProcess encoder;
    speaker.setStandardOutputProcess(&encoder);
    encoder.start(lame, {"-b", "32", "--quiet", "-", audioPath("ni3hao3.mp3")});
    speaker.start(espeak, {"-v", "cmn-latn-pinyin", "--stdout", "ni3 hao3"});
    QVERIFY(speaker.waitForFinished(30000));
    QVERIFY(encoder.waitForFinished(30000));
    QCOMPARE(encoder.exitCode(), 0);
    QVERIFY(QFileInfo(audioPath("ni3hao3.mp3")).size() > 1000);
    m_spokenFile = audioPath("ni3hao3.mp3");
}

void TestSoundPlayer::init()
{
    m_window = std::make_unique<QWidget>();
    m_sound = new WordSoundPlayer(m_window.get(), m_start.path());
}

void TestSoundPlayer::cleanup()
{
    ModalCloser::closeAll();
    // A player is not taken down while its back end still opens a file.
    if (m_window)
        for (const QMediaPlayer *player : m_window->findChildren<QMediaPlayer *>())
            QTRY_VERIFY_WITH_TIMEOUT(WordSoundPlayer::isSettled(player), 20000);
    m_window.reset();
    m_sound = nullptr;
}

void TestSoundPlayer::playerIsChildOfWindow()
{
    auto *player = m_window->findChild<QMediaPlayer *>("mp3player");
    QVERIFY(player);
    QCOMPARE(player, m_sound->mediaPlayer());
    QVERIFY(player->audioOutput());
    QCOMPARE(m_sound->soundFolderPath(), QDir(m_start.path()).filePath("audio"));

    // The window owns the player, and the sound object takes it along when it goes first.
    QPointer<QMediaPlayer> guard(player);
    delete m_sound;
    QVERIFY(guard.isNull());
}

void TestSoundPlayer::choosesFile_data()
{
    QTest::addColumn<QString>("pinyin");
    QTest::addColumn<QString>("file"); // empty: the player is given nothing new
    const auto row = [](const char *tag, const QString &pinyin, const QString &file) {
        QTest::newRow(tag) << pinyin << file;
    };

    row("exact name", "hǎo", "hao3.mp3");
    row("letter case ignored", "Hànyǔ", "Han4Yu3.MP3");
    row("w fallback", "māma", "ma1maw.mp3");
    row("plain name before w", "xièxie", "xie4xie.mp3");
    row("no file", "xué", "");
    row("empty pinyin", "", "");
    row("only blanks", "  ", "");
}

void TestSoundPlayer::choosesFile()
{
    QFETCH(QString, pinyin);
    QFETCH(QString, file);

    // Another word is still sounding: a word with a file cuts it off, one without leaves it alone. The
    // player is looked up each time: one whose back end is slow to open a file is replaced.
    const auto player = [this] { return m_sound->mediaPlayer(); };
    m_sound->playPinyin("nǐ");
    QTRY_COMPARE(player()->source(), QUrl::fromLocalFile(audioPath("ni3.mp3")));
    QTRY_VERIFY(startedPlaying(player()));
    m_sound->playPinyin(pinyin);
    // The player switches files on the next turn of the event loop.
    QCoreApplication::processEvents();
    QTRY_COMPARE(player()->source(), QUrl::fromLocalFile(audioPath(file.isEmpty() ? "ni3.mp3" : file)));
    QTRY_VERIFY(startedPlaying(player()));
}

void TestSoundPlayer::playsToTheEnd_data()
{
    QTest::addColumn<QString>("pinyin");
    QTest::addColumn<bool>("spoken");

    QTest::newRow("silent frames") << "duǎn" << false;
    QTest::newRow("spoken word") << "nǐhǎo" << true;
}

void TestSoundPlayer::playsToTheEnd()
{
    QFETCH(QString, pinyin);
    QFETCH(bool, spoken);
    if (spoken && m_spokenFile.isEmpty())
        QSKIP("espeak-ng and lame are needed to make a spoken word");

    QMediaPlayer *player = m_sound->mediaPlayer();
    QSignalSpy errors(player, &QMediaPlayer::errorOccurred);
    ModalCloser closer;
    QSignalSpy firstPlay(player, &QMediaPlayer::mediaStatusChanged);
    m_sound->playPinyin(pinyin);
    // Loaded, then played to its end without an error, is the proof that the file was decoded. The
    // duration is no proof: for a file this short the back end now and then reaches the end before it
    // has reported any.
    QTRY_VERIFY_WITH_TIMEOUT(reachedItsOwnEnd(firstPlay), 30000);

    // The same word again starts from the beginning although the player still holds the file.
    QSignalSpy secondPlay(player, &QMediaPlayer::mediaStatusChanged);
    m_sound->playPinyin(pinyin);
    QTRY_COMPARE_WITH_TIMEOUT(player->playbackState(), QMediaPlayer::PlayingState, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(reachedItsOwnEnd(secondPlay), 30000);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(closer.seen(), 0);
}

void TestSoundPlayer::brokenFileIsReported()
{
    QMediaPlayer *player = m_sound->mediaPlayer();
    QSignalSpy errors(player, &QMediaPlayer::errorOccurred);
    ModalCloser closer; // armed before the sound is asked for
    m_sound->playPinyin("huài");
    QTRY_COMPARE(player->source(), QUrl::fromLocalFile(audioPath("huai4.mp3")));
    QTRY_COMPARE_WITH_TIMEOUT(closer.seen(), 1, 20000);
    QVERIFY(!errors.isEmpty());
    QVERIFY(!closer.texts().constFirst().isEmpty());
    QCOMPARE(closer.texts().constFirst(), errors.constFirst().at(1).toString());
    QCOMPARE(closer.parents().constFirst(), m_window.get());

    // Asked for again, the same file is tried and reported again.
    m_sound->playPinyin("huài");
    QTRY_COMPARE_WITH_TIMEOUT(closer.seen(), 2, 20000);

    // The program carries on: the next word plays.
    QSignalSpy laterErrors(player, &QMediaPlayer::errorOccurred);
    m_sound->playPinyin("hǎo");
    QTRY_COMPARE(player->source(), QUrl::fromLocalFile(audioPath("hao3.mp3")));
    QTRY_VERIFY(startedPlaying(player));
    QCOMPARE(laterErrors.count(), 0);
}

void TestSoundPlayer::secondErrorDoesNotStackBoxes()
{
    QMediaPlayer *player = m_sound->mediaPlayer();
    QStringList errorsOfSecondFile;
    connect(player, &QMediaPlayer::errorOccurred, this, [&](QMediaPlayer::Error, const QString &text) {
        if (player->source() == QUrl::fromLocalFile(audioPath("cuo4.mp3")))
            errorsOfSecondFile.append(text);
    });
    m_sound->playPinyin("huài");
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget() != nullptr, 20000);
    m_sound->playPinyin("cuò");
    QTRY_VERIFY_WITH_TIMEOUT(!errorsOfSecondFile.isEmpty(), 20000);

    const QList<QMessageBox *> boxes = m_window->findChildren<QMessageBox *>();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(QApplication::activeModalWidget(), boxes.constFirst());
    QCOMPARE(boxes.constFirst()->text(), errorsOfSecondFile.constFirst());
    boxes.constFirst()->close();
    QTRY_VERIFY(m_window->findChildren<QMessageBox *>().isEmpty()); // it deletes itself once closed
    QVERIFY(!QApplication::activeModalWidget());
}

// A learner who answers quickly asks for the next word while the last one is still being opened; the
// player waits with it until the last one has settled (replacing a file while the back end still connects
// its decoder deadlocked the back end now and then), and then plays the word asked for last.
void TestSoundPlayer::wordsAskedInQuickSuccessionEndWithTheLast()
{
    for (int run = 0; run < 3; ++run) {
        QWidget window;
        WordSoundPlayer sound(&window, m_start.path());
        for (const char *pinyin : {"nǐ", "hǎo", "Hànyǔ", "xièxie"}) {
            sound.playPinyin(pinyin);
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(sound.mediaPlayer()->source(), QUrl::fromLocalFile(audioPath("xie4xie.mp3")));
        QTRY_VERIFY(startedPlaying(sound.mediaPlayer()));
        // A player is not taken down while it opens a file.
        QTRY_VERIFY_WITH_TIMEOUT(WordSoundPlayer::isSettled(sound.mediaPlayer()), 20000);
    }
}

void TestSoundPlayer::learnersOwnSoundsComeBeforeTheSharedOnes()
{
    QTemporaryDir shared;
    for (const char *name : {"hao3.mp3", "lv4cha2.mp3", "ma1ma.mp3"}) {
        QFile file(shared.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(silentMp3());
    }
    wordlark::setSharedSoundFolder(shared.path());
    WordSoundPlayer sound(m_window.get(), m_start.path());
    wordlark::setSharedSoundFolder({});

    const QList<std::pair<QString, QString>> heard = {
        {"hǎo", audioPath("hao3.mp3")},
        {"lǜchá", shared.filePath("lv4cha2.mp3")},
        // The learner's fallback name beats the shared pack's exact one.
        {"māma", audioPath("ma1maw.mp3")},
    };
    for (const auto &[pinyin, file] : heard) {
        sound.playPinyin(pinyin);
        QTRY_COMPARE(sound.mediaPlayer()->source(), QUrl::fromLocalFile(file));
    }
    // A player is not taken down while it opens a file.
    QTRY_VERIFY_WITH_TIMEOUT(WordSoundPlayer::isSettled(sound.mediaPlayer()), 20000);
}

int main(int argc, char *argv[])
{
    // The audio stack looks for a private runtime folder; give it one that goes away with the test.
    QTemporaryDir runtimeDir;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    QApplication app(argc, argv);
    TestSoundPlayer test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_soundplayer.moc"
