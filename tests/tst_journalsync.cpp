#include "journal/journal.h"
#include "journal/journalkeeper.h"
#include "journal/journalsync.h"

#include "dictionary/wordtable.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace wordlark;

namespace {

constexpr qint64 HourMs = 3'600'000;
constexpr qint64 DayMs = 24 * HourMs;

qint64 start()
{
    return QDateTime(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC).toMSecsSinceEpoch();
}

// Eight words of two lessons.
const WordTable &words()
{
    static const WordTable table = [] {
        const char16_t *const rows[][3] = {
            {u"nǐ", u"你", u"01"},  {u"hǎo", u"好", u"01"},  {u"mǎ", u"马", u"01"},  {u"shū", u"书", u"01"},
            {u"chá", u"茶", u"02"}, {u"shuǐ", u"水", u"02"}, {u"rén", u"人", u"02"}, {u"dà", u"大", u"02"}};
        WordTable made;
        made.setRowCount(8);
        for (int row = 0; row < 8; ++row) {
            made.setCell(PinyinColumn, row, QString::fromUtf16(rows[row][0]));
            made.setCell(SimplifiedColumn, row, QString::fromUtf16(rows[row][1]));
            made.setCell(FullColumn, row, QString::fromUtf16(rows[row][1]));
            made.setCell(LessonColumn, row, QString::fromUtf16(rows[row][2]));
            made.setCell(TranslationColumn, row, u"слово %1"_s.arg(row));
        }
        return made;
    }();
    return table;
}

// `count` first answers to the words in `rows` in turn, one an hour from `from`, every third one wrong.
bool given(Journal &journal, const std::vector<int> &rows, int count, qint64 from)
{
    for (int i = 0; i < count; ++i) {
        JournalAnswer given = answerToWord(words(), rows[size_t(i) % rows.size()]);
        given.timeMs = from + i * HourMs;
        given.dictionaryPath = u"Dictionary/Dict.dic"_s;
        given.right = i % 3 != 2;
        given.firstOfShowing = true;
        given.answerMs = 900 + i;
        journal.record(given);
    }
    return journal.flush();
}

void answer(Journal &journal, const std::vector<int> &rows, int count, qint64 from)
{
    QVERIFY(given(journal, rows, count, from));
}

std::unique_ptr<Journal> openOrCreate(const QString &path)
{
    auto made = QFileInfo::exists(path) ? Journal::open(path) : Journal::create(path);
    if (!made)
        qWarning() << made.error();
    return made ? std::move(made).value() : nullptr;
}

// Rows of a closed journal's table, each as one text, in key order.
QStringList rowsOf(const QString &path, const QString &select)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"reader"_s);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(select, db);
            while (query.next()) {
                QStringList cells;
                for (int i = 0; i < query.record().count(); ++i) {
                    const QVariant value = query.value(i);
                    cells << (value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'g', 17)
                                                                  : value.toString());
                }
                rows << cells.join(u'|');
            }
        }
    }
    QSqlDatabase::removeDatabase(u"reader"_s);
    return rows;
}

QStringList wordRows(const QString &path)
{
    return rowsOf(path, u"SELECT * FROM words ORDER BY simplified, pinyin"_s);
}

// Every answer as the computers know it: who gave it, in what order, and what it was.
QStringList answerRows(const QString &path)
{
    return rowsOf(path, u"SELECT device, sequence, time_ms, simplified, is_right FROM answers "
                        "ORDER BY device, sequence"_s);
}

// Answers without the name of the computer that gave them.
QStringList answerContents(const QString &path)
{
    return rowsOf(path, u"SELECT time_ms, simplified, pinyin, is_right, answer_ms FROM answers "
                        "ORDER BY time_ms, simplified"_s);
}

bool makeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The child side of the kill test: writes ever longer device files until it is killed.
int writeDeviceFilesUntilKilled(const QString &journalPath, const QString &folder)
{
    auto journal = openOrCreate(journalPath);
    if (!journal)
        return 2;
    JournalSync sync(*journal);
    for (int round = 0;; ++round) {
        if (!given(*journal, {0, 1, 2, 3, 4, 5, 6, 7}, 500, start() + round * 500 * HourMs) ||
            !sync.writeDeviceFile(folder))
            return 3;
        std::printf("written %d\n", round + 1);
        std::fflush(stdout);
    }
}

} // namespace

