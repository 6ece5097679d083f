#include "journal/journal.h"
#include "journal/journalsync.h"

#include "dictionary/fileio.h"
#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cerrno>

#include <sqlite3.h>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace wordlark {

namespace {

constexpr qint64 DayMs = 86'400'000;
// 1970-01-01 as a Julian day.
constexpr qint64 EpochJulianDay = 2'440'588;

// What the learner can do something about when SQLite fails.
enum class Trouble { NotAJournal, Locked, ReadOnly, DiskFull, Other };

// An SQLite failure: its primary result code, the system's error number behind it where SQLite keeps
// one, and SQLite's own words.
struct SqlTrouble {
    int code = -1;
    int systemError = 0;
    QString detail;
};

SqlTrouble troubleIn(const QSqlError &error, sqlite3 *handle)
{
    bool ok = false;
    int code = error.nativeErrorCode().toInt(&ok);
    // Qt gives no code for a failed commit; SQLite still has it.
    if (!ok && handle) {
        code = sqlite3_errcode(handle);
        ok = code != SQLITE_OK;
    }
    SqlTrouble trouble{ok ? code & 0xff : -1, 0, error.databaseText()};
    // A statement that never ran leaves the database no words of its own; the query has them.
    if (trouble.detail.isEmpty())
        trouble.detail = error.driverText();
    // SQLite keeps the system's error number only for these two codes; otherwise it is an older one.
    if (handle && (trouble.code == SQLITE_IOERR || trouble.code == SQLITE_CANTOPEN))
        trouble.systemError = sqlite3_system_errno(handle);
    return trouble;
}

// Read from the codes only: a reason is named when the codes say it, and never guessed.
Trouble troubleOf(const SqlTrouble &trouble, const QString &folder)
{
    switch (trouble.code) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return Trouble::NotAJournal;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Trouble::Locked;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return Trouble::ReadOnly;
    case SQLITE_FULL:
        return Trouble::DiskFull;
    default:
        break;
    }
    switch (trouble.systemError) {
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return Trouble::DiskFull;
    case EROFS:
    case EACCES:
    case EPERM:
        return Trouble::ReadOnly;
    default:
        break;
    }
    // The file could not be opened or made where the folder takes no new files (-wal beside it).
    if (trouble.code == SQLITE_CANTOPEN && !QFileInfo(folder).isWritable())
        return Trouble::ReadOnly;
    return Trouble::Other;
}

// ": <reason>" in Russian for a reason the learner can act on, else " (<SQLite's words>)".
QString because(const SqlTrouble &trouble, const QString &path)
{
    switch (troubleOf(trouble, QFileInfo(path).absolutePath())) {
    case Trouble::NotAJournal:
        return QStringLiteral(": файл повреждён или не является журналом ответов");
    case Trouble::Locked:
        return QStringLiteral(": файл занят другой программой");
    case Trouble::ReadOnly:
        return QStringLiteral(": файл или папка доступны только для чтения");
    case Trouble::DiskFull:
        return QStringLiteral(": на диске не осталось места");
    case Trouble::Other:
        break;
    }
    return trouble.detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(trouble.detail);
}

Failure notAJournal(const QString &path)
{
    return {QStringLiteral("Файл «%1» не является журналом ответов. Урок продолжится без журнала, "
                           "файл оставлен как есть.")
                .arg(shownPath(path))};
}

Failure fromNewerVersion(const QString &path)
{
    return {QStringLiteral("Журнал ответов «%1» записан более новой версией программы. Урок продолжится "
                           "без журнала, файл оставлен как есть.")
                .arg(shownPath(path))};
}

Failure heldByAnotherCopy(const QString &path)
{
    return {QStringLiteral("Журнал ответов «%1» уже ведёт другая запущенная копия программы. Урок "
                           "продолжится без журнала.")
                .arg(shownPath(path))};
}

Failure readOnly(const QString &path)
{
    return {QStringLiteral("Журнал ответов «%1» нельзя дополнять: файл или папка доступны только для "
                           "чтения. Урок продолжится без журнала, файл оставлен как есть.")
                .arg(shownPath(path))};
}

Failure missing(const QString &path)
{
    return {QStringLiteral("Не удалось открыть журнал ответов «%1»: файла нет. Урок продолжится без "
                           "журнала.")
                .arg(shownPath(path))};
}

// What an SQLite failure on opening means to the learner.
Failure openFailure(const QString &path, const SqlTrouble &trouble)
{
    switch (troubleOf(trouble, QFileInfo(path).absolutePath())) {
    case Trouble::NotAJournal:
        return notAJournal(path);
    case Trouble::Locked:
        return heldByAnotherCopy(path);
    case Trouble::ReadOnly:
        return readOnly(path);
    case Trouble::DiskFull:
    case Trouble::Other:
        break;
    }
    return {QStringLiteral("Не удалось открыть журнал ответов «%1»%2. Урок продолжится без журнала, файл "
                           "оставлен как есть.")
                .arg(shownPath(path), because(trouble, path))};
}

Failure creationFailure(const QString &path, const SqlTrouble &trouble)
{
    return {QStringLiteral("Не удалось создать журнал ответов «%1»%2.")
                .arg(shownPath(path), because(trouble, path))};
}

