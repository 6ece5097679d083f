#include "journal/journal.h"
#include "journal/journalkeeper.h"

#include "badinput.h"
#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"
#include "journalfiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace wordlark;

using testutil::damageAnswerIndex;
using testutil::entriesOf;
using testutil::FileSizeLimit;
using testutil::valueIn;

namespace {

constexpr qint64 DayMs = 86'400'000;

qint64 utc(int y, int m, int d, int h = 12, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), Qt::UTC).toMSecsSinceEpoch();
}

// Three lessons: 01 holds rows 0-2, 02 rows 3-4, 03 row 5.
WordTable smallTable()
{
    const QStringList words[] = {
        {u"nǐ"_s, u"你"_s, u"你"_s, u"01"_s, u"ты"_s},
        {u"hǎo"_s, u"好"_s, u"好"_s, u"01"_s, u"хороший"_s},
        {u"mǎ"_s, u"马"_s, u"馬"_s, u"01"_s, u"лошадь"_s},
        {u"shū"_s, u"书"_s, u"書"_s, u"02"_s, u"книга"_s},
        {u"chá"_s, u"茶"_s, u"茶"_s, u"02"_s, u"чай"_s},
        {u"shuǐ"_s, u"水"_s, u"水"_s, u"03"_s, u"вода"_s},
    };
    WordTable table;
    table.setRowCount(6);
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < ColumnCount; ++column)
            table.setCell(column, row, words[row][column]);
    return table;
}

LessonList lessonsOf(const WordTable &table, std::vector<bool> chosen = {true, true, true})
{
    LessonList lessons;
    lessons.build(table);
    lessons.countSelected(chosen);
    return lessons;
}

JournalAnswer answerFor(const WordTable &table, int row, bool right, qint64 timeMs, bool first = true)
{
    JournalAnswer answer = answerToWord(table, row);
    answer.timeMs = timeMs;
    answer.dictionaryPath = u"Dictionary/Dict.dic"_s;
    answer.right = right;
    answer.firstOfShowing = first;
    answer.answerMs = 1500;
    return answer;
}

std::unique_ptr<Journal> created(const QString &path)
{
    auto made = Journal::create(path);
    if (!made)
        qWarning() << made.error();
    return made ? std::move(made).value() : nullptr;
}

std::unique_ptr<Journal> opened(const QString &path)
{
    auto made = Journal::open(path);
    if (!made)
        qWarning() << made.error();
    return made ? std::move(made).value() : nullptr;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Makes an SQLite database outside the journal's code, for files that are databases but no journal.
bool makeDatabase(const QString &path, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"foreign"_s);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery query(db);
        for (const QString &statement : statements)
            ok = ok && query.exec(statement);
    }
    QSqlDatabase::removeDatabase(u"foreign"_s);
    return ok;
}

// A file's bytes and the time it was last written.
struct FileState {
    QByteArray bytes;
    QDateTime modified;
    bool operator==(const FileState &) const = default;
};

FileState stateOf(const QString &path)
{
    return {bytesOf(path), QFileInfo(path).lastModified()};
}

// A new journal with one answer written.
std::unique_ptr<Journal> writtenOnce(const QString &path, const WordTable &table)
{
    auto journal = created(path);
    if (journal)
        journal->record(answerFor(table, 0, true, utc(2026, 4, 10)));
    return journal && journal->flush() ? std::move(journal) : nullptr;
}

// The connection through which the open journal works, to change the file under it as only a fault can.
QSqlDatabase journalConnection()
{
    for (const QString &name : QSqlDatabase::connectionNames())
        if (name.startsWith(u"wordlark-journal-"_s))
            return QSqlDatabase::database(name, false);
    return {};
}

int answerRows(const QString &path)
{
    const QVariant rows = valueIn(path, u"SELECT COUNT(*) FROM answers"_s);
    return rows.isValid() ? rows.toInt() : -1;
}

// The child side of the crash test: writes batches of answers and says after each commit how many are
// in, until it is killed, usually in the middle of a batch.
int writeUntilKilled(const QString &path)
{
    auto journal = Journal::open(path);
    if (!journal)
        return 2;
    const WordTable table = smallTable();
    constexpr int Batch = 2000;
    for (int committed = 0;; committed += Batch) {
        for (int i = 0; i < Batch; ++i)
            (*journal)->record(answerFor(table, i % 6, i % 3 != 0, utc(2026, 5, 1) + committed + i));
        if (!(*journal)->flush())
            return 3;
        std::printf("committed %d\n", committed + Batch);
        std::fflush(stdout);
    }
}

// A folder this process cannot write to: made read-only by its mode, or for root, which may write
// anywhere, by a read-only bind mount over it. Null when neither can be done here.
class ReadOnlyFolder final {
public:
    explicit ReadOnlyFolder(const QString &folder)
        : m_folder(folder)
    {
        if (geteuid() != 0) {
            m_active = QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
            return;
        }
        const auto run = [](const QStringList &arguments) {
            return QProcess::execute(u"mount"_s, arguments) == 0;
        };
        m_mounted = run({u"--bind"_s, folder, folder});
        m_active = m_mounted && run({u"-o"_s, u"remount,bind,ro"_s, folder});
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            QProcess::execute(u"umount"_s, {m_folder});
        else
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;
    bool active() const { return m_active; }

private:
    QString m_folder;
    bool m_mounted = false;
    bool m_active = false;
};

} // namespace