class TestJournalSync final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void twoComputersEndWithTheSameAnswersAndSchedules_data();
    void twoComputersEndWithTheSameAnswersAndSchedules();
    void mergingAgainChangesNothing();
    void aClockSetBackIsReplayedInTimeOrder();
    void aNewRunReadsAndWritesOnlyWhatChanged();
    void aFileReplacedWhileReadIsReadNextTime();
    void filesThatAreNotWholeAnswerFilesAreSkipped_data();
    void filesThatAreNotWholeAnswerFilesAreSkipped();
    void aFolderThatDisappearsAndComesBack();
    void aCopiedWorkingFolderTakesANewNameAndLosesNothing_data();
    void aCopiedWorkingFolderTakesANewNameAndLosesNothing();
    void aKilledWriterLeavesTheOldFileWhole();
    void anOlderJournalIsMigratedBesideACopy();
    void theKeeperTellsEachProblemOncePerRun();

private:
    QString journalOf(const QString &computer) const
    {
        return m_dir->filePath(computer + u"/journal.sqlite"_s);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
};

void TestJournalSync::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = m_dir->filePath(u"Sync"_s);
    for (const QString &folder : {u"A"_s, u"B"_s, u"Sync"_s})
        QVERIFY(QDir(m_dir->path()).mkpath(folder));
}

void TestJournalSync::twoComputersEndWithTheSameAnswersAndSchedules_data()
{
    QTest::addColumn<bool>("aFirst");
    QTest::addColumn<qint64>("clockOfB"); // how far B's clock is ahead

    QTest::newRow("A syncs first") << true << qint64(0);
    QTest::newRow("B syncs first") << false << qint64(0);
    QTest::newRow("B's clock two hours ahead") << true << 2 * HourMs;
    QTest::newRow("B's clock two hours ahead, B first") << false << 2 * HourMs;
}

void TestJournalSync::twoComputersEndWithTheSameAnswersAndSchedules()
{
    QFETCH(bool, aFirst);
    QFETCH(qint64, clockOfB);
    {
        auto a = openOrCreate(journalOf(u"A"_s));
        auto b = openOrCreate(journalOf(u"B"_s));
        QVERIFY(a && b);
        QVERIFY(a->deviceId() != b->deviceId());
        // Words 2 and 3 are answered on both computers, their answers interleaved in time.
        answer(*a, {0, 1, 2, 3}, 12, start());
        answer(*b, {2, 3, 4, 5}, 10, start() + HourMs / 2 + clockOfB);
        JournalSync syncA(*a);
        JournalSync syncB(*b);
        for (int round = 0; round < 2; ++round) {
            const SyncOutcome first = aFirst ? syncA.synchronise(m_folder) : syncB.synchronise(m_folder);
            const SyncOutcome second = aFirst ? syncB.synchronise(m_folder) : syncA.synchronise(m_folder);
            QVERIFY(first.reached && second.reached);
            QCOMPARE(second.computers, 1);
        }
        const SyncOutcome last = aFirst ? syncA.synchronise(m_folder) : syncB.synchronise(m_folder);
        QCOMPARE(last.computers, 1);
        QCOMPARE(last.newAnswers, 0);
        QCOMPARE(a->knownWordCount(), 6);
        QCOMPARE(b->knownWordCount(), 6);
    }
    const QStringList answers = answerRows(journalOf(u"A"_s));
    QCOMPARE(answers.size(), 22);
    QCOMPARE(answerRows(journalOf(u"B"_s)), answers);
    const QStringList schedules = wordRows(journalOf(u"A"_s));
    QCOMPARE(schedules.size(), 6);
    QCOMPARE(wordRows(journalOf(u"B"_s)), schedules);

    // The schedules are those of all the answers in time order, as a single computer would have made them.
    const QString alone = m_dir->filePath(u"alone.sqlite"_s);
    {
        auto single = openOrCreate(alone);
        QVERIFY(single);
        std::vector<JournalAnswer> all;
        for (int i = 0; i < 12; ++i)
            all.push_back(answerToWord(words(), std::vector<int>{0, 1, 2, 3}[size_t(i % 4)]));
        for (int i = 0; i < 10; ++i)
            all.push_back(answerToWord(words(), std::vector<int>{2, 3, 4, 5}[size_t(i % 4)]));
        for (int i = 0; i < 22; ++i) {
            const bool ofB = i >= 12;
            const int k = ofB ? i - 12 : i;
            all[size_t(i)].timeMs = start() + k * HourMs + (ofB ? HourMs / 2 + clockOfB : 0);
            all[size_t(i)].right = k % 3 != 2;
            all[size_t(i)].firstOfShowing = true;
        }
        std::stable_sort(all.begin(), all.end(),
                         [](const JournalAnswer &x, const JournalAnswer &y) { return x.timeMs < y.timeMs; });
        for (const JournalAnswer &given : all)
            single->record(given);
        QVERIFY(single->flush());
    }
    QCOMPARE(wordRows(alone), schedules);
}