Failure writeFailure(const QString &path, const SqlTrouble &trouble)
{
    return {QStringLiteral("Не удалось записать ответы в журнал «%1»%2. Урок продолжится без журнала; "
                           "записанное раньше сохранено.")
                .arg(shownPath(path), because(trouble, path))};
}

Failure lostFile(const QString &path)
{
    return {QStringLiteral("Журнал ответов «%1» удалён или заменён другим файлом, пока программа работала. "
                           "Урок продолжится без журнала.")
                .arg(shownPath(path))};
}

QString newConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("wordlark-journal-%1").arg(++counter);
}

// SQLite is told never to create the file when an existing journal is opened, so a file that vanished
// or is not a journal cannot be replaced by a new one.
QString databaseUri(const QString &path, bool mayCreate)
{
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(mayCreate ? QStringLiteral("mode=rwc") : QStringLiteral("mode=rw"));
    return uri.toString(QUrl::FullyEncoded);
}

QString walOf(const QString &path)
{
    return path + QStringLiteral("-wal");
}

qint64 localDay(qint64 ms, int utcOffsetSeconds)
{
    const qint64 local = ms + qint64(utcOffsetSeconds) * 1000;
    return local >= 0 ? local / DayMs : -((-local + DayMs - 1) / DayMs);
}

// SQLite holds text as UTF-8, where a lone UTF-16 surrogate (a damaged UTF-16 dictionary can carry one)
// has no form: it comes back as U+FFFD, or merged with the code unit after it. Text is stored as it will
// read back, so a word's key finds its stored row again. Empty cells are stored as empty text: the columns
// hold no NULLs, and Qt binds a null string as NULL.
QString storable(const QString &cell)
{
    if (cell.isNull())
        return QString(u""_s);
    if (cell.isValidUtf16())
        return cell;
    QString text = cell;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

// Between the two parts of a word's key; no dictionary field holds it.
constexpr char16_t KeySeparator = 0x1f;

// Writes a word's key as it is stored (see storable()) into `key`, whose buffer is reused from word to
// word.
void makeKey(QString &key, QStringView simplified, QStringView pinyin)
{
    key.resize(0);
    key.append(simplified);
    key.append(QChar(KeySeparator));
    key.append(pinyin);
    if (!key.isValidUtf16())
        key = storable(key);
}

// "ok" for a sound file, else SQLite's first finding. Runs on the check's own thread.
QString quickCheck(sqlite3 *db)
{
    sqlite3_stmt *statement = nullptr;
    QString verdict;
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        verdict = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    else
        verdict = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(statement);
    return verdict;
}

const char *const CreateAnswers = "CREATE TABLE answers ("
                                  " time_ms INTEGER NOT NULL,"
                                  " dictionary TEXT NOT NULL,"
                                  " pinyin TEXT NOT NULL,"
                                  " simplified TEXT NOT NULL,"
                                  " full TEXT NOT NULL,"
                                  " lesson TEXT NOT NULL,"
                                  " is_right INTEGER NOT NULL,"
                                  " typed INTEGER NOT NULL,"
                                  " first_of_showing INTEGER NOT NULL,"
                                  " answer_ms INTEGER NOT NULL)";
const char *const IndexAnswers =
    "CREATE INDEX answers_by_time ON answers (time_ms, first_of_showing, is_right)";
// Each answer is known everywhere by the computer that gave it and its place in that computer's order.
const char *const IndexOrigins = "CREATE UNIQUE INDEX answers_by_origin ON answers (device, sequence)";
// Each word's reviews in the order a replay takes them (time, then device and sequence), with their grade:
// a replay reads this index alone, in order.
const char *const IndexWords =
    "CREATE INDEX answers_by_word ON answers "
    "(simplified, pinyin, time_ms, device, sequence, is_right) WHERE first_of_showing = 1";
const char *const CreateSettings =
    "CREATE TABLE settings (name TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID";
const char *const CreateWords = "CREATE TABLE words ("
                                " simplified TEXT NOT NULL,"
                                " pinyin TEXT NOT NULL,"
                                " stability REAL NOT NULL,"
                                " difficulty REAL NOT NULL,"
                                " due_ms INTEGER NOT NULL,"
                                " repetitions INTEGER NOT NULL,"
                                " lapses INTEGER NOT NULL,"
                                " last_review_ms INTEGER NOT NULL,"
                                " PRIMARY KEY (simplified, pinyin)) WITHOUT ROWID";
const char *const WordColumns =
    "simplified, pinyin, stability, difficulty, due_ms, repetitions, lapses, last_review_ms";
// How the format changed: the statements that bring a journal of version `from` to `from + 1`. A new
// journal is made in version 1 and goes through every step, so a new file and an upgraded one are
// alike. All steps of one opening run in one transaction with the new user_version.
struct FormatStep {
    int from;
    std::vector<const char *> statements;
};

const std::vector<FormatStep> &formatSteps()
{
    static const std::vector<FormatStep> steps{
        // Answers given by writing the word stroke by stroke.
        {1, {"ALTER TABLE answers ADD COLUMN written INTEGER NOT NULL DEFAULT 0"}},
        // Several computers: each answer is known by the computer that gave it and its place in that
        // computer's order; the answers so far are this computer's, in the order they were written. The
        // computer's name is drawn here, 16 hexadecimal digits, as newDeviceId() draws them.
        {2,
         {"ALTER TABLE answers ADD COLUMN device TEXT NOT NULL DEFAULT ''",
          "ALTER TABLE answers ADD COLUMN sequence INTEGER NOT NULL DEFAULT 0", CreateSettings,
          "INSERT INTO settings (name, value) VALUES ('device', lower(hex(randomblob(8))))",
          "UPDATE answers SET device = (SELECT value FROM settings WHERE name = 'device'), sequence = rowid",
          IndexOrigins, IndexWords}},
    };
    return steps;
}

const char *const AnswerColumns =
    "time_ms, dictionary, pinyin, simplified, full, lesson, is_right, typed, first_of_showing, answer_ms, "
    "written, device, sequence";

// The rows of each word that stands on more than one row, linked in rings as Journal keeps them. Rows
// are grouped by a hash of their key first, so that a dictionary costs one sort and no strings.
std::vector<int> rowsOfTheSameWord(const WordTable &table)
{
    const int rows = table.rowCount();
    // Half a hash is plenty to group by, and halves what the sort moves.
    const auto keyHash = [&table](int row) {
        return quint32(qHashMulti(QHashSeed::globalSeed(), table.cellView(SimplifiedColumn, row),
                                  table.cellView(PinyinColumn, row)));
    };
    const auto sameWord = [&table](int a, int b) {
        return table.cellView(SimplifiedColumn, a) == table.cellView(SimplifiedColumn, b) &&
               table.cellView(PinyinColumn, a) == table.cellView(PinyinColumn, b);
    };
    std::vector<std::pair<quint32, int>> hashed(size_t(std::max(rows, 0)));
    for (int row = 0; row < rows; ++row)
        hashed[size_t(row)] = {keyHash(row), row};
    std::sort(hashed.begin(), hashed.end());

    std::vector<int> next(hashed.size(), -1);
    for (size_t first = 0; first < hashed.size();) {
        size_t end = first + 1;
        while (end < hashed.size() && hashed[end].first == hashed[first].first)
            ++end;
        // Rows of one hash, in row order; equal hashes of different words are told apart here.
        for (size_t i = first; i < end; ++i) {
            const int row = hashed[i].second;
            if (next[size_t(row)] >= 0)
                continue;
            int last = row;
            for (size_t j = i + 1; j < end; ++j) {
                const int other = hashed[j].second;
                if (next[size_t(other)] < 0 && sameWord(row, other)) {
                    next[size_t(last)] = other;
                    last = other;
                }
            }
            if (last != row)
                next[size_t(last)] = row;
        }
        first = end;
    }
    return next;
}

} // namespace