class TestJournal final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void answersAndScheduleOutliveTheJournal();
    void answersWaitForTheBatchThenAreWritten();
    void aWordKeepsItsHistoryInAnotherDictionary();
    void emptyFieldsAreKeptAsEmptyText();
    void createNeverTakesAnExistingFile();
    void deleteRemovesTheDatabaseAndItsSideFiles();

    void badFilesAreLeftAsTheyWere_data();
    void badFilesAreLeftAsTheyWere();
    void anEmptyFileBecomesAJournal();
    void aVersionOneJournalIsCopiedThenUpgradedInPlace();
    void anEarlierCopyIsNeverReplaced();
    void writtenAnswersAreMarked();
    void aSecondCopyCannotOpenTheJournal();
    void aReadOnlyFolderIsRefused();
    void aFullDiskStopsTheJournalAndKeepsWhatWasWritten();
    void aKilledWriterLeavesEveryCommittedAnswer();

    void aNewerJournalWithItsLogIsLeftExactlyAsItWas_data();
    void aNewerJournalWithItsLogIsLeftExactlyAsItWas();
    void aDamagedJournalIsRefusedAndLeftAsItWas();
    void aJournalThatCannotBeMadeSaysWhy_data();
    void aJournalThatCannotBeMadeSaysWhy();
    void aFailedWriteNamesItsReason_data();
    void aFailedWriteNamesItsReason();
    void aFileDeletedOrReplacedWhileOpenStopsTheJournal_data();
    void aFileDeletedOrReplacedWhileOpenStopsTheJournal();
    void aWordWithALoneSurrogateKeepsItsHistory_data();
    void aWordWithALoneSurrogateKeepsItsHistory();
    void aStoredScheduleIsNeverReplacedByAMismatchedKey();

    void theKeeperMarksTheFirstAnswerOfEachShowing();
    void theKeeperWritesNothingWhileOff();
    void theKeeperOpensAJournalItFindsAndNeverReplacesAFile();

    void dueWordsAreTheOverdueOnesOfTheChosenLessons();
    void aWordOnTwoRowsIsOneWord_data();
    void aWordOnTwoRowsIsOneWord();
    void answersPerDayFollowTheLocalCalendar();
    void lessonsCountKnownLearningAndUnmetWords();
    void dueByDayPutsOverdueWordsToday();
    void mostLapsedWordsComeFirstWithTheirTranslations();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestJournal::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(Journal::fileName());
}

void TestJournal::answersAndScheduleOutliveTheJournal()
{
    const WordTable table = smallTable();
    const qint64 t = utc(2026, 4, 10);
    {
        auto journal = created(m_path);
        QVERIFY(journal);
        journal->indexWords(table);
        journal->record(answerFor(table, 0, true, t));
        journal->record(answerFor(table, 1, false, t + 1000));
        journal->record(answerFor(table, 1, true, t + 2000, false));
    }
    QCOMPARE(answerRows(m_path), 3);
    auto journal = opened(m_path);
    QVERIFY(journal);
    journal->indexWords(table);
    QCOMPARE(journal->knownWordCount(), 2);
    QVERIFY(journal->memory(0));
    QCOMPARE(*journal->memory(0), ReviewScheduler::review({}, ReviewGrade::Good, t));
    // The second, right answer to the missed word was not a review of its own.
    QCOMPARE(*journal->memory(1), ReviewScheduler::review({}, ReviewGrade::Again, t + 1000));
    QCOMPARE(journal->memory(2), nullptr);

    const QList<DayAnswers> days = journal->answersPerDay(t, 0, 1);
    QCOMPARE(days.size(), 1);
    QCOMPARE(days[0].answers, 3);
    QCOMPARE(days[0].firstAnswers, 2);
    QCOMPARE(days[0].rightFirstAnswers, 1);
}

void TestJournal::answersWaitForTheBatchThenAreWritten()
{
    const WordTable table = smallTable();
    auto journal = created(m_path);
    QVERIFY(journal);
    journal->setBatchDelay(50);
    for (int i = 0; i < 5; ++i)
        journal->record(answerFor(table, i, true, utc(2026, 4, 10) + i));
    QCOMPARE(journal->pendingAnswers(), 5);
    QTRY_COMPARE(journal->pendingAnswers(), 0);
    QCOMPARE(journal->answersPerDay(utc(2026, 4, 10), 0, 1)[0].answers, 5);
}

void TestJournal::aWordKeepsItsHistoryInAnotherDictionary()
{
    const WordTable first = smallTable();
    auto journal = created(m_path);
    QVERIFY(journal);
    journal->indexWords(first);
    journal->record(answerFor(first, 3, true, utc(2026, 4, 10)));
    journal->flush();

    // The same word in another row, with another translation and lesson; a word that only shares the
    // characters is another word.
    WordTable other;
    other.setRowCount(2);
    other.setCell(PinyinColumn, 0, u"shǔ"_s);
    other.setCell(SimplifiedColumn, 0, u"书"_s);
    other.setCell(PinyinColumn, 1, u"shū"_s);
    other.setCell(SimplifiedColumn, 1, u"书"_s);
    other.setCell(TranslationColumn, 1, u"письмо"_s);
    journal->indexWords(other);
    QCOMPARE(journal->memory(0), nullptr);
    QVERIFY(journal->memory(1));
    QCOMPARE(journal->memory(1)->repetitions, 1);
}

void TestJournal::emptyFieldsAreKeptAsEmptyText()
{
    // A word with no full form, no lesson and no pinyin, as dictionaries have them; its cells are null.
    WordTable table;
    table.setRowCount(1);
    table.setCell(SimplifiedColumn, 0, u"好"_s);
    {
        auto journal = created(m_path);
        QVERIFY(journal);
        journal->indexWords(table);
        JournalAnswer answer = answerFor(table, 0, true, utc(2026, 4, 10));
        answer.dictionaryPath = QString();
        journal->record(answer);
        QVERIFY(journal->flush());
    }
    auto journal = opened(m_path);
    QVERIFY(journal);
    journal->indexWords(table);
    QVERIFY(journal->memory(0));
    QCOMPARE(journal->answersPerDay(utc(2026, 4, 10), 0, 1)[0].answers, 1);
}

void TestJournal::createNeverTakesAnExistingFile()
{
    const QByteArray bytes = "a lesson plan, not a journal\n";
    QVERIFY(testutil::makeEntry(testutil::Entry::File, m_path, bytes));
    const auto made = Journal::create(m_path);
    QVERIFY(!made);
    QCOMPARE(made.error(), u"Не удалось создать журнал ответов «%1»: файл уже есть."_s.arg(m_path));
    QCOMPARE(bytesOf(m_path), bytes);
}

void TestJournal::deleteRemovesTheDatabaseAndItsSideFiles()
{
    {
        auto journal = created(m_path);
        QVERIFY(journal);
        QVERIFY(QFile::exists(m_path + u"-wal"_s));
    }
    QVERIFY(Journal::deleteFile(m_path));
    QCOMPARE(entriesOf(m_dir->path()), QStringList({u"."_s, u".."_s}));
}