void TestJournalSync::mergingAgainChangesNothing()
{
    auto a = openOrCreate(journalOf(u"A"_s));
    auto b = openOrCreate(journalOf(u"B"_s));
    QVERIFY(a && b);
    answer(*a, {0, 1, 2}, 30, start());
    JournalSync syncA(*a);
    QVERIFY(syncA.writeDeviceFile(m_folder));
    JournalSync syncB(*b);
    const QString file = JournalSync::deviceFilePath(m_folder, a->deviceId());
    QCOMPARE(syncB.mergeFile(file).value(), 30);
    QCOMPARE(syncB.mergeFile(file).value(), 0);
    // Rewritten with more answers, the file brings only those.
    answer(*a, {3}, 5, start() + 100 * HourMs);
    QVERIFY(syncA.writeDeviceFile(m_folder));
    QCOMPARE(syncB.mergeFile(file).value(), 5);
    QCOMPARE(b->knownWordCount(), 4);
}

void TestJournalSync::aNewRunReadsAndWritesOnlyWhatChanged()
{
    auto a = openOrCreate(journalOf(u"A"_s));
    auto b = openOrCreate(journalOf(u"B"_s));
    QVERIFY(a && b);
    answer(*a, {0, 1}, 4, start());
    answer(*b, {2}, 3, start());
    QVERIFY(JournalSync(*a).synchronise(m_folder).reached);
    QVERIFY(JournalSync(*b).synchronise(m_folder).reached);
    const QString fileOfB = JournalSync::deviceFilePath(m_folder, b->deviceId());
    const auto stampOfB = [&] { return QFileInfo(fileOfB).lastModified(); };
    const QDateTime written = stampOfB();

    // The next run of B: nothing changed, so nothing is read or written, and A still counts.
    QStringList read;
    JournalSync nextRun(*b);
    nextRun.setAfterRead([&read](const QString &path) { read << QFileInfo(path).fileName(); });
    const SyncOutcome unchanged = nextRun.synchronise(m_folder);
    QCOMPARE(read, QStringList());
    QCOMPARE(unchanged.computers, 1);
    QCOMPARE(stampOfB(), written);

    answer(*a, {3}, 2, start() + DayMs);
    QVERIFY(JournalSync(*a).synchronise(m_folder).reached);
    QCOMPARE(nextRun.synchronise(m_folder).newAnswers, 2);
    QCOMPARE(read, QStringList{a->deviceId() + u".sqlite"_s});
}