JournalAnswer answerToWord(const WordTable &table, int row)
{
    JournalAnswer answer;
    answer.pinyin = table.cell(PinyinColumn, row);
    answer.simplified = table.cell(SimplifiedColumn, row);
    answer.full = table.cell(FullColumn, row);
    answer.lesson = table.cell(LessonColumn, row);
    answer.row = row;
    return answer;
}

Journal::FileIdentity Journal::identityOf(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0)
        return {quint64(status.st_dev), quint64(status.st_ino)};
#else
    Q_UNUSED(path);
#endif
    return {};
}

Journal::Journal(QString path, QString connection)
    : m_path(std::move(path))
    , m_connection(std::move(connection))
{
    m_batchTimer.setSingleShot(true);
    m_batchTimer.setInterval(BatchDelayMs);
    connect(&m_batchTimer, &QTimer::timeout, this, &Journal::writeBatch);
}

Journal::~Journal()
{
    // Whoever listens is going away with the journal: a last write that fails has no one to tell.
    blockSignals(true);
    flush();
    waitForCheckThread();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
    // SQLite leaves behind the log of a file deleted under it, and the empty log it made to read a file
    // it was then told to leave as it was. Beside a file of the same name either would be taken for that
    // file's own.
    const QString log = walOf(m_path);
    const bool made = m_lost || (m_leftAsItIs && !m_walWasThere && QFileInfo(log).size() == 0);
    if (made && m_wal != FileIdentity() && identityOf(log) == m_wal)
        QFile::remove(log);
}

Result<std::unique_ptr<Journal>> Journal::open(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return Failure{missing(path)};
    if (!file.isFile())
        return Failure{notAJournal(path)};
    if (!file.isWritable() || !QFileInfo(file.absolutePath()).isWritable())
        return Failure{readOnly(path)};

    std::unique_ptr<Journal> journal(new Journal(path, newConnectionName()));
    journal->m_walWasThere = QFileInfo::exists(walOf(path));
    if (!journal->connectTo(databaseUri(path, false)))
        return Failure{openFailure(path, troubleIn(journal->m_db.lastError(), nullptr))};
    // An empty file is an empty database: nothing in it can be lost by making it a journal.
    if (file.size() == 0) {
        if (const Result<void> taken = journal->takeFile(true, false); !taken)
            return Failure{taken.error()};
        return journal;
    }
    if (const Result<void> examined = journal->examine(); !examined)
        return Failure{examined.error()};
    if (const Result<void> loaded = journal->loadWords(); !loaded)
        return Failure{loaded.error()};
    // Known at once for a journal of this version; an older one gets its name when it is brought up to it.
    if (journal->m_version == FormatVersion) {
        if (const Result<void> loaded = journal->loadDevice(false); !loaded)
            return Failure{loaded.error()};
    }
    journal->startCheck();
    return journal;
}