void TestJournal::badFilesAreLeftAsTheyWere_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");

    const QString notAJournal =
        u"Файл «%1» не является журналом ответов. Урок продолжится без журнала, файл оставлен как есть."_s;
    QTest::newRow("text") << u"text"_s << notAJournal;
    QTest::newRow("header of a database, cut short") << u"cut"_s << notAJournal;
    QTest::newRow("another program's database") << u"foreign"_s << notAJournal;
    QTest::newRow("version 1 without the tables") << u"tableless"_s << notAJournal;
    QTest::newRow("answers as a view") << u"view"_s << notAJournal;
    QTest::newRow("folder") << u"folder"_s << notAJournal;
    QTest::newRow("fifo") << u"fifo"_s << notAJournal;
    QTest::newRow("link to a device") << u"device"_s << notAJournal;
    QTest::newRow("20 GB of nothing") << u"huge"_s << notAJournal;
    QTest::newRow("newer version") << u"newer"_s
                                   << u"Журнал ответов «%1» записан более новой версией программы. Урок "
                                      "продолжится без журнала, файл оставлен как есть."_s;
}

void TestJournal::badFilesAreLeftAsTheyWere()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    using testutil::Entry;
    using testutil::makeEntry;
    if (kind == u"text") {
        QVERIFY(makeEntry(Entry::File, m_path, QByteArray("ni3 hao3\n").repeated(600)));
    } else if (kind == u"cut") {
        QVERIFY(makeEntry(Entry::File, m_path, QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\x10')));
    } else if (kind == u"foreign") {
        QVERIFY(
            makeDatabase(m_path, {u"CREATE TABLE notes (text TEXT)"_s, u"INSERT INTO notes VALUES ('x')"_s}));
    } else if (kind == u"tableless") {
        QVERIFY(makeDatabase(m_path,
                             {u"CREATE TABLE answers (time_ms INTEGER)"_s, u"PRAGMA user_version = 1"_s}));
    } else if (kind == u"view") {
        QVERIFY(makeDatabase(
            m_path,
            {QString::fromLatin1(
                 "CREATE TABLE kept (time_ms INTEGER, dictionary TEXT, pinyin TEXT, simplified TEXT, full "
                 "TEXT, lesson TEXT, is_right INTEGER, typed INTEGER, first_of_showing INTEGER, "
                 "answer_ms INTEGER)"),
             u"CREATE VIEW answers AS SELECT * FROM kept"_s,
             u"CREATE TABLE words (simplified, pinyin, stability, difficulty, due_ms, repetitions, "
             "lapses, last_review_ms)"_s,
             u"PRAGMA user_version = 1"_s}));
    } else if (kind == u"newer") {
        QVERIFY(makeDatabase(m_path, {u"CREATE TABLE answers (anything)"_s,
                                      u"PRAGMA user_version = %1"_s.arg(Journal::FormatVersion + 1)}));
    } else if (kind == u"folder") {
        QVERIFY(makeEntry(Entry::Folder, m_path, {}));
    } else if (kind == u"fifo") {
        QVERIFY(makeEntry(Entry::Fifo, m_path, {}));
    } else if (kind == u"device") {
        QVERIFY(makeEntry(Entry::LinkToDevice, m_path, {}));
    } else if (kind == u"huge") {
        QVERIFY(makeEntry(Entry::Huge, m_path, {}));
    }
    const QStringList entries = entriesOf(m_dir->path());
    const bool small = QFileInfo(m_path).isFile() && QFileInfo(m_path).size() < (1 << 20);
    const QByteArray bytes = small ? bytesOf(m_path) : QByteArray();
    const qint64 size = QFileInfo(m_path).size();

    const auto journal = Journal::open(m_path);
    QVERIFY(!journal);
    QCOMPARE(journal.error(), message.arg(m_path));
    QCOMPARE(entriesOf(m_dir->path()), entries);
    QCOMPARE(QFileInfo(m_path).size(), size);
    if (small)
        QCOMPARE(bytesOf(m_path), bytes);
}

void TestJournal::anEmptyFileBecomesAJournal()
{
    QVERIFY(testutil::makeEntry(testutil::Entry::File, m_path, {}));
    auto journal = opened(m_path);
    QVERIFY(journal);
    journal->record(answerFor(smallTable(), 0, true, utc(2026, 4, 10)));
    QVERIFY(journal->flush());
}

namespace {

// A journal as the first version of the program wrote it, with one answer and one word's schedule.
bool makeVersionOneJournal(const QString &path)
{
    return makeDatabase(
        path,
        {u"CREATE TABLE answers (time_ms INTEGER NOT NULL, dictionary TEXT NOT NULL, pinyin TEXT NOT NULL,"
         " simplified TEXT NOT NULL, full TEXT NOT NULL, lesson TEXT NOT NULL, is_right INTEGER NOT NULL,"
         " typed INTEGER NOT NULL, first_of_showing INTEGER NOT NULL, answer_ms INTEGER NOT NULL)"_s,
         u"CREATE INDEX answers_by_time ON answers (time_ms, first_of_showing, is_right)"_s,
         u"CREATE TABLE words (simplified TEXT NOT NULL, pinyin TEXT NOT NULL, stability REAL NOT NULL,"
         " difficulty REAL NOT NULL, due_ms INTEGER NOT NULL, repetitions INTEGER NOT NULL,"
         " lapses INTEGER NOT NULL, last_review_ms INTEGER NOT NULL,"
         " PRIMARY KEY (simplified, pinyin)) WITHOUT ROWID"_s,
         u"INSERT INTO answers VALUES (1775822400000, 'Dictionary/Dict.dic', 'hǎo', '好', '好', '01', 1, 0, "
         u"1,"
         " 1500)"_s,
         u"INSERT INTO words VALUES ('好', 'hǎo', 3.2, 5.0, 1776081600000, 1, 0, 1775822400000)"_s,
         u"PRAGMA journal_mode = WAL"_s, u"PRAGMA user_version = 1"_s});
}

// One value of the first row of a query on a closed database.
QVariant firstValue(const QString &path, const QString &statement)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"reader"_s);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(statement, db);
            if (query.next())
                value = query.value(0);
        }
    }
    QSqlDatabase::removeDatabase(u"reader"_s);
    return value;
}

} // namespace