void TestJournalSync::aClockSetBackIsReplayedInTimeOrder()
{
    const auto review = [](int row, bool right, qint64 timeMs) {
        JournalAnswer given = answerToWord(words(), row);
        given.timeMs = timeMs;
        given.right = right;
        given.firstOfShowing = true;
        return given;
    };
    const std::vector<JournalAnswer> inOrder = {review(0, true, start()),
                                                review(0, false, start() + 3 * DayMs),
                                                review(0, true, start() + 9 * DayMs)};
    {
        auto a = openOrCreate(journalOf(u"A"_s));
        auto b = openOrCreate(journalOf(u"B"_s));
        QVERIFY(a && b);
        for (const JournalAnswer &given : inOrder)
            a->record(given);
        QVERIFY(a->flush());
        // B's clock went back between the second and third review, and again before a fourth.
        b->record(inOrder[0]);
        b->record(inOrder[2]);
        QVERIFY(b->flush());
        b->record(inOrder[1]);
        QVERIFY(b->flush());
    }
    QCOMPARE(wordRows(journalOf(u"B"_s)), wordRows(journalOf(u"A"_s)));
}

void TestJournalSync::aFileReplacedWhileReadIsReadNextTime()
{
    auto a = openOrCreate(journalOf(u"A"_s));
    auto b = openOrCreate(journalOf(u"B"_s));
    QVERIFY(a && b);
    JournalSync syncA(*a);
    answer(*a, {0}, 3, start());
    QVERIFY(syncA.writeDeviceFile(m_folder));
    const QString file = JournalSync::deviceFilePath(m_folder, a->deviceId());
    const QByteArray older = bytesOf(file);
    answer(*a, {1}, 3, start() + DayMs);
    QVERIFY(syncA.writeDeviceFile(m_folder));
    const QByteArray newer = bytesOf(file);
    QVERIFY(makeFile(file, older));

    JournalSync syncB(*b);
    bool replaced = false;
    syncB.setAfterRead([&](const QString &path) {
        if (!std::exchange(replaced, true)) {
            QFile::remove(path);
            QVERIFY(makeFile(path, newer));
        }
    });
    const SyncOutcome during = syncB.synchronise(m_folder);
    QVERIFY(replaced);
    QVERIFY(during.reached);
    QCOMPARE(during.newAnswers, 0);
    const SyncOutcome after = syncB.synchronise(m_folder);
    QCOMPARE(after.newAnswers, 6);
    QCOMPARE(after.computers, 1);
}

void TestJournalSync::filesThatAreNotWholeAnswerFilesAreSkipped_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("cut short") << u"cut"_s;
    QTest::newRow("text") << u"text"_s;
    QTest::newRow("another program's database") << u"foreign"_s;
    QTest::newRow("newer version") << u"newer"_s;
    QTest::newRow("empty") << u"empty"_s;
}

void TestJournalSync::filesThatAreNotWholeAnswerFilesAreSkipped()
{
    QFETCH(QString, kind);
    auto a = openOrCreate(journalOf(u"A"_s));
    auto b = openOrCreate(journalOf(u"B"_s));
    auto c = openOrCreate(m_dir->filePath(u"C.sqlite"_s));
    QVERIFY(a && b && c);
    answer(*a, {0, 1}, 40, start());
    answer(*c, {5}, 4, start());
    JournalSync syncA(*a);
    QVERIFY(syncA.writeDeviceFile(m_folder));
    JournalSync syncC(*c);
    QVERIFY(syncC.writeDeviceFile(m_folder));
    const QString good = JournalSync::deviceFilePath(m_folder, a->deviceId());
    const QString bad = JournalSync::deviceFilePath(m_folder, c->deviceId());
    const QByteArray whole = bytesOf(bad);
    if (kind == u"cut") {
        QVERIFY(makeFile(bad, whole.left(whole.size() - 1024)));
    } else if (kind == u"text") {
        QVERIFY(makeFile(bad, "ni3 hao3\n"));
    } else if (kind == u"empty") {
        QVERIFY(makeFile(bad, {}));
    } else if (kind == u"foreign") {
        QFile::remove(bad);
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"foreign"_s);
        db.setDatabaseName(bad);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(u"CREATE TABLE answers (sequence)"_s));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"foreign"_s);
    } else if (kind == u"newer") {
        // A later program's file: its answers wait for this program to be updated.
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"newer"_s);
        db.setDatabaseName(bad);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(u"PRAGMA user_version = %1"_s.arg(JournalSync::FileVersion + 1)));
        QVERIFY(QSqlQuery(db).exec(u"PRAGMA application_id = %1"_s.arg(JournalSync::ApplicationId)));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"newer"_s);
    }
    const QByteArray badBytes = bytesOf(bad);

    JournalSync syncB(*b);
    const SyncOutcome outcome = syncB.synchronise(m_folder);
    QVERIFY(outcome.reached);
    QCOMPARE(outcome.newAnswers, 40);
    QCOMPARE(outcome.newerFiles, kind == u"newer" ? QStringList{bad} : QStringList{});
    QCOMPARE(bytesOf(bad), badBytes);
    QCOMPARE(b->knownWordCount(), 2);
    // Once whole again, the file is read.
    QFile::remove(bad);
    QVERIFY(makeFile(bad, whole));
    QCOMPARE(syncB.synchronise(m_folder).newAnswers, 4);
    QCOMPARE(b->knownWordCount(), 3);
    QCOMPARE(bytesOf(good).isEmpty(), false);
}