Result<std::unique_ptr<Journal>> Journal::create(const QString &path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return Failure{
            {QStringLiteral("Не удалось создать журнал ответов «%1»: файл уже есть.").arg(shownPath(path))}};

    std::unique_ptr<Journal> journal(new Journal(path, newConnectionName()));
    const Result<void> prepared =
        journal->connectTo(databaseUri(path, true))
            ? journal->takeFile(true, true)
            : Result<void>(creationFailure(path, troubleIn(journal->m_db.lastError(), nullptr)));
    if (!prepared) {
        // Only what this call made is taken away again.
        journal.reset();
        (void)deleteFile(path);
        return Failure{prepared.error()};
    }
    return journal;
}

Result<void> Journal::deleteFile(const QString &path)
{
    for (const QString &side : {QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + side);
    QFile file(path);
    if (file.exists() && !file.remove())
        return Failure{{QStringLiteral("Не удалось удалить журнал ответов «%1»: %2")
                            .arg(shownPath(path), file.errorString())}};
    return {};
}

// Opens the connection. Until the file is known to be a journal of this version it is to be left as it
// was, so SQLite is told not to fold its write-ahead log into it on closing.
bool Journal::connectTo(const QString &uri)
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=0"));
    m_db.setDatabaseName(uri);
    if (!m_db.open())
        return false;
    const QVariant handle = m_db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_handle = *static_cast<sqlite3 *const *>(handle.constData());
    if (!m_handle)
        return false;
    leaveFileAsItIs(true);
    return true;
}

void Journal::leaveFileAsItIs(bool leave)
{
    m_leftAsItIs = leave;
    if (m_handle)
        sqlite3_db_config(m_handle, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, int(leave), nullptr);
}

// Reads, writing nothing, whether the file is a journal of this version or an older one. Exclusive locking,
// set before the first read, keeps the write-ahead log's index in this process (no -shm file) and the file to
// this copy of the program.
Result<void> Journal::examine()
{
    QSqlQuery query(m_db);
    const auto run = [&](const QString &statement) { return query.exec(statement); };
    if (!run(u"PRAGMA locking_mode = EXCLUSIVE"_s) || !run(u"PRAGMA user_version"_s) || !query.next())
        return openFailure(m_path, troubleIn(query.lastError(), m_handle));
    m_wal = identityOf(walOf(m_path));
    const int version = query.value(0).toInt();
    if (version > FormatVersion)
        return fromNewerVersion(m_path);
    if (version < 1)
        return notAJournal(m_path);
    m_version = version;
    // Both are tables (a view of the same name cannot be written), with every column the journal uses.
    if (!run(u"SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN ('answers', 'words')"_s) ||
        !query.next())
        return openFailure(m_path, troubleIn(query.lastError(), m_handle));
    if (query.value(0).toInt() != 2)
        return notAJournal(m_path);
    // An older file has the columns of its own version; the upgrade checks them when it has run.
    if (m_version == FormatVersion && !hasTheColumns())
        return notAJournal(m_path);
    return {};
}

bool Journal::hasTheColumns() const
{
    QSqlQuery query(m_db);
    const QString probe = QStringLiteral("SELECT %1 FROM %2 LIMIT 0");
    return query.exec(probe.arg(QLatin1StringView(AnswerColumns), u"answers")) &&
           query.exec(probe.arg(QLatin1StringView(WordColumns), u"words"));
}

// A consistent copy of the whole database as it stands (what the write-ahead log holds included),
// under a name no file has yet, so that an earlier copy is never replaced.
Result<void> Journal::leaveCopy()
{
    const QString base = m_path + QStringLiteral(".v%1").arg(m_version);
    QString copy = base;
    for (int n = 2; QFileInfo::exists(copy) || QFileInfo(copy).isSymLink(); ++n)
        copy = base + QStringLiteral(".%1").arg(n);
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("VACUUM INTO ?"));
    query.addBindValue(copy);
    if (!query.exec()) {
        const QString reason = query.lastError().databaseText();
        QFile::remove(copy);
        return Failure{
            {QStringLiteral("Не удалось сохранить копию журнала ответов «%1» перед переходом на "
                            "новую версию: %2. Урок продолжится без журнала, файл оставлен как есть.")
                 .arg(shownPath(copy), reason)}};
    }
    m_leftCopy = copy;
    return {};
}

// Runs every step from the file's version on, inside the caller's transaction.
bool Journal::upgrade()
{
    QSqlQuery query(m_db);
    for (const FormatStep &step : formatSteps()) {
        if (step.from < m_version)
            continue;
        for (const char *statement : step.statements)
            if (!query.exec(QString::fromLatin1(statement)))
                return false;
    }
    return query.exec(QStringLiteral("PRAGMA user_version = %1").arg(FormatVersion)) && hasTheColumns();
}

