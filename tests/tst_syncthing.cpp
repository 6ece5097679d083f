// Two journals synchronised through a real file-sync engine: two Syncthing instances on 127.0.0.1 only,
// each with a home of its own (no discovery, no relays, no announcements, no other address), share one
// folder between the two journals' sync folders. A answers and syncs; once the engine has carried A's file
// over, B merges it; then the other way round; both end with the same `words` rows. Every wait has a
// deadline, and both instances are stopped whatever happens (also if this program dies).
//
// Part of the suite (about 4 s, most of it waiting on the engine) and run alone by scripts/sync-check.sh;
// skipped where syncthing is not installed.

#include "journal/journal.h"
#include "journal/journalkeeper.h"
#include "journal/journalsync.h"

#include "dictionary/wordtable.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace wordlark;

namespace {

constexpr int DeadlineMs = 60'000;

// A TCP port on 127.0.0.1 that nothing listens on now.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

// True once something accepts connections on 127.0.0.1:`port`.
bool listening(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(quint16(port));
    const bool accepted =
        fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return accepted;
}

QString run(const QStringList &arguments)
{
    QProcess process;
    process.start(u"syncthing"_s, arguments);
    if (!process.waitForFinished(20'000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

struct Instance {
    QString home;
    QString folder;
    QString id;
    int port = 0;
};

const char *const ConfigTemplate = R"(<configuration version="36">
    <folder id="wordlark" label="wordlark" path="%FOLDER%" type="sendreceive" rescanIntervalS="2" fsWatcherEnabled="true" fsWatcherDelayS="1" ignorePerms="false" autoNormalize="true">
        <filesystemType>basic</filesystemType>
        <device id="%SELF%" introducedBy=""></device>
        <device id="%OTHER%" introducedBy=""></device>
        <minDiskFree unit="%">0</minDiskFree>
        <markerName>.stfolder</markerName>
    </folder>
    <device id="%SELF%" name="self" compression="metadata" introducer="false" skipIntroductionRemovals="false" introducedBy="">
        <address>tcp://127.0.0.1:%SELFPORT%</address>
        <paused>false</paused>
    </device>
    <device id="%OTHER%" name="other" compression="metadata" introducer="false" skipIntroductionRemovals="false" introducedBy="">
        <address>tcp://127.0.0.1:%OTHERPORT%</address>
        <paused>false</paused>
    </device>
    <gui enabled="false" tls="false" debugging="false">
        <address>127.0.0.1:0</address>
    </gui>
    <options>
        <listenAddress>tcp://127.0.0.1:%SELFPORT%</listenAddress>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <relaysEnabled>false</relaysEnabled>
        <natEnabled>false</natEnabled>
        <reconnectionIntervalS>1</reconnectionIntervalS>
        <startBrowser>false</startBrowser>
        <urAccepted>-1</urAccepted>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <crashReportingEnabled>false</crashReportingEnabled>
        <announceLANAddresses>false</announceLANAddresses>
        <setLowPriority>false</setLowPriority>
        <minHomeDiskFree unit="%">0</minHomeDiskFree>
    </options>
</configuration>
)";

bool writeConfig(const Instance &self, const Instance &other)
{
    QString config = QString::fromLatin1(ConfigTemplate);
    config.replace(u"%FOLDER%"_s, self.folder)
        .replace(u"%SELF%"_s, self.id)
        .replace(u"%OTHER%"_s, other.id)
        .replace(u"%SELFPORT%"_s, QString::number(self.port))
        .replace(u"%OTHERPORT%"_s, QString::number(other.port));
    QFile file(self.home + u"/config.xml"_s);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(config.toUtf8()) > 0;
}

// One running instance; stopped when it goes out of scope, and killed by the system if this program dies.
class RunningEngine final {
public:
    explicit RunningEngine(const Instance &instance)
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"STNORESTART"_s, u"1"_s);
        environment.insert(u"STNOUPGRADE"_s, u"1"_s);
        m_process.setProcessEnvironment(environment);
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_process.start(u"syncthing"_s, {u"serve"_s, u"--home=%1"_s.arg(instance.home), u"--no-browser"_s,
                                         u"--no-restart"_s, u"--no-upgrade"_s, u"--no-default-folder"_s});
    }
    ~RunningEngine()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    RunningEngine(const RunningEngine &) = delete;
    RunningEngine &operator=(const RunningEngine &) = delete;

    bool started() { return m_process.waitForStarted(10'000); }
    QByteArray log() { return m_output += m_process.readAll(); }

private:
    QProcess m_process;
    QByteArray m_output;
};

const WordTable &words()
{
    static const WordTable table = [] {
        const char16_t *const rows[][2] = {{u"nǐ", u"你"},  {u"hǎo", u"好"}, {u"mǎ", u"马"},
                                           {u"shū", u"书"}, {u"chá", u"茶"}, {u"shuǐ", u"水"}};
        WordTable made;
        made.setRowCount(6);
        for (int row = 0; row < 6; ++row) {
            made.setCell(PinyinColumn, row, QString::fromUtf16(rows[row][0]));
            made.setCell(SimplifiedColumn, row, QString::fromUtf16(rows[row][1]));
            made.setCell(LessonColumn, row, u"01"_s);
        }
        return made;
    }();
    return table;
}

void answerWords(JournalKeeper &keeper, const std::vector<int> &rows)
{
    keeper.useDictionary(words(), u"Dictionary/Dict.dic"_s);
    for (size_t i = 0; i < rows.size(); ++i) {
        keeper.questionAsked();
        keeper.answerGiven(Answer{rows[i], 1, i % 3 != 1, false, true});
    }
    keeper.writeNow();
    keeper.syncNow();
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList wordRows(const QString &path)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"reader"_s);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(u"SELECT * FROM words ORDER BY simplified, pinyin"_s, db);
            while (query.next()) {
                QStringList cells;
                for (int i = 0; i < query.record().count(); ++i)
                    cells << query.value(i).toString();
                rows << cells.join(u'|');
            }
        }
    }
    QSqlDatabase::removeDatabase(u"reader"_s);
    return rows;
}

} // namespace