void TestJournal::aVersionOneJournalIsCopiedThenUpgradedInPlace()
{
    QVERIFY(makeVersionOneJournal(m_path));
    {
        auto journal = opened(m_path);
        QVERIFY(journal);
        // The schedule came through: the word is known in the indexed dictionary.
        journal->indexWords(smallTable());
        QVERIFY(journal->memory(1));
        QCOMPARE(journal->memory(1)->dueMs, 1776081600000);
    }
    const QString copy = m_path + u".v1"_s;
    QCOMPARE(firstValue(copy, u"PRAGMA user_version"_s).toInt(), 1);
    QCOMPARE(answerRows(copy), 1);
    QCOMPARE(firstValue(m_path, u"PRAGMA user_version"_s).toInt(), Journal::FormatVersion);
    QCOMPARE(answerRows(m_path), 1);
    QCOMPARE(firstValue(m_path, u"SELECT written FROM answers"_s).toInt(), 0);
    // Opened again, the upgraded journal is simply opened: no second copy.
    QVERIFY(opened(m_path));
    QCOMPARE(entriesOf(m_dir->path()).filter(u".v1"_s), QStringList({u"journal.sqlite.v1"_s}));
}

void TestJournal::anEarlierCopyIsNeverReplaced()
{
    QVERIFY(makeVersionOneJournal(m_path));
    const QString earlier = m_path + u".v1"_s;
    QVERIFY(testutil::makeEntry(testutil::Entry::File, earlier, "an older history"));
    QVERIFY(opened(m_path));
    QCOMPARE(bytesOf(earlier), QByteArray("an older history"));
    QCOMPARE(answerRows(m_path + u".v1.2"_s), 1);
}

void TestJournal::writtenAnswersAreMarked()
{
    {
        auto journal = created(m_path);
        QVERIFY(journal);
        JournalAnswer written = answerFor(smallTable(), 0, true, utc(2026, 4, 10));
        written.written = true;
        journal->record(written);
        journal->record(answerFor(smallTable(), 1, true, utc(2026, 4, 10, 13)));
        QVERIFY(journal->flush());
    }
    QCOMPARE(firstValue(m_path, u"SELECT GROUP_CONCAT(written, ',') FROM (SELECT written FROM answers "
                                "ORDER BY time_ms)"_s)
                 .toString(),
             u"1,0"_s);
}

void TestJournal::aSecondCopyCannotOpenTheJournal()
{
    auto first = created(m_path);
    QVERIFY(first);
    const QByteArray bytes = bytesOf(m_path);
    const auto second = Journal::open(m_path);
    QVERIFY(!second);
    QCOMPARE(second.error(), u"Журнал ответов «%1» уже ведёт другая запущенная копия программы. Урок "
                             "продолжится без журнала."_s.arg(m_path));
    QCOMPARE(bytesOf(m_path), bytes);
    // The first copy goes on writing.
    first->record(answerFor(smallTable(), 0, true, utc(2026, 4, 10)));
    QVERIFY(first->flush());
    first.reset();
    QVERIFY(opened(m_path));
}

void TestJournal::aReadOnlyFolderIsRefused()
{
    created(m_path).reset();
    const QByteArray bytes = bytesOf(m_path);
    const QStringList entries = entriesOf(m_dir->path());
    const ReadOnlyFolder readOnly(m_dir->path());
    if (!readOnly.active())
        QSKIP("no way to make a read-only folder here");
    const auto journal = Journal::open(m_path);
    QVERIFY(!journal);
    QCOMPARE(journal.error(), u"Журнал ответов «%1» нельзя дополнять: файл или папка доступны только для "
                              "чтения. Урок продолжится без журнала, файл оставлен как есть."_s.arg(m_path));
    QCOMPARE(bytesOf(m_path), bytes);
    QCOMPARE(entriesOf(m_dir->path()), entries);
    const auto made = Journal::create(m_dir->filePath(u"other.sqlite"_s));
    QVERIFY(!made);
}

void TestJournal::aFullDiskStopsTheJournalAndKeepsWhatWasWritten()
{
    const WordTable table = smallTable();
    const qint64 t = utc(2026, 4, 10);
    auto journal = created(m_path);
    QVERIFY(journal);
    for (int i = 0; i < 10; ++i)
        journal->record(answerFor(table, i % 6, true, t + i));
    QVERIFY(journal->flush());
    QSignalSpy failures(journal.get(), &Journal::stopped);
    {
        const qint64 walSize = QFileInfo(m_path + u"-wal"_s).size();
        const FileSizeLimit full(rlim_t(walSize + 8192));
        QVERIFY(full.active());
        JournalAnswer big = answerFor(table, 0, true, t + 100);
        big.dictionaryPath = QString(4000, u'д');
        for (int i = 0; i < 200; ++i)
            journal->record(big);
        QVERIFY(!journal->flush());
    }
    QCOMPARE(failures.size(), 1);
    QVERIFY(
        failures[0][0].toString().startsWith(u"Не удалось записать ответы в журнал «%1»: "_s.arg(m_path)));
    QVERIFY(!journal->writable());
    journal->record(answerFor(table, 1, true, t + 200));
    QCOMPARE(journal->pendingAnswers(), 0);
    QVERIFY(!journal->flush());
    QCOMPARE(failures.size(), 1);
    journal.reset();

    auto reopened = opened(m_path);
    QVERIFY(reopened);
    QCOMPARE(reopened->answersPerDay(t, 0, 1)[0].answers, 10);
}

void TestJournal::aKilledWriterLeavesEveryCommittedAnswer()
{
    created(m_path).reset();
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {u"--write-until-killed"_s, m_path});
    QVERIFY(child.waitForStarted(10000));
    int seen = 0;
    const QDeadlineTimer deadline(60000);
    while (seen < 6000 && child.waitForReadyRead(int(std::min<qint64>(deadline.remainingTime(), 20000)))) {
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith("committed "))
                seen = line.mid(10).toInt();
        }
    }
    if (seen < 6000)
        child.kill();
    QVERIFY2(seen >= 6000, child.readAllStandardError().constData());
    // While the other process writes, the journal is its own.
    const auto meanwhile = Journal::open(m_path);
    QVERIFY(!meanwhile);
    QVERIFY2(meanwhile.error().contains(u"другая запущенная копия"_s), qPrintable(meanwhile.error()));
    child.kill();
    QVERIFY(child.waitForFinished(10000));

    auto journal = opened(m_path);
    QVERIFY(journal);
    QCOMPARE(journal->knownWordCount(), 6);
    journal.reset();
    const int rows = answerRows(m_path);
    QVERIFY2(rows >= seen, QByteArray::number(rows).constData());
    QCOMPARE(rows % 2000, 0); // whole batches only
}