// The whole file is checked before anything is written to it. On a journal of a million answers that
// takes a second or more, so it runs on a thread of its own while the learner begins; the connection belongs
// to that thread until it ends, and whatever reads or writes the journal waits for it (ready()).
void Journal::startCheck()
{
    m_checkUnsettled = true;
    m_check = std::thread([this, handle = m_handle] {
        m_checkVerdict = quickCheck(handle);
        // Settled on the journal's thread, unless something that waited for the check has settled it.
        QMetaObject::invokeMethod(this, &Journal::settleCheck, Qt::QueuedConnection);
    });
}

void Journal::waitForCheckThread() const
{
    if (m_check.joinable())
        m_check.join();
}

// Once the check has ended: a damaged file is let go, untouched; a sound one is taken for writing.
void Journal::settleCheck()
{
    if (!m_checkUnsettled)
        return;
    waitForCheckThread();
    m_checkUnsettled = false;
    if (m_checkVerdict != u"ok") {
        stop(notAJournal(m_path).message);
        return;
    }
    if (const Result<void> taken = takeFile(false, false); !taken)
        stop(taken.error());
}

bool Journal::ready()
{
    settleCheck();
    return !m_broken;
}

bool Journal::waitForCheck()
{
    return ready();
}

// Takes the file for this copy of the program and makes it a journal if it is `fresh`: exclusive locking
// holds the lock until the journal closes. From here on SQLite may fold its log into the file on closing.
Result<void> Journal::takeFile(bool fresh, bool creating)
{
    QSqlQuery query(m_db);
    const auto run = [&](const char *statement) { return query.exec(QString::fromLatin1(statement)); };
    const auto failure = [&] {
        const SqlTrouble trouble = troubleIn(query.lastError(), m_handle);
        run("ROLLBACK");
        return creating ? creationFailure(m_path, trouble) : openFailure(m_path, trouble);
    };
    if (!run("PRAGMA locking_mode = EXCLUSIVE"))
        return failure();
    if (!run("PRAGMA journal_mode = WAL") || !query.next() ||
        query.value(0).toString().compare(u"wal", Qt::CaseInsensitive) != 0)
        return failure();
    // Commits reach the operating system at once; only a power cut can lose the last of them.
    run("PRAGMA synchronous = NORMAL");
    if (fresh) {
        m_version = 1;
    } else if (m_version < FormatVersion) {
        if (const Result<void> copied = leaveCopy(); !copied)
            return copied;
    }
    // The copy is of a file that is left as it was when the upgrade fails.
    const auto upgradeFailure = [&] {
        run("ROLLBACK");
        if (!m_leftCopy.isEmpty())
            QFile::remove(std::exchange(m_leftCopy, QString()));
        return notAJournal(m_path);
    };
    if (!run("BEGIN EXCLUSIVE"))
        return failure();
    if (fresh && (!run(CreateAnswers) || !run(IndexAnswers) || !run(CreateWords)))
        return failure();
    if (m_version < FormatVersion && !upgrade())
        return fresh ? failure() : upgradeFailure();
    if (!run("COMMIT"))
        return failure();
    m_version = FormatVersion;
    // Room for the indexes' pages when another computer's answers come in by the hundred thousand.
    run("PRAGMA cache_size = -32768");
    if (const Result<void> loaded = loadDevice(true); !loaded)
        return loaded;
    m_wal = identityOf(walOf(m_path));
    leaveFileAsItIs(false);
    return {};
}

// Reads this computer's name and last sequence; one that has no name yet gets one, once it may write.
Result<void> Journal::loadDevice(bool mayWrite)
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT value FROM settings WHERE name = 'device'")))
        return openFailure(m_path, troubleIn(query.lastError(), m_handle));
    m_device = query.next() ? query.value(0).toString() : QString();
    if (m_device.isEmpty() && !mayWrite)
        return {};
    if (m_device.isEmpty()) {
        m_device = newDeviceId();
        query.prepare(QStringLiteral("INSERT OR REPLACE INTO settings (name, value) VALUES ('device', ?)"));
        query.addBindValue(m_device);
        if (!query.exec())
            return openFailure(m_path, troubleIn(query.lastError(), m_handle));
    }
    query.prepare(QStringLiteral("SELECT COALESCE(MAX(sequence), 0) FROM answers WHERE device = ?"));
    query.addBindValue(m_device);
    if (!query.exec() || !query.next())
        return openFailure(m_path, troubleIn(query.lastError(), m_handle));
    m_sequence = query.value(0).toLongLong();
    return {};
}

QString Journal::setting(const QString &name)
{
    if (!ready())
        return {};
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT value FROM settings WHERE name = ?"));
    query.addBindValue(name);
    return query.exec() && query.next() ? query.value(0).toString() : QString();
}

Result<void> Journal::setSetting(const QString &name, const QString &value)
{
    if (!ready())
        return Failure{{QStringLiteral("Журнал ответов «%1» больше не ведётся.").arg(shownPath(m_path))}};
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO settings (name, value) VALUES (?, ?)"));
    query.addBindValue(name);
    query.addBindValue(storable(value));
    if (!query.exec())
        return Failure{{QStringLiteral("Не удалось записать настройку в журнал ответов «%1»: %2")
                            .arg(shownPath(m_path), query.lastError().databaseText())}};
    return {};
}