class SyncthingCheck final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoJournalsMeetThroughSyncthing();
};

void SyncthingCheck::twoJournalsMeetThroughSyncthing()
{
    if (QStandardPaths::findExecutable(u"syncthing"_s).isEmpty())
        QSKIP("syncthing is not installed (scripts/install-deps.sh syncthing)");
    const QDeadlineTimer deadline(DeadlineMs);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Instance a{dir.filePath(u"homeA"_s), dir.filePath(u"syncA"_s), {}, freePort()};
    Instance b{dir.filePath(u"homeB"_s), dir.filePath(u"syncB"_s), {}, freePort()};
    for (Instance *instance : {&a, &b}) {
        QVERIFY(QDir().mkpath(instance->folder + u"/.stfolder"_s));
        run({u"generate"_s, u"--home=%1"_s.arg(instance->home), u"--no-default-folder"_s});
        instance->id = run({u"--home=%1"_s.arg(instance->home), u"--device-id"_s});
        QVERIFY2(instance->id.size() > 50, qPrintable(instance->id));
        QVERIFY(instance->port > 0);
    }
    QVERIFY(writeConfig(a, b));
    QVERIFY(writeConfig(b, a));

    // B starts once A listens, so that B's first dial finds A: a dial that fails waits for the engine's
    // next round, which can take half a minute.
    RunningEngine engineA(a);
    QVERIFY(engineA.started());
    QVERIFY2(QTest::qWaitFor([&] { return listening(a.port); }, int(deadline.remainingTime())),
             engineA.log().constData());
    RunningEngine engineB(b);
    QVERIFY(engineB.started());

    const QString journalA = dir.filePath(u"A/journal.sqlite"_s);
    const QString journalB = dir.filePath(u"B/journal.sqlite"_s);
    QVERIFY(QDir().mkpath(dir.filePath(u"A"_s)) && QDir().mkpath(dir.filePath(u"B"_s)));
    {
        JournalKeeper keeperA(dir.filePath(u"A"_s));
        JournalKeeper keeperB(dir.filePath(u"B"_s));
        QVERIFY(keeperA.turnOn() && keeperB.turnOn());
        QVERIFY(keeperA.setSyncFolder(a.folder) && keeperB.setSyncFolder(b.folder));
        const QString idA = keeperA.journal()->deviceId();
        const QString idB = keeperB.journal()->deviceId();

        // Waits until the engine has brought the file that `from` wrote into `to`'s folder, whole.
        const auto carried = [&](const QString &from, const QString &to, const QString &device) {
            const QByteArray written = bytesOf(JournalSync::deviceFilePath(from, device));
            const QString arrived = JournalSync::deviceFilePath(to, device);
            return !written.isEmpty() && QTest::qWaitFor([&] { return bytesOf(arrived) == written; },
                                                         int(deadline.remainingTime()));
        };

        answerWords(keeperA, {0, 1, 2, 3, 0, 1});
        QVERIFY2(carried(a.folder, b.folder, idA), (engineA.log() + engineB.log()).constData());
        keeperB.syncNow();
        QCOMPARE(keeperB.syncStatus().computers, 1);
        QCOMPARE(keeperB.journal()->knownWordCount(), 4);

        answerWords(keeperB, {2, 3, 4, 5, 2});
        QVERIFY2(carried(b.folder, a.folder, idB), (engineA.log() + engineB.log()).constData());
        keeperA.syncNow();
        QCOMPARE(keeperA.syncStatus().computers, 1);
        QCOMPARE(keeperA.journal()->knownWordCount(), 6);
        // Only the two computers' own files, no conflict copies.
        const QStringList files = QDir(a.folder + u"/Wordlark"_s).entryList({u"*.sqlite"_s}, QDir::Files);
        QCOMPARE(files.size(), 2);
        qInfo("both ways carried after %lld ms", qint64(DeadlineMs - deadline.remainingTime()));
    }
    const QStringList rowsA = wordRows(journalA);
    QCOMPARE(rowsA.size(), 6);
    QCOMPARE(wordRows(journalB), rowsA);
}

QTEST_GUILESS_MAIN(SyncthingCheck)

#include "tst_syncthing.moc"