void TestJournal::aNewerJournalWithItsLogIsLeftExactlyAsItWas_data()
{
    QTest::addColumn<QStringList>("sideFiles");
    QTest::newRow("log") << QStringList{u"-wal"_s};
    QTest::newRow("log and its index, as a crash leaves them") << QStringList{u"-wal"_s, u"-shm"_s};
}

void TestJournal::aNewerJournalWithItsLogIsLeftExactlyAsItWas()
{
    QFETCH(QStringList, sideFiles);
    // A newer version's journal with answers still in the write-ahead log beside it.
    const QString newer = m_dir->filePath(u"newer.sqlite"_s);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"newer"_s);
        db.setDatabaseName(newer);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const char *statement :
             {"PRAGMA journal_mode = WAL", "CREATE TABLE answers (anything)",
              "INSERT INTO answers VALUES ('kept in the log')", "PRAGMA user_version = 99"})
            QVERIFY(query.exec(QString::fromLatin1(statement)));
        QVERIFY(QFile::copy(newer, m_path));
        for (const QString &side : sideFiles)
            QVERIFY(QFile::copy(newer + side, m_path + side));
    }
    QSqlDatabase::removeDatabase(u"newer"_s);
    QVERIFY(Journal::deleteFile(newer));
    QStringList files{m_path};
    for (const QString &side : sideFiles)
        files.append(m_path + side);
    const QDateTime past = QDateTime::currentDateTime().addDays(-3);
    QList<FileState> before;
    for (const QString &file : files) {
        QFile touched(file);
        QVERIFY(touched.open(QIODevice::ReadWrite));
        QVERIFY(touched.setFileTime(past, QFileDevice::FileModificationTime));
        touched.close();
        before.append(stateOf(file));
    }
    const QStringList entries = entriesOf(m_dir->path());

    const auto opened = Journal::open(m_path);
    QVERIFY(!opened);
    QCOMPARE(opened.error(),
             u"Журнал ответов «%1» записан более новой версией программы. Урок продолжится без "
             "журнала, файл оставлен как есть."_s.arg(m_path));
    QCOMPARE(entriesOf(m_dir->path()), entries);
    for (qsizetype i = 0; i < files.size(); ++i)
        QCOMPARE(stateOf(files[i]), before[i]);
}

void TestJournal::aDamagedJournalIsRefusedAndLeftAsItWas()
{
    const WordTable table = smallTable();
    {
        auto journal = created(m_path);
        QVERIFY(journal);
        for (int i = 0; i < 40; ++i)
            journal->record(answerFor(table, i % 6, i % 4 != 0, utc(2026, 4, 10) + i * 1000));
    }
    QVERIFY(damageAnswerIndex(m_path));
    const QStringList entries = entriesOf(m_dir->path());
    const FileState before = stateOf(m_path);

    auto journal = opened(m_path);
    QVERIFY(journal);
    QSignalSpy stopped(journal.get(), &Journal::stopped);
    // The learner answers at once; nothing reaches the file.
    journal->record(answerFor(table, 0, true, utc(2026, 4, 11)));
    QVERIFY(!journal->waitForCheck());
    QVERIFY(!journal->flush());
    QCOMPARE(stopped.size(), 1);
    QCOMPARE(stopped[0][0].toString(),
             u"Файл «%1» не является журналом ответов. Урок продолжится без журнала, "
             "файл оставлен как есть."_s.arg(m_path));
    journal.reset();
    QCOMPARE(entriesOf(m_dir->path()), entries);
    QCOMPARE(stateOf(m_path), before);
}

void TestJournal::aJournalThatCannotBeMadeSaysWhy_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("message");
    QTest::newRow("read-only folder") << u"read-only"_s
                                      << u"Не удалось создать журнал ответов «%1»: файл или папка доступны "
                                         "только для чтения."_s;
    QTest::newRow("full disk") << u"full"_s
                               << u"Не удалось создать журнал ответов «%1»: на диске не осталось места."_s;
}

void TestJournal::aJournalThatCannotBeMadeSaysWhy()
{
    QFETCH(QString, cause);
    QFETCH(QString, message);
    std::unique_ptr<ReadOnlyFolder> readOnly;
    std::unique_ptr<FileSizeLimit> full;
    if (cause == u"read-only") {
        readOnly = std::make_unique<ReadOnlyFolder>(m_dir->path());
        if (!readOnly->active())
            QSKIP("no way to make a read-only folder here");
    } else {
        full = std::make_unique<FileSizeLimit>(rlim_t(1024));
        QVERIFY(full->active());
    }
    const auto made = Journal::create(m_path);
    QVERIFY(!made);
    QCOMPARE(made.error(), message.arg(m_path));
    readOnly.reset();
    full.reset();
    QCOMPARE(entriesOf(m_dir->path()), QStringList({u"."_s, u".."_s}));
}

void TestJournal::aFailedWriteNamesItsReason_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("message");
    QTest::newRow("full disk")
        << u"full"_s
        << u"Не удалось записать ответы в журнал «%1»: на диске не осталось места. Урок "
           "продолжится без журнала; записанное раньше сохранено."_s;
    // The statement is refused before it runs: SQLite's words come from the query, and nothing in the
    // codes says the disk is full.
    QTest::newRow("answers replaced by a view")
        << u"view"_s
        << u"Не удалось записать ответы в журнал «%1» (cannot modify answers because it is a view). Урок "
           "продолжится без журнала; записанное раньше сохранено."_s;
}

