#include "journal/journal.h"

#include "dictionary/fileio.h"
#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <atomic>

using namespace Qt::StringLiterals;

namespace wordlark {

namespace {

constexpr qint64 DayMs = 86'400'000;
// 1970-01-01 as a Julian day.
constexpr qint64 EpochJulianDay = 2'440'588;

// SQLite's primary result codes that tell the learner something different.
enum SqliteCode { SqliteBusy = 5, SqliteLocked = 6, SqliteReadOnly = 8, SqliteNotADatabase = 26 };

int primaryCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : -1;
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

Failure cannotOpen(const QString &path, const QString &reason)
{
    return {QStringLiteral("Не удалось открыть журнал ответов «%1»: %2. Урок продолжится без журнала, "
                           "файл оставлен как есть.")
                .arg(shownPath(path), reason)};
}

// What an SQLite error on opening means to the learner.
Failure openFailure(const QString &path, const QSqlError &error)
{
    switch (primaryCode(error)) {
    case SqliteNotADatabase:
        return notAJournal(path);
    case SqliteBusy:
    case SqliteLocked:
        return heldByAnotherCopy(path);
    case SqliteReadOnly:
        return readOnly(path);
    default:
        return cannotOpen(path, error.databaseText());
    }
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

qint64 localDay(qint64 ms, int utcOffsetSeconds)
{
    const qint64 local = ms + qint64(utcOffsetSeconds) * 1000;
    return local >= 0 ? local / DayMs : -((-local + DayMs - 1) / DayMs);
}

// Empty cells are stored as empty text: the columns hold no NULLs, and Qt binds a null string as NULL.
QString text(const QString &cell)
{
    return cell.isNull() ? QString(u""_s) : cell;
}

// Between the two parts of a word's key; no dictionary field holds it.
constexpr char16_t KeySeparator = 0x1f;

// Writes a word's key into `key`, whose buffer is reused from word to word.
void makeKey(QString &key, QStringView simplified, QStringView pinyin)
{
    key.resize(0);
    key.append(simplified);
    key.append(QChar(KeySeparator));
    key.append(pinyin);
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
const char *const AnswerColumns =
    "time_ms, dictionary, pinyin, simplified, full, lesson, is_right, typed, first_of_showing, answer_ms";

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

Journal::Journal(QString path, QString connection)
    : m_path(std::move(path))
    , m_connection(std::move(connection))
{
    m_batchTimer.setSingleShot(true);
    m_batchTimer.setInterval(BatchDelayMs);
    connect(&m_batchTimer, &QTimer::timeout, this, &Journal::flush);
}

Journal::~Journal()
{
    // Whoever listens is going away with the journal: a last write that fails has no one to tell.
    blockSignals(true);
    flush();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

Result<std::unique_ptr<Journal>> Journal::open(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return Failure{cannotOpen(path, QStringLiteral("файла нет"))};
    if (!file.isFile())
        return Failure{notAJournal(path)};
    if (!file.isWritable() || !QFileInfo(file.absolutePath()).isWritable())
        return Failure{readOnly(path)};

    std::unique_ptr<Journal> journal(new Journal(path, newConnectionName()));
    journal->m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), journal->m_connection);
    journal->m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=0"));
    journal->m_db.setDatabaseName(databaseUri(path, false));
    if (!journal->m_db.open())
        return Failure{openFailure(path, journal->m_db.lastError())};
    // An empty file is an empty database: nothing in it can be lost by making it a journal.
    if (const Result<void> prepared = journal->prepare(file.size() == 0); !prepared)
        return Failure{prepared.error()};
    if (const Result<void> loaded = journal->loadWords(); !loaded)
        return Failure{loaded.error()};
    return journal;
}

Result<std::unique_ptr<Journal>> Journal::create(const QString &path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return Failure{
            {QStringLiteral("Не удалось создать журнал ответов «%1»: файл уже есть.").arg(shownPath(path))}};

    std::unique_ptr<Journal> journal(new Journal(path, newConnectionName()));
    journal->m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), journal->m_connection);
    journal->m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=0"));
    journal->m_db.setDatabaseName(databaseUri(path, true));
    Result<void> prepared =
        journal->m_db.open() ? journal->prepare(true) : Failure{{journal->m_db.lastError().databaseText()}};
    if (!prepared) {
        // Only what this call made is taken away again.
        const QString reason = prepared.error();
        journal.reset();
        (void)deleteFile(path);
        return Failure{
            {QStringLiteral("Не удалось создать журнал ответов «%1»: %2").arg(shownPath(path), reason)}};
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

// Checks that the file is a journal of this version before anything is written, then takes the file
// for this copy of the program: exclusive locking holds the lock until the journal closes.
Result<void> Journal::prepare(bool fresh)
{
    QSqlQuery query(m_db);
    const auto run = [&](const char *statement) { return query.exec(QString::fromLatin1(statement)); };
    if (!run("PRAGMA locking_mode = EXCLUSIVE"))
        return openFailure(m_path, query.lastError());

    if (!fresh) {
        if (!run("PRAGMA user_version") || !query.next())
            return openFailure(m_path, query.lastError());
        const int version = query.value(0).toInt();
        if (version > FormatVersion)
            return fromNewerVersion(m_path);
        if (version < FormatVersion)
            return notAJournal(m_path);
        const QString probe = QStringLiteral("SELECT %1 FROM %2 LIMIT 0");
        if (!query.exec(probe.arg(QLatin1StringView(AnswerColumns), u"answers")) ||
            !query.exec(probe.arg(QLatin1StringView(WordColumns), u"words")))
            return notAJournal(m_path);
    }
    if (!run("PRAGMA journal_mode = WAL") || !query.next() ||
        query.value(0).toString().compare(u"wal", Qt::CaseInsensitive) != 0)
        return openFailure(m_path, query.lastError());
    // Commits reach the operating system at once; only a power cut can lose the last of them.
    run("PRAGMA synchronous = NORMAL");
    if (!run("BEGIN EXCLUSIVE"))
        return openFailure(m_path, query.lastError());
    if (fresh) {
        if (!run(CreateAnswers) || !run(IndexAnswers) || !run(CreateWords) ||
            !run("PRAGMA user_version = 1")) {
            const QSqlError error = query.lastError();
            run("ROLLBACK");
            return openFailure(m_path, error);
        }
    }
    if (!run("COMMIT")) {
        const QSqlError error = query.lastError();
        run("ROLLBACK");
        return openFailure(m_path, error);
    }
    return {};
}

Result<void> Journal::loadWords()
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1 FROM words").arg(QLatin1StringView(WordColumns))))
        return openFailure(m_path, query.lastError());
    while (query.next()) {
        WordMemory memory;
        memory.stability = query.value(2).toDouble();
        memory.difficulty = query.value(3).toDouble();
        memory.dueMs = query.value(4).toLongLong();
        memory.repetitions = query.value(5).toInt();
        memory.lapses = query.value(6).toInt();
        memory.lastReviewMs = query.value(7).toLongLong();
        memory.scheduledDays = int((memory.dueMs - memory.lastReviewMs) / DayMs);
        const int slot = slotFor(query.value(0).toString(), query.value(1).toString());
        m_states[size_t(slot)] = memory;
    }
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
    m_keys.emplace_back(simplified, pinyin);
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
        // one now, which its row keeps.
        const bool indexed = answer.row >= 0 && size_t(answer.row) < m_slotOfRow.size();
        const int slot = indexed && m_slotOfRow[size_t(answer.row)] >= 0
                             ? m_slotOfRow[size_t(answer.row)]
                             : slotFor(answer.simplified, answer.pinyin);
        WordMemory &memory = m_states[size_t(slot)];
        memory = ReviewScheduler::review(memory, answer.right ? ReviewGrade::Good : ReviewGrade::Again,
                                         answer.timeMs);
        if (!m_dirty[size_t(slot)]) {
            m_dirty[size_t(slot)] = true;
            m_dirtySlots.push_back(slot);
        }
        // The rows of a word are tied together, so only a word met for the first time has rows to tie.
        if (indexed && m_slotOfRow[size_t(answer.row)] != slot)
            tieRowsOfWord(answer.row, slot);
    }
    if (!m_batchTimer.isActive())
        m_batchTimer.start();
}

bool Journal::flush()
{
    m_batchTimer.stop();
    if (m_broken)
        return false;
    if (m_pending.empty() && m_dirtySlots.empty())
        return true;
    if (!m_db.transaction()) {
        fail(m_db.lastError().databaseText());
        return false;
    }
    QSqlQuery insert(m_db);
    insert.prepare(QStringLiteral("INSERT INTO answers (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                       .arg(QLatin1StringView(AnswerColumns)));
    for (const JournalAnswer &answer : m_pending) {
        insert.addBindValue(answer.timeMs);
        insert.addBindValue(text(answer.dictionaryPath));
        insert.addBindValue(text(answer.pinyin));
        insert.addBindValue(text(answer.simplified));
        insert.addBindValue(text(answer.full));
        insert.addBindValue(text(answer.lesson));
        insert.addBindValue(int(answer.right));
        insert.addBindValue(int(answer.typed));
        insert.addBindValue(int(answer.firstOfShowing));
        insert.addBindValue(answer.answerMs);
        if (!insert.exec()) {
            const QString reason = insert.lastError().databaseText();
            m_db.rollback();
            fail(reason);
            return false;
        }
    }
    QSqlQuery upsert(m_db);
    upsert.prepare(QStringLiteral("INSERT OR REPLACE INTO words (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                       .arg(QLatin1StringView(WordColumns)));
    for (const int slot : m_dirtySlots) {
        const WordMemory &memory = m_states[size_t(slot)];
        upsert.addBindValue(text(m_keys[size_t(slot)].first));
        upsert.addBindValue(text(m_keys[size_t(slot)].second));
        upsert.addBindValue(memory.stability);
        upsert.addBindValue(memory.difficulty);
        upsert.addBindValue(memory.dueMs);
        upsert.addBindValue(memory.repetitions);
        upsert.addBindValue(memory.lapses);
        upsert.addBindValue(memory.lastReviewMs);
        if (!upsert.exec()) {
            const QString reason = upsert.lastError().databaseText();
            m_db.rollback();
            fail(reason);
            return false;
        }
    }
    if (!m_db.commit()) {
        const QString reason = m_db.lastError().databaseText();
        m_db.rollback();
        fail(reason);
        return false;
    }
    m_pending.clear();
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

void Journal::fail(const QString &reason)
{
    m_broken = true;
    m_pending.clear();
    m_dirtySlots.clear();
    Q_EMIT writeFailed(QStringLiteral("Не удалось записать ответы в журнал «%1»: %2. Возможно, диск заполнен "
                                      "или доступен только для чтения. Урок продолжится без журнала; "
                                      "записанное раньше сохранено.")
                           .arg(shownPath(m_path), reason));
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