void TestJournalSync::aFolderThatDisappearsAndComesBack()
{
    auto a = openOrCreate(journalOf(u"A"_s));
    auto b = openOrCreate(journalOf(u"B"_s));
    QVERIFY(a && b);
    JournalSync syncA(*a);
    JournalSync syncB(*b);
    answer(*a, {0}, 2, start());
    QVERIFY(syncA.synchronise(m_folder).reached);

    const QString away = m_dir->filePath(u"Unplugged"_s);
    QVERIFY(QDir().rename(m_folder, away));
    answer(*a, {1}, 2, start() + DayMs);
    const SyncOutcome missing = syncA.synchronise(m_folder);
    QVERIFY(!missing.reached);
    QCOMPARE(missing.problem, u"папка «%1» не найдена"_s.arg(QDir::toNativeSeparators(m_folder)));
    // Nothing was made in its place.
    QVERIFY(!QFileInfo::exists(m_folder));

    QVERIFY(QDir().rename(away, m_folder));
    QVERIFY(syncA.synchronise(m_folder).reached);
    const SyncOutcome back = syncB.synchronise(m_folder);
    QVERIFY(back.reached);
    QCOMPARE(back.newAnswers, 4);
}

void TestJournalSync::aCopiedWorkingFolderTakesANewNameAndLosesNothing_data()
{
    QTest::addColumn<bool>("copySyncsFirst");
    QTest::addColumn<bool>("bothWriteBeforeReading");
    QTest::newRow("the original syncs first") << false << false;
    QTest::newRow("the copy syncs first") << true << false;
    // Both wrote the same name before either read the other's: the engine keeps one as a conflict copy.
    QTest::newRow("both write at once") << true << true;
}

void TestJournalSync::aCopiedWorkingFolderTakesANewNameAndLosesNothing()
{
    QFETCH(bool, copySyncsFirst);
    QFETCH(bool, bothWriteBeforeReading);
    {
        auto a = openOrCreate(journalOf(u"A"_s));
        QVERIFY(a);
        answer(*a, {0, 1}, 6, start());
        JournalSync syncA(*a);
        QVERIFY(syncA.synchronise(m_folder).reached);
    }
    // The working folder is carried to a second computer.
    QVERIFY(QFile::copy(journalOf(u"A"_s), journalOf(u"B"_s)));
    QString original;
    {
        auto a = openOrCreate(journalOf(u"A"_s));
        auto b = openOrCreate(journalOf(u"B"_s));
        QVERIFY(a && b);
        original = a->deviceId();
        QCOMPARE(b->deviceId(), original);
        answer(*a, {2, 3}, 5, start() + DayMs);
        answer(*b, {3, 4}, 7, start() + DayMs + HourMs / 3);
        JournalSync syncA(*a);
        JournalSync syncB(*b);
        JournalSync &firstSync = copySyncsFirst ? syncB : syncA;
        JournalSync &secondSync = copySyncsFirst ? syncA : syncB;
        if (bothWriteBeforeReading) {
            const QString file = JournalSync::deviceFilePath(m_folder, original);
            QVERIFY(firstSync.writeDeviceFile(m_folder));
            QVERIFY(QFile::rename(
                file, m_dir->filePath(u"Sync/Wordlark/%1.sync-conflict-1.sqlite"_s.arg(original))));
            QVERIFY(secondSync.writeDeviceFile(m_folder));
        }
        for (int round = 0; round < 3; ++round) {
            QVERIFY(firstSync.synchronise(m_folder).reached);
            QVERIFY(secondSync.synchronise(m_folder).reached);
        }
        // Exactly one of them took a new name.
        QVERIFY(a->deviceId() != b->deviceId());
        QVERIFY(a->deviceId() == original || b->deviceId() == original);
    }
    const QStringList answers = answerContents(journalOf(u"A"_s));
    QCOMPARE(answers.size(), 18);
    QCOMPARE(QStringList(answers).removeDuplicates(), 0);
    QCOMPARE(answerContents(journalOf(u"B"_s)), answers);
    QCOMPARE(answerRows(journalOf(u"B"_s)), answerRows(journalOf(u"A"_s)));
    QCOMPARE(wordRows(journalOf(u"B"_s)), wordRows(journalOf(u"A"_s)));
}