void TestJournal::aFailedWriteNamesItsReason()
{
    QFETCH(QString, cause);
    QFETCH(QString, message);
    const WordTable table = smallTable();
    auto journal = writtenOnce(m_path, table);
    QVERIFY(journal);
    QSignalSpy stopped(journal.get(), &Journal::stopped);
    std::unique_ptr<FileSizeLimit> full;
    if (cause == u"full") {
        full = std::make_unique<FileSizeLimit>(rlim_t(QFileInfo(m_path + u"-wal"_s).size() + 1024));
        QVERIFY(full->active());
        JournalAnswer big = answerFor(table, 1, true, utc(2026, 4, 10));
        big.dictionaryPath = QString(4000, u'д');
        for (int i = 0; i < 50; ++i)
            journal->record(big);
    } else {
        QSqlQuery query(journalConnection());
        for (const char *statement : {"DROP INDEX answers_by_time", "ALTER TABLE answers RENAME TO kept",
                                      "CREATE VIEW answers AS SELECT * FROM kept"})
            QVERIFY2(query.exec(QString::fromLatin1(statement)), qPrintable(query.lastError().text()));
        journal->record(answerFor(table, 1, true, utc(2026, 4, 10)));
    }
    QVERIFY(!journal->flush());
    QCOMPARE(stopped.size(), 1);
    QCOMPARE(stopped[0][0].toString(), message.arg(m_path));
}

void TestJournal::aFileDeletedOrReplacedWhileOpenStopsTheJournal_data()
{
    QTest::addColumn<QByteArray>("replacement"); // empty: deleted
    QTest::newRow("deleted") << QByteArray();
    QTest::newRow("replaced by another file") << QByteArray("мои заметки\n");
}

void TestJournal::aFileDeletedOrReplacedWhileOpenStopsTheJournal()
{
    QFETCH(QByteArray, replacement);
    const WordTable table = smallTable();
    auto journal = writtenOnce(m_path, table);
    QVERIFY(journal);
    QSignalSpy stopped(journal.get(), &Journal::stopped);

    QVERIFY(QFile::remove(m_path));
    if (!replacement.isEmpty())
        QVERIFY(testutil::makeEntry(testutil::Entry::File, m_path, replacement));
    journal->record(answerFor(table, 1, true, utc(2026, 4, 10) + 1000));
    QVERIFY(!journal->flush());
    journal->record(answerFor(table, 2, true, utc(2026, 4, 10) + 2000));
    QVERIFY(!journal->flush());
    QCOMPARE(stopped.size(), 1);
    QCOMPARE(stopped[0][0].toString(),
             u"Журнал ответов «%1» удалён или заменён другим файлом, пока программа "
             "работала. Урок продолжится без журнала."_s.arg(m_path));
    journal.reset();
    // No write-ahead log is left to be taken for the next file of that name's own.
    const QStringList expected = replacement.isEmpty() ? QStringList{u"."_s, u".."_s}
                                                       : QStringList{u"."_s, u".."_s, Journal::fileName()};
    QCOMPARE(entriesOf(m_dir->path()), expected);
    if (!replacement.isEmpty())
        QCOMPARE(bytesOf(m_path), replacement);
}

void TestJournal::aWordWithALoneSurrogateKeepsItsHistory_data()
{
    QTest::addColumn<QString>("pinyin");
    QTest::newRow("high surrogate last") << u"hao"_s + QChar(0xD800);
    QTest::newRow("high surrogate inside") << u"h"_s + QChar(0xD800) + u"ao"_s;
    QTest::newRow("low surrogate alone") << QChar(0xDC00) + u"hao"_s;
}

void TestJournal::aWordWithALoneSurrogateKeepsItsHistory()
{
    QFETCH(QString, pinyin);
    WordTable table;
    table.setRowCount(2);
    table.setCell(PinyinColumn, 0, pinyin);
    table.setCell(SimplifiedColumn, 0, u"好"_s);
    table.setCell(PinyinColumn, 1, u"hǎo"_s);
    table.setCell(SimplifiedColumn, 1, u"好"_s);
    qint64 t = utc(2026, 4, 10);
    created(m_path).reset();
    for (int run = 1; run <= 3; ++run) {
        auto journal = opened(m_path);
        QVERIFY(journal);
        journal->indexWords(table);
        if (run > 1) {
            QVERIFY(journal->memory(0));
            QCOMPARE(journal->memory(0)->repetitions, run - 1);
            t = journal->memory(0)->dueMs;
        }
        journal->record(answerFor(table, 0, true, t));
        QVERIFY(journal->flush());
        // The well-formed word is another word, never met.
        QCOMPARE(journal->memory(1), nullptr);
    }
    QCOMPARE(valueIn(m_path, u"SELECT COUNT(*) FROM words"_s).toInt(), 1);
}

void TestJournal::aStoredScheduleIsNeverReplacedByAMismatchedKey()
{
    // A schedule an earlier version stored under a lone surrogate: the key reads back as another text.
    created(m_path).reset();
    const QString pinyin = u"h"_s + QChar(0xD800) + u"ao"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"older"_s);
        db.setDatabaseName(m_path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        query.prepare(u"INSERT INTO words VALUES ('好', ?, 30.0, 5.0, ?, 5, 0, ?)"_s);
        query.addBindValue(pinyin);
        query.addBindValue(utc(2026, 5, 10));
        query.addBindValue(utc(2026, 4, 10));
        QVERIFY(query.exec());
    }
    QSqlDatabase::removeDatabase(u"older"_s);

    WordTable table;
    table.setRowCount(1);
    table.setCell(PinyinColumn, 0, pinyin);
    table.setCell(SimplifiedColumn, 0, u"好"_s);
    {
        auto journal = opened(m_path);
        QVERIFY(journal);
        journal->indexWords(table);
        journal->record(answerFor(table, 0, false, utc(2026, 6, 1)));
        QVERIFY(journal->flush());
    }
    QCOMPARE(
        valueIn(m_path, u"SELECT COUNT(*) FROM words WHERE repetitions = 5 AND stability = 30.0"_s).toInt(),
        1);
}

namespace {

// An answer by a click on a box, as the quiz reports it.
Answer boxAnswer(int word, bool right, bool first)
{
    return Answer{word, 1, right, false, first};
}

// The answers' flags as stored, in the order given.
QList<std::array<int, 3>> storedFlags(const QString &path)
{
    QList<std::array<int, 3>> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"flags"_s);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(u"SELECT is_right, typed, first_of_showing FROM answers ORDER BY rowid"_s, db);
            while (query.next())
                rows.append({query.value(0).toInt(), query.value(1).toInt(), query.value(2).toInt()});
        }
    }
    QSqlDatabase::removeDatabase(u"flags"_s);
    return rows;
}

} // namespace