Result<void> Journal::loadWords()
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1 FROM words").arg(QLatin1StringView(WordColumns))))
        return openFailure(m_path, troubleIn(query.lastError(), m_handle));
    while (query.next()) {
        WordMemory memory;
        memory.stability = query.value(2).toDouble();
        memory.difficulty = query.value(3).toDouble();
        memory.dueMs = query.value(4).toLongLong();
        memory.repetitions = query.value(5).toInt();
        memory.lapses = query.value(6).toInt();
        memory.lastReviewMs = query.value(7).toLongLong();
        memory.scheduledDays = int((memory.dueMs - memory.lastReviewMs) / DayMs);
        // Two stored rows can read back as one key (an older version stored lone surrogates, which read
        // back as U+FFFD): the later review is the word's schedule.
        WordMemory &kept = m_states[size_t(slotFor(query.value(0).toString(), query.value(1).toString()))];
        if (!kept.met() || kept.lastReviewMs <= memory.lastReviewMs)
            kept = memory;
    }
    if (query.lastError().isValid())
        return openFailure(m_path, troubleIn(query.lastError(), m_handle));
    return {};
}

int Journal::slotFor(const QString &simplified, const QString &pinyin)
{
    QString key;
    makeKey(key, simplified, pinyin);
    const auto found = m_slotOfKey.constFind(key);
    if (found != m_slotOfKey.cend())
        return *found;
    const int slot = int(m_states.size());
    m_slotOfKey.insert(key, slot);
    m_states.emplace_back();
    m_keys.emplace_back(storable(simplified), storable(pinyin));
    m_dirty.push_back(false);
    return slot;
}

void Journal::record(const JournalAnswer &answer)
{
    if (m_broken)
        return;
    m_pending.push_back(answer);
    if (answer.firstOfShowing) {
        // The row's slot was found when the dictionary was indexed; a word met for the first time gets
        // one now, which its rows keep.
        const bool indexed = answer.row >= 0 && size_t(answer.row) < m_slotOfRow.size();
        const int slot = indexed && m_slotOfRow[size_t(answer.row)] >= 0
                             ? m_slotOfRow[size_t(answer.row)]
                             : slotFor(answer.simplified, answer.pinyin);
        WordMemory &memory = m_states[size_t(slot)];
        // A review at or before the word's last one (a clock set back, or another computer's answer at
        // the same moment) changes the order of its history: the word is replayed when it is written.
        if (memory.met() && answer.timeMs <= memory.lastReviewMs &&
            std::find(m_replaySlots.begin(), m_replaySlots.end(), slot) == m_replaySlots.end())
            m_replaySlots.push_back(slot);
        memory = ReviewScheduler::review(memory, answer.right ? ReviewGrade::Good : ReviewGrade::Again,
                                         answer.timeMs);
        markDirty(slot);
        // The rows of a word are tied together, so only a word met for the first time has rows to tie.
        if (indexed && m_slotOfRow[size_t(answer.row)] != slot)
            tieRowsOfWord(answer.row, slot);
    }
    if (!m_batchTimer.isActive())
        m_batchTimer.start();
}