void TestJournalSync::aKilledWriterLeavesTheOldFileWhole()
{
    const QString path = journalOf(u"A"_s);
    QString device;
    {
        auto a = openOrCreate(path);
        QVERIFY(a);
        device = a->deviceId();
    }
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {u"--write-device-files"_s, path, m_folder});
    QVERIFY(child.waitForStarted());
    int seen = 0;
    while (seen < 3 && child.waitForReadyRead(20000)) {
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith("written "))
                seen = line.mid(8).toInt();
        }
    }
    QVERIFY2(seen >= 3, child.readAllStandardError().constData());
    child.kill();
    QVERIFY(child.waitForFinished());

    // Whatever the kill interrupted, the file under the final name is a whole one.
    auto b = openOrCreate(journalOf(u"B"_s));
    QVERIFY(b);
    JournalSync syncB(*b);
    const Result<int> merged = syncB.mergeFile(JournalSync::deviceFilePath(m_folder, device));
    QVERIFY2(merged, qPrintable(merged.error()));
    QVERIFY(*merged >= 3 * 500);
    QCOMPARE(*merged % 500, 0);
}

void TestJournalSync::anOlderJournalIsMigratedBesideACopy()
{
    const QString path = journalOf(u"A"_s);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"old"_s);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString &statement :
             {u"CREATE TABLE answers (time_ms INTEGER NOT NULL, dictionary TEXT NOT NULL, pinyin TEXT NOT "
              u"NULL,"
              " simplified TEXT NOT NULL, full TEXT NOT NULL, lesson TEXT NOT NULL, is_right INTEGER NOT "
              "NULL,"
              " typed INTEGER NOT NULL, first_of_showing INTEGER NOT NULL, answer_ms INTEGER NOT NULL)"_s,
              u"CREATE TABLE words (simplified TEXT NOT NULL, pinyin TEXT NOT NULL, stability REAL NOT NULL,"
              " difficulty REAL NOT NULL, due_ms INTEGER NOT NULL, repetitions INTEGER NOT NULL,"
              " lapses INTEGER NOT NULL, last_review_ms INTEGER NOT NULL, PRIMARY KEY (simplified, pinyin))"
              " WITHOUT ROWID"_s,
              u"INSERT INTO answers VALUES (1000, 'd', 'nǐ', '你', '你', '01', 1, 0, 1, 700)"_s,
              u"INSERT INTO answers VALUES (2000, 'd', 'nǐ', '你', '你', '01', 0, 0, 0, 800)"_s,
              u"INSERT INTO words VALUES ('你', 'nǐ', 2.3, 2.1, 86401000, 1, 0, 1000)"_s,
              u"PRAGMA user_version = 1"_s})
            QVERIFY2(query.exec(statement), qPrintable(statement));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"old"_s);
    }
    QString device;
    {
        auto journal = openOrCreate(path);
        QVERIFY(journal);
        // An older journal is brought up to this version once its file has been checked.
        QSignalSpy stopped(journal.get(), &Journal::stopped);
        QVERIFY2(journal->waitForCheck(), qPrintable(stopped.value(0).value(0).toString()));
        device = journal->deviceId();
        QCOMPARE(device.size(), 16);
        QCOMPARE(journal->knownWordCount(), 1);
        answer(*journal, {1}, 1, start());
    }
    // The copy is the journal as it was: version 1, its two answers.
    QCOMPARE(rowsOf(path + u".v1"_s, u"PRAGMA user_version"_s), QStringList{u"1"_s});
    QCOMPARE(rowsOf(path + u".v1"_s, u"SELECT answer_ms FROM answers ORDER BY rowid"_s),
             QStringList({u"700"_s, u"800"_s}));
    QCOMPARE(rowsOf(path, u"PRAGMA user_version"_s), QStringList{u"3"_s});
    QCOMPARE(rowsOf(path, u"SELECT device, sequence, written, answer_ms FROM answers ORDER BY sequence"_s),
             QStringList({device + u"|1|0|700"_s, device + u"|2|0|800"_s, device + u"|3|0|900"_s}));
    QCOMPARE(rowsOf(path, u"SELECT value FROM settings WHERE name = 'device'"_s), QStringList{device});
    auto again = openOrCreate(path);
    QVERIFY(again);
    QCOMPARE(again->deviceId(), device);
}