void TestJournal::theKeeperMarksTheFirstAnswerOfEachShowing()
{
    const WordTable table = smallTable();
    {
        JournalKeeper keeper(m_dir->path());
        QVERIFY(keeper.turnOn());
        QCOMPARE(keeper.path(), m_path);
        keeper.useDictionary(table, u"Dictionary/Dict.dic"_s);
        keeper.questionAsked();
        keeper.answerGiven(boxAnswer(2, false, true));
        keeper.answerGiven(boxAnswer(2, false, false));
        keeper.answerGiven(boxAnswer(2, true, false));
        keeper.questionAsked();
        keeper.answerGiven(Answer{4, 0, true, true, true});
        // An answer naming no word of the table is not recorded.
        keeper.answerGiven(boxAnswer(6, true, true));
        QVERIFY(keeper.journal()->memory(2));
        QCOMPARE(keeper.journal()->memory(2)->repetitions, 1);
        QCOMPARE(keeper.journal()->memory(2)->lapses, 0);
    }
    QCOMPARE(storedFlags(m_path), (QList<std::array<int, 3>>{{0, 0, 1}, {0, 0, 0}, {1, 0, 0}, {1, 1, 1}}));
}

void TestJournal::theKeeperWritesNothingWhileOff()
{
    const WordTable table = smallTable();
    {
        JournalKeeper keeper(m_dir->path());
        QVERIFY(keeper.openIfPresent());
        QVERIFY(!keeper.isOn());
        keeper.useDictionary(table, u"Dictionary/Dict.dic"_s);
        keeper.questionAsked();
        keeper.answerGiven(boxAnswer(0, true, true));
        keeper.writeNow();
        QCOMPARE(keeper.dueCount(lessonsOf(table)), 0);
    }
    QCOMPARE(entriesOf(m_dir->path()), QStringList({u"."_s, u".."_s}));
}

void TestJournal::theKeeperOpensAJournalItFindsAndNeverReplacesAFile()
{
    const WordTable table = smallTable();
    {
        JournalKeeper keeper(m_dir->path());
        QVERIFY(keeper.turnOn());
        keeper.useDictionary(table, QString());
        keeper.questionAsked();
        keeper.answerGiven(boxAnswer(1, false, true));
    }
    {
        JournalKeeper keeper(m_dir->path());
        keeper.setClock([] { return utc(2030, 1, 1); });
        QVERIFY(keeper.openIfPresent());
        QVERIFY(keeper.isOn());
        keeper.useDictionary(table, QString());
        QCOMPARE(keeper.dueCount(lessonsOf(table)), 1);
        QCOMPARE(keeper.dueWords(lessonsOf(table)), std::vector<int>({1}));
        QVERIFY(keeper.turnOffAndDelete());
        QVERIFY(!keeper.isOn());
        QVERIFY(!QFile::exists(m_path));
    }
    const QByteArray notes = "not a journal";
    QVERIFY(testutil::makeEntry(testutil::Entry::File, m_path, notes));
    JournalKeeper keeper(m_dir->path());
    QVERIFY(!keeper.turnOn());
    QVERIFY(!keeper.openIfPresent());
    QVERIFY(!keeper.isOn());
    QCOMPARE(bytesOf(m_path), notes);
}

void TestJournal::dueWordsAreTheOverdueOnesOfTheChosenLessons()
{
    const WordTable table = smallTable();
    auto journal = created(m_path);
    QVERIFY(journal);
    journal->indexWords(table);
    const qint64 t = utc(2026, 4, 10);
    journal->record(answerFor(table, 0, true, t));         // due in 3 days
    journal->record(answerFor(table, 1, false, t + 1000)); // due in 1 day
    journal->record(answerFor(table, 3, false, t + 2000)); // due in 1 day, lesson 02
    journal->record(answerFor(table, 5, true, t + 3000));  // due in 3 days, lesson 03

    const LessonList all = lessonsOf(table);
    QCOMPARE(journal->dueCount(all, t), 0);
    QCOMPARE(journal->dueCount(all, t + DayMs + 1000), 1);
    QCOMPARE(journal->dueCount(all, t + DayMs + 2000), 2);
    QCOMPARE(journal->dueCount(all, t + 3 * DayMs + 3000), 4);
    QCOMPARE(journal->dueCount(lessonsOf(table, {false, true, true}), t + 3 * DayMs + 3000), 2);
    QCOMPARE(journal->dueCount(lessonsOf(table, {false, false, false}), t + 10 * DayMs), 0);
    QCOMPARE(journal->dueWords(all, t + 5 * DayMs), std::vector<int>({1, 3, 0, 5}));
    QCOMPARE(journal->dueWords(lessonsOf(table, {true, false, true}), t + 5 * DayMs),
             std::vector<int>({1, 0, 5}));
}

// 好 hǎo stands in lesson 01 and again in lesson 02 (rows 1 and 3); 好 hào, another word, in 03.
void TestJournal::aWordOnTwoRowsIsOneWord_data()
{
    QTest::addColumn<std::vector<bool>>("chosen");
    QTest::addColumn<int>("answered");
    QTest::addColumn<std::vector<int>>("due");

    QTest::newRow("met on its first row")
        << std::vector<bool>{true, true, true} << 1 << std::vector<int>{1, 0};
    QTest::newRow("met on its second row")
        << std::vector<bool>{true, true, true} << 3 << std::vector<int>{1, 0};
    QTest::newRow("second row's lesson chosen")
        << std::vector<bool>{false, true, true} << 1 << std::vector<int>{3};
}

void TestJournal::aWordOnTwoRowsIsOneWord()
{
    QFETCH(std::vector<bool>, chosen);
    QFETCH(int, answered);
    QFETCH(std::vector<int>, due);

    WordTable table = smallTable();
    table.setCell(PinyinColumn, 3, u"hǎo"_s);
    table.setCell(SimplifiedColumn, 3, u"好"_s);
    table.setCell(PinyinColumn, 5, u"hào"_s);
    table.setCell(SimplifiedColumn, 5, u"好"_s);
    auto journal = created(m_path);
    QVERIFY(journal);
    journal->indexWords(table);
    const qint64 t = utc(2026, 4, 10);
    journal->record(answerFor(table, answered, false, t));
    journal->record(answerFor(table, 0, false, t + 1000));
    // Every row of the word shows its schedule at once, not only after the next load.
    QVERIFY(journal->memory(1));
    QCOMPARE(journal->memory(1), journal->memory(3));
    QCOMPARE(journal->memory(1)->repetitions, 1);
    QVERIFY(!journal->memory(5));
    QCOMPARE(journal->knownWordCount(), 2);

    const LessonList lessons = lessonsOf(table, chosen);
    const qint64 later = t + 2 * DayMs;
    QCOMPARE(journal->dueCount(lessons, later), int(due.size()));
    QCOMPARE(journal->dueWords(lessons, later), due);

    // The same after the journal is opened again.
    journal.reset();
    journal = opened(m_path);
    QVERIFY(journal);
    journal->indexWords(table);
    QCOMPARE(journal->memory(1), journal->memory(3));
    QCOMPARE(journal->dueCount(lessons, later), int(due.size()));
    QCOMPARE(journal->dueWords(lessons, later), due);
}