// Whether the file under the journal's name is another one than the file open (or none at all).
bool Journal::fileMoved() const
{
    int moved = 0;
    return m_handle && sqlite3_file_control(m_handle, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK &&
           moved != 0;
}

bool Journal::flush()
{
    m_batchTimer.stop();
    if (!ready())
        return false;
    if (fileMoved()) {
        // What is written now would be lost with the deleted file; the file now under the name is not
        // this journal's to write.
        m_lost = true;
        leaveFileAsItIs(true);
        stop(lostFile(m_path).message);
        return false;
    }
    if (m_pending.empty() && m_dirtySlots.empty())
        return true;
    const auto fail = [this](const QSqlError &error) {
        const Failure failure = writeFailure(m_path, troubleIn(error, m_handle));
        m_db.rollback();
        stop(failure.message);
        return false;
    };
    if (!m_db.transaction())
        return fail(m_db.lastError());
    QSqlQuery insert(m_db);
    if (!insert.prepare(
            QStringLiteral("INSERT INTO answers (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(QLatin1StringView(AnswerColumns))))
        return fail(insert.lastError());
    qint64 sequence = m_sequence;
    for (const JournalAnswer &answer : m_pending) {
        insert.addBindValue(answer.timeMs);
        insert.addBindValue(storable(answer.dictionaryPath));
        insert.addBindValue(storable(answer.pinyin));
        insert.addBindValue(storable(answer.simplified));
        insert.addBindValue(storable(answer.full));
        insert.addBindValue(storable(answer.lesson));
        insert.addBindValue(int(answer.right));
        insert.addBindValue(int(answer.typed));
        insert.addBindValue(int(answer.firstOfShowing));
        insert.addBindValue(answer.answerMs);
        insert.addBindValue(int(answer.written));
        insert.addBindValue(m_device);
        insert.addBindValue(++sequence);
        if (!insert.exec())
            return fail(insert.lastError());
    }
    if (!m_replaySlots.empty()) {
        if (const Result<void> replayed = replay(m_replaySlots, false); !replayed)
            return fail(QSqlError(QString(), replayed.error(), QSqlError::StatementError));
    }
    if (QSqlError error; !writeDirtyWords(error))
        return fail(error);
    if (!m_db.commit())
        return fail(m_db.lastError());
    m_sequence = sequence;
    m_pending.clear();
    m_replaySlots.clear();
    return true;
}

void Journal::markDirty(int slot)
{
    if (!m_dirty[size_t(slot)]) {
        m_dirty[size_t(slot)] = true;
        m_dirtySlots.push_back(slot);
    }
}

void Journal::writeBatch()
{
    const bool any = !m_pending.empty();
    if (flush() && any)
        Q_EMIT batchWritten();
}

// The rows of the words whose schedule changed, inside the caller's transaction.
bool Journal::writeDirtyWords(QSqlError &error)
{
    QSqlQuery upsert(m_db);
    if (!upsert.prepare(QStringLiteral("INSERT OR REPLACE INTO words (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                            .arg(QLatin1StringView(WordColumns))))
        return error = upsert.lastError(), false;
    for (const int slot : m_dirtySlots) {
        const WordMemory &memory = m_states[size_t(slot)];
        // The keys are stored as they read back (see storable()).
        upsert.addBindValue(m_keys[size_t(slot)].first);
        upsert.addBindValue(m_keys[size_t(slot)].second);
        upsert.addBindValue(memory.stability);
        upsert.addBindValue(memory.difficulty);
        upsert.addBindValue(memory.dueMs);
        upsert.addBindValue(memory.repetitions);
        upsert.addBindValue(memory.lapses);
        upsert.addBindValue(memory.lastReviewMs);
        if (!upsert.exec())
            return error = upsert.lastError(), false;
    }
    for (const int slot : m_dirtySlots)
        m_dirty[size_t(slot)] = false;
    m_dirtySlots.clear();
    return true;
}

void Journal::tieRowsOfWord(int row, int slot)
{
    const bool ringed = size_t(row) < m_nextRowOfWord.size();
    for (int at = row;;) {
        m_slotOfRow[size_t(at)] = slot;
        at = ringed ? m_nextRowOfWord[size_t(at)] : -1;
        if (at < 0 || at == row)
            return;
    }
}

void Journal::stop(const QString &message)
{
    if (m_broken)
        return;
    m_broken = true;
    m_pending.clear();
    m_dirtySlots.clear();
    m_replaySlots.clear();
    Q_EMIT stopped(message);
}

void Journal::indexWords(const WordTable &table)
{
    m_slotOfRow.assign(size_t(table.rowCount()), -1);
    m_nextRowOfWord = rowsOfTheSameWord(table);
    if (m_slotOfKey.isEmpty())
        return;
    // One key buffer for all rows: only its contents change, so a row costs no allocation.
    QString key;
    for (int row = 0; row < table.rowCount(); ++row) {
        makeKey(key, table.cellView(SimplifiedColumn, row), table.cellView(PinyinColumn, row));
        const auto found = m_slotOfKey.constFind(key);
        if (found != m_slotOfKey.cend())
            m_slotOfRow[size_t(row)] = *found;
    }
}

const WordMemory *Journal::memory(int row) const
{
    if (row < 0 || size_t(row) >= m_slotOfRow.size() || m_slotOfRow[size_t(row)] < 0)
        return nullptr;
    return &m_states[size_t(m_slotOfRow[size_t(row)])];
}

namespace {

// Calls `visit(row)` for every row of the chosen lessons.
template <typename Visit> void forChosenRows(const LessonList &lessons, size_t rowLimit, Visit visit)
{
    const std::vector<bool> &chosen = lessons.selectionFlags();
    for (int lesson = 0; lesson < lessons.lessonCount() && size_t(lesson) < chosen.size(); ++lesson) {
        if (!chosen[size_t(lesson)])
            continue;
        for (const RowBlock &block : lessons.blocks(lesson))
            for (int row = block.first; row <= block.last && size_t(row) < rowLimit; ++row)
                visit(row);
    }
}

} // namespace

template <typename Visit> void Journal::forChosenWords(const LessonList &lessons, Visit visit) const
{
    std::vector<bool> seen(m_states.size(), false);
    forChosenRows(lessons, m_slotOfRow.size(), [&](int row) {
        const int slot = m_slotOfRow[size_t(row)];
        if (slot < 0 || seen[size_t(slot)])
            return;
        seen[size_t(slot)] = true;
        visit(row, slot);
    });
}

int Journal::dueCount(const LessonList &lessons, qint64 nowMs) const
{
    int due = 0;
    forChosenWords(lessons, [&](int, int slot) { due += m_states[size_t(slot)].dueMs <= nowMs; });
    return due;
}

std::vector<int> Journal::dueWords(const LessonList &lessons, qint64 nowMs) const
{
    std::vector<std::pair<qint64, int>> due;
    forChosenWords(lessons, [&](int row, int slot) {
        if (m_states[size_t(slot)].dueMs <= nowMs)
            due.emplace_back(m_states[size_t(slot)].dueMs, row);
    });
    std::sort(due.begin(), due.end());
    std::vector<int> rows;
    rows.reserve(due.size());
    for (const auto &[dueMs, row] : due)
        rows.push_back(row);
    return rows;
}

QList<DayAnswers> Journal::answersPerDay(qint64 nowMs, int utcOffsetSeconds, int days) const
{
    const qint64 today = localDay(nowMs, utcOffsetSeconds);
    const qint64 firstDay = today - days + 1;
    const qint64 offsetMs = qint64(utcOffsetSeconds) * 1000;
    QList<DayAnswers> result(days);
    for (int i = 0; i < days; ++i)
        result[i].day = QDate::fromJulianDay(firstDay + i + EpochJulianDay);
    // The connection is the check's until it ends (the journal's first write waits for it as well).
    waitForCheckThread();

    // One range of the time index a day: the rows come in time order, so no sorting or grouping is
    // needed, which matters when a month holds a great many answers.
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT COUNT(*), SUM(first_of_showing), SUM(first_of_showing * is_right) "
                                 "FROM answers WHERE time_ms >= ? AND time_ms < ?"));
    for (int i = 0; i < days; ++i) {
        query.bindValue(0, (firstDay + i) * DayMs - offsetMs);
        query.bindValue(1, (firstDay + i + 1) * DayMs - offsetMs);
        if (!query.exec() || !query.next())
            return result;
        DayAnswers &day = result[i];
        day.answers = query.value(0).toInt();
        day.firstAnswers = query.value(1).toInt();
        day.rightFirstAnswers = query.value(2).toInt();
        query.finish();
    }
    return result;
}

QList<LessonStanding> Journal::lessonProgress(const LessonList &lessons) const
{
    QList<LessonStanding> result;
    result.reserve(lessons.lessonCount());
    for (int lesson = 0; lesson < lessons.lessonCount(); ++lesson) {
        LessonStanding progress;
        progress.label = lessons.labels()[lesson];
        for (const RowBlock &block : lessons.blocks(lesson)) {
            for (int row = block.first; row <= block.last; ++row) {
                const WordMemory *state = memory(row);
                if (!state || !state->met())
                    ++progress.notMet;
                else if (state->stability >= KnownStabilityDays)
                    ++progress.known;
                else
                    ++progress.learning;
            }
        }
        result.append(progress);
    }
    return result;
}

QList<int> Journal::dueByDay(qint64 nowMs, int utcOffsetSeconds, int days) const
{
    QList<int> counts(days, 0);
    const qint64 today = localDay(nowMs, utcOffsetSeconds);
    std::vector<bool> counted(m_states.size(), false);
    for (const int slot : m_slotOfRow) {
        if (slot < 0 || counted[size_t(slot)])
            continue;
        counted[size_t(slot)] = true;
        const WordMemory &state = m_states[size_t(slot)];
        if (!state.met())
            continue;
        const qint64 day = std::max<qint64>(0, localDay(state.dueMs, utcOffsetSeconds) - today);
        if (day < days)
            ++counts[day];
    }
    return counts;
}

QList<LapsedWord> Journal::mostLapsed(const WordTable &table, int count) const
{
    std::vector<int> slots;
    for (size_t slot = 0; slot < m_states.size(); ++slot)
        if (m_states[slot].lapses > 0)
            slots.push_back(int(slot));
    const auto more = [&](int a, int b) {
        const WordMemory &x = m_states[size_t(a)];
        const WordMemory &y = m_states[size_t(b)];
        return x.lapses != y.lapses ? x.lapses > y.lapses : x.lastReviewMs > y.lastReviewMs;
    };
    const size_t kept = std::min(slots.size(), size_t(std::max(0, count)));
    std::partial_sort(slots.begin(), slots.begin() + qsizetype(kept), slots.end(), more);
    slots.resize(kept);

    QHash<int, int> rowOfSlot;
    for (const int slot : slots)
        rowOfSlot.insert(slot, -1);
    for (size_t row = 0; row < m_slotOfRow.size() && row < size_t(table.rowCount()); ++row) {
        const auto found = rowOfSlot.find(m_slotOfRow[row]);
        if (found != rowOfSlot.end() && *found < 0)
            *found = int(row);
    }
    QList<LapsedWord> result;
    for (const int slot : slots) {
        const int row = rowOfSlot.value(slot, -1);
        result.append({m_keys[size_t(slot)].second, m_keys[size_t(slot)].first,
                       row >= 0 ? table.cell(TranslationColumn, row) : QString(),
                       m_states[size_t(slot)].lapses});
    }
    return result;
}

QList<LessonStanding> groupLessons(const QList<LessonStanding> &lessons, int bars)
{
    if (lessons.size() <= bars || bars <= 0)
        return lessons;
    const qsizetype perBar = (lessons.size() + bars - 1) / bars;
    QList<LessonStanding> grouped;
    for (qsizetype first = 0; first < lessons.size(); first += perBar) {
        const qsizetype last = std::min(first + perBar, lessons.size()) - 1;
        LessonStanding sum;
        sum.label = first == last ? lessons[first].label : lessons[first].label + u'–' + lessons[last].label;
        for (qsizetype i = first; i <= last; ++i) {
            sum.known += lessons[i].known;
            sum.learning += lessons[i].learning;
            sum.notMet += lessons[i].notMet;
        }
        grouped.append(sum);
    }
    return grouped;
}

} // namespace wordlark