void TestJournalSync::theKeeperTellsEachProblemOncePerRun()
{
    const QString newer = m_dir->filePath(u"Sync/Wordlark/0123456789abcdef.sqlite"_s);
    QVERIFY(QDir().mkpath(QFileInfo(newer).path()));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"newer"_s);
        db.setDatabaseName(newer);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(u"PRAGMA application_id = %1"_s.arg(JournalSync::ApplicationId)));
        QVERIFY(QSqlQuery(db).exec(u"PRAGMA user_version = %1"_s.arg(JournalSync::FileVersion + 1)));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"newer"_s);
    }
    auto keeper = std::make_unique<JournalKeeper>(m_dir->filePath(u"A"_s));
    QSignalSpy messages(keeper.get(), &JournalKeeper::syncMessage);
    QVERIFY(keeper->turnOn());
    QCOMPARE(keeper->syncStatus().folderChosen, false);
    QVERIFY(keeper->setSyncFolder(m_folder));
    QCOMPARE(keeper->syncFolder(), m_folder);
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0][0].toString().contains(u"более новой версией"_s));
    QVERIFY(keeper->syncStatus().lastSyncMs > 0);
    QVERIFY(keeper->syncStatus().problem.isEmpty());

    const QString away = m_dir->filePath(u"Unplugged"_s);
    QVERIFY(QDir().rename(m_folder, away));
    keeper->syncNow();
    keeper->syncNow();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages[1][0].toString(),
             u"Папка синхронизации «%1» недоступна: папка «%1» не найдена. Урок продолжится; ответы будут "
             "переданы, когда папка снова будет доступна."_s.arg(QDir::toNativeSeparators(m_folder)));
    QCOMPARE(keeper->syncStatus().problem,
             u"папка «%1» не найдена"_s.arg(QDir::toNativeSeparators(m_folder)));
    QVERIFY(syncSummary(keeper->syncStatus(), 0).contains(u"Папка синхронизации недоступна"_s));
    QVERIFY(QDir().rename(away, m_folder));
    keeper->syncNow();
    QCOMPARE(messages.size(), 2);
    QVERIFY(keeper->syncStatus().problem.isEmpty());

    // The folder is kept in the journal, for the next run, until the learner turns synchronising off.
    keeper.reset();
    JournalKeeper nextRun(m_dir->filePath(u"A"_s));
    QVERIFY(nextRun.openIfPresent());
    QCOMPARE(nextRun.syncFolder(), m_folder);
    QVERIFY(nextRun.stopSync());
    QCOMPARE(nextRun.syncFolder(), QString());
    QCOMPARE(nextRun.syncStatus().folderChosen, false);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--write-device-files") == 0)
        return writeDeviceFilesUntilKilled(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestJournalSync test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_journalsync.moc"