void TestJournal::answersPerDayFollowTheLocalCalendar()
{
    const WordTable table = smallTable();
    auto journal = created(m_path);
    QVERIFY(journal);
    journal->record(answerFor(table, 0, true, utc(2026, 4, 8, 20, 30))); // 23:30 in Moscow
    journal->record(answerFor(table, 1, true, utc(2026, 4, 8, 21, 30))); // 00:30 on the 9th there
    journal->record(answerFor(table, 2, false, utc(2026, 4, 9, 10, 0)));
    journal->record(answerFor(table, 2, true, utc(2026, 4, 9, 10, 1), false));
    journal->record(answerFor(table, 3, true, utc(2026, 3, 1)));  // long before the window
    journal->record(answerFor(table, 4, true, utc(2026, 4, 11))); // after now
    QVERIFY(journal->flush());

    const int moscow = 3 * 3600;
    const QList<DayAnswers> days = journal->answersPerDay(utc(2026, 4, 10, 9, 0), moscow, 3);
    QCOMPARE(days.size(), 3);
    QCOMPARE(days[0].day, QDate(2026, 4, 8));
    QCOMPARE(days[0].answers, 1);
    QCOMPARE(days[1].day, QDate(2026, 4, 9));
    QCOMPARE(days[1].answers, 3);
    QCOMPARE(days[1].firstAnswers, 2);
    QCOMPARE(days[1].rightFirstAnswers, 1);
    QCOMPARE(days[2].day, QDate(2026, 4, 10));
    QCOMPARE(days[2].answers, 0);
    QCOMPARE(journal->answersPerDay(utc(2026, 4, 10, 9, 0), 0, 3)[0].answers, 2);
}

void TestJournal::lessonsCountKnownLearningAndUnmetWords()
{
    const WordTable table = smallTable();
    auto journal = created(m_path);
    QVERIFY(journal);
    journal->indexWords(table);
    qint64 t = utc(2026, 1, 1);
    // Good at each due time: the stability passes three weeks at the third review.
    for (int i = 0; i < 3; ++i) {
        journal->record(answerFor(table, 0, true, t));
        t = journal->memory(0)->dueMs;
    }
    QVERIFY(journal->memory(0)->stability >= Journal::KnownStabilityDays);
    journal->record(answerFor(table, 1, true, t));
    journal->record(answerFor(table, 4, false, t));

    const QList<LessonStanding> lessons = journal->lessonProgress(lessonsOf(table));
    QCOMPARE(lessons.size(), 3);
    QCOMPARE(lessons[0].label, u"01"_s);
    QCOMPARE((std::array{lessons[0].known, lessons[0].learning, lessons[0].notMet}), (std::array{1, 1, 1}));
    QCOMPARE((std::array{lessons[1].known, lessons[1].learning, lessons[1].notMet}), (std::array{0, 1, 1}));
    QCOMPARE((std::array{lessons[2].known, lessons[2].learning, lessons[2].notMet}), (std::array{0, 0, 1}));
}

void TestJournal::dueByDayPutsOverdueWordsToday()
{
    const WordTable table = smallTable();
    auto journal = created(m_path);
    QVERIFY(journal);
    journal->indexWords(table);
    const qint64 t = utc(2026, 4, 1);
    journal->record(answerFor(table, 0, false, t));            // due 2 April
    journal->record(answerFor(table, 1, true, t));             // due 4 April
    journal->record(answerFor(table, 2, true, t + 2 * DayMs)); // due 6 April
    const QList<int> days = journal->dueByDay(utc(2026, 4, 4, 8, 0), 0, 3);
    QCOMPARE(days, QList<int>({2, 0, 1}));
}

void TestJournal::mostLapsedWordsComeFirstWithTheirTranslations()
{
    const WordTable table = smallTable();
    auto journal = created(m_path);
    QVERIFY(journal);
    journal->indexWords(table);
    qint64 t = utc(2026, 1, 1);
    const auto show = [&](int row, bool right) { journal->record(answerFor(table, row, right, t += DayMs)); };
    for (const int row : {3, 5, 2})
        show(row, true);
    for (int i = 0; i < 3; ++i)
        show(3, false);
    show(5, false);
    show(2, false);
    show(5, false);
    JournalAnswer elsewhere = answerFor(table, 0, true, t += DayMs);
    elsewhere.simplified = u"龙"_s;
    elsewhere.pinyin = u"lóng"_s;
    elsewhere.row = -1;
    journal->record(elsewhere);
    elsewhere.right = false;
    elsewhere.timeMs = t += DayMs;
    journal->record(elsewhere);

    const QList<LapsedWord> words = journal->mostLapsed(table, 3);
    QCOMPARE(words.size(), 3);
    QCOMPARE(words[0].simplified, u"书"_s);
    QCOMPARE(words[0].pinyin, u"shū"_s);
    QCOMPARE(words[0].translation, u"книга"_s);
    QCOMPARE(words[0].lapses, 3);
    QCOMPARE(words[1].simplified, u"水"_s);
    QCOMPARE(words[1].lapses, 2);
    // One lapse each: the latest reviewed first; a word of no current dictionary has no translation.
    QCOMPARE(words[2].simplified, u"龙"_s);
    QCOMPARE(words[2].translation, QString());
    QCOMPARE(journal->mostLapsed(table, 20).size(), 4);
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--write-until-killed") == 0) {
        QCoreApplication app(argc, argv);
        return writeUntilKilled(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestJournal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_journal.moc"
