#include "journal/journalsync.h"

#include "dictionary/fileio.h"
#include "journal/journal.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace wordlark {

namespace {

// The columns an answer has in the journal and in a device file alike; a device file adds its sequence
// and leaves the device to the file.
const QString SharedColumns = u"time_ms, dictionary, pinyin, simplified, full, lesson, is_right, typed, "
                              "first_of_showing, answer_ms, written"_s;
// "seen <path>": "<size> <inode> <modified ns> <device>" of a file in the folder as last read.
const QString SeenSetting = u"seen "_s;

// "<device> <sequence> <size> <inode> <modified ns>" of this computer's file as last written.
const QString WrittenSetting = u"device_file"_s;

// "renamed <old device>": "<first sequence renamed> <new device>".
const QString RenamedSetting = u"renamed "_s;

// Writing this computer's file after a batch takes at most this share of the time: 1 in 10.
constexpr qint64 WriteTimeShare = 10;

// Where replaying word by word stops paying: beyond it one pass over all reviews is quicker.
constexpr size_t WordByWordLimit = 2000;

quint32 bigEndian(const QByteArray &bytes, int at, int width)
{
    quint32 value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | quint8(bytes[at + i]);
    return value;
}

bool isDatabase(const QByteArray &bytes)
{
    return bytes.startsWith(QByteArrayView("SQLite format 3\0", 16));
}

// A database is whole when the page count in its header covers exactly its bytes; a file that a sync
// engine or a copy is still writing in place is shorter.
bool isWhole(const QByteArray &bytes)
{
    if (bytes.size() < 100)
        return false;
    qint64 pageSize = bigEndian(bytes, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    const quint32 changes = bigEndian(bytes, 24, 4);
    const quint32 pages = bigEndian(bytes, 28, 4);
    // Writers older than SQLite 3.7 leave the count stale; SQLite itself then finds what is missing.
    if (bigEndian(bytes, 92, 4) != changes || pages == 0)
        return true;
    return bytes.size() == pageSize * qint64(pages);
}

} // namespace

QString newDeviceId()
{
    return QString::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, u'0');
}

// ---- Replaying schedules ------------------------------------------------------------------------------

Result<void> Journal::replayAll()
{
    if (!ready())
        return Failure{{u"журнал ответов не ведётся"_s}};
    if (!m_db.transaction())
        return Failure{{m_db.lastError().databaseText()}};
    Result<void> replayed = replay({}, true);
    if (replayed) {
        if (QSqlError error; !writeDirtyWords(error))
            replayed = Failure{{error.databaseText()}};
    }
    if (!replayed || !m_db.commit()) {
        const QString reason = replayed ? m_db.lastError().databaseText() : replayed.error();
        m_db.rollback();
        return Failure{{reason}};
    }
    return {};
}

// Reviews are read straight from SQLite through the word index, which holds them in replay order: a
// million of them through QVariant would take seconds, and no sorting is needed.
Result<void> Journal::replay(const std::vector<int> &slots, bool all)
{
    sqlite3 *handle = m_handle;
    const bool wordByWord = !all && slots.size() <= WordByWordLimit;
    const char *const sql =
        wordByWord ? "SELECT simplified, pinyin, time_ms, is_right FROM answers INDEXED BY answers_by_word "
                     "WHERE simplified = ?1 AND pinyin = ?2 AND first_of_showing = 1 "
                     "ORDER BY simplified, pinyin, time_ms, device, sequence"
                   : "SELECT simplified, pinyin, time_ms, is_right FROM answers INDEXED BY answers_by_word "
                     "WHERE first_of_showing = 1 ORDER BY simplified, pinyin, time_ms, device, sequence";
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr) != SQLITE_OK)
        return Failure{{QString::fromUtf8(sqlite3_errmsg(handle))}};
    const auto finalize = qScopeGuard([statement] { sqlite3_finalize(statement); });

    std::vector<bool> wanted(m_states.size(), all);
    for (const int slot : slots)
        wanted[size_t(slot)] = true;
    std::string lastKey;
    int slot = -1;
    // Replays the reviews the statement gives, word after word.
    const auto replayRows = [&]() -> int {
        int code = SQLITE_ROW;
        while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
            const auto text = [&](int column) {
                return std::string_view(
                    reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                    size_t(sqlite3_column_bytes(statement, column)));
            };
            const std::string_view simplified = text(0);
            const std::string_view pinyin = text(1);
            if (lastKey.size() != simplified.size() + pinyin.size() + 1 ||
                std::string_view(lastKey).substr(0, simplified.size()) != simplified ||
                lastKey[simplified.size()] != '\x1f' ||
                std::string_view(lastKey).substr(simplified.size() + 1) != pinyin) {
                lastKey.assign(simplified).push_back('\x1f');
                lastKey.append(pinyin);
                const QString s = QString::fromUtf8(simplified.data(), qsizetype(simplified.size()));
                const QString p = QString::fromUtf8(pinyin.data(), qsizetype(pinyin.size()));
                slot = all ? slotFor(s, p) : m_slotOfKey.value(s + QChar(0x1f) + p, -1);
                if (slot >= 0 && size_t(slot) >= wanted.size())
                    wanted.resize(size_t(slot) + 1, all);
                if (slot >= 0 && !wanted[size_t(slot)])
                    slot = -1;
                if (slot >= 0) {
                    m_states[size_t(slot)] = WordMemory();
                    markDirty(slot);
                }
            }
            if (slot < 0)
                continue;
            WordMemory &memory = m_states[size_t(slot)];
            memory = ReviewScheduler::review(
                memory, sqlite3_column_int(statement, 3) ? ReviewGrade::Good : ReviewGrade::Again,
                sqlite3_column_int64(statement, 2));
        }
        return code;
    };

    if (!wordByWord)
        return replayRows() == SQLITE_DONE ? Result<void>()
                                           : Failure{{QString::fromUtf8(sqlite3_errmsg(handle))}};
    for (const int word : slots) {
        const QByteArray simplified = m_keys[size_t(word)].first.toUtf8();
        const QByteArray pinyin = m_keys[size_t(word)].second.toUtf8();
        sqlite3_reset(statement);
        sqlite3_bind_text(statement, 1, simplified.constData(), int(simplified.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(statement, 2, pinyin.constData(), int(pinyin.size()), SQLITE_TRANSIENT);
        lastKey.clear();
        if (replayRows() != SQLITE_DONE)
            return Failure{{QString::fromUtf8(sqlite3_errmsg(handle))}};
    }
    return {};
}

// ---- The sync folder ----------------------------------------------------------------------------------

// What was last written is kept in the journal, so that a new run neither reads back nor writes again a
// file that is as this computer left it.
JournalSync::JournalSync(Journal &journal)
    : m_journal(journal)
{
}

// Read once the journal is ready: it may still be checking its file when this is made.
void JournalSync::loadRemembered()
{
    if (std::exchange(m_loaded, true))
        return;
    const QStringList written = m_journal.setting(WrittenSetting).split(u' ');
    if (written.size() == 5) {
        m_writtenDevice = written[0];
        m_writtenSequence = written[1].toLongLong();
        m_written = {written[2].toLongLong(), written[3].toLongLong(), written[4].toLongLong()};
    }
    QSqlQuery query(m_journal.m_db);
    if (!query.exec(u"SELECT name, value FROM settings WHERE name LIKE 'seen %'"_s))
        return;
    while (query.next()) {
        const QString path = query.value(0).toString().mid(SeenSetting.size());
        const QStringList seen = query.value(1).toString().split(u' ');
        if (seen.size() < 3)
            continue;
        m_seen.insert(path, {seen[0].toLongLong(), seen[1].toLongLong(), seen[2].toLongLong()});
        if (seen.size() == 4)
            m_deviceOfFile.insert(path, seen[3]);
    }
}

// Keeps what is known of a file in the folder for the next run, or forgets it (an empty stamp).
void JournalSync::remember(const QString &path, const Stamp &stamp)
{
    QSqlQuery query(m_journal.m_db);
    if (stamp.size < 0) {
        query.prepare(u"DELETE FROM settings WHERE name = ?"_s);
        query.addBindValue(SeenSetting + path);
    } else {
        query.prepare(u"INSERT OR REPLACE INTO settings (name, value) VALUES (?, ?)"_s);
        query.addBindValue(SeenSetting + path);
        query.addBindValue(u"%1 %2 %3 %4"_s.arg(stamp.size)
                               .arg(stamp.inode)
                               .arg(stamp.modifiedNs)
                               .arg(m_deviceOfFile.value(path))
                               .trimmed());
    }
    query.exec();
}

JournalSync::~JournalSync() = default;

QString JournalSync::deviceFilePath(const QString &folder, const QString &device)
{
    return QDir(folder).filePath(subfolder() + u'/' + device + u".sqlite"_s);
}

// The file's identity and state to the nanosecond: a file replaced by another of the same size within
// the same millisecond still shows as changed.
JournalSync::Stamp JournalSync::stampOf(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {qint64(info.st_size), qint64(info.st_ino),
            qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

QString JournalSync::temporaryPath(const QString &name)
{
    if (!m_temporary)
        m_temporary = std::make_unique<QTemporaryDir>();
    return m_temporary->filePath(name);
}

Failure JournalSync::skipped(Skip why, const QString &reason)
{
    m_lastSkip = why;
    return Failure{reason};
}

SyncOutcome JournalSync::synchronise(const QString &folder, Write write)
{
    SyncOutcome outcome;
    if (!m_journal.flush()) {
        outcome.problem = u"журнал ответов не записывается"_s;
        return outcome;
    }
    loadRemembered();
    if (!QFileInfo(folder).isDir()) {
        outcome.problem = u"папка «%1» не найдена"_s.arg(shownPath(folder));
        return outcome;
    }
    const QString own = deviceFilePath(folder, m_journal.deviceId());
    const QDir files(QDir(folder).filePath(subfolder()));
    QSet<QString> present;
    for (const QFileInfo &file : files.entryInfoList({u"*.sqlite"_s}, QDir::Files, QDir::Name)) {
        const QString path = file.filePath();
        present.insert(path);
        const Stamp stamp = stampOf(path);
        if ((path == own && stamp == m_written && m_writtenDevice == m_journal.deviceId()) ||
            m_seen.value(path) == stamp)
            continue;
        const QString deviceBefore = m_journal.deviceId();
        const Result<int> merged = mergeFile(path);
        if (merged) {
            outcome.newAnswers += *merged;
            outcome.renamed = outcome.renamed || m_journal.deviceId() != deviceBefore;
        } else if (m_lastSkip == Skip::Newer) {
            outcome.newerFiles.append(path);
        }
        // A file still being written is read again next time; any other is read again once it changes.
        if (merged || m_lastSkip != Skip::Changing) {
            m_seen.insert(path, stamp);
            // A newer version's file is told about again in the next run.
            if (m_lastSkip != Skip::Newer)
                remember(path, stamp);
        }
    }
    for (auto it = m_seen.begin(); it != m_seen.end();) {
        if (present.contains(it.key()) || !it.key().startsWith(files.path() + u'/'))
            ++it;
        else {
            remember(it.key(), {});
            it = m_seen.erase(it);
        }
    }
    for (auto it = m_deviceOfFile.begin(); it != m_deviceOfFile.end();)
        it = present.contains(it.key()) || !it.key().startsWith(files.path() + u'/')
                 ? std::next(it)
                 : m_deviceOfFile.erase(it);

    const bool due = write == Write::Now || !m_sinceWrite.isValid() ||
                     m_sinceWrite.elapsed() >= WriteTimeShare * m_writeCostMs;
    if (due) {
        if (const Result<void> written = writeDeviceFile(folder); !written) {
            outcome.problem = written.error();
            return outcome;
        }
    }
    QSet<QString> others;
    for (auto it = m_deviceOfFile.cbegin(); it != m_deviceOfFile.cend(); ++it)
        if (it.value() != m_journal.deviceId() && present.contains(it.key()))
            others.insert(it.value());
    outcome.computers = int(others.size());
    outcome.reached = true;
    return outcome;
}

Result<int> JournalSync::mergeFile(const QString &path)
{
    m_lastSkip = Skip::None;
    if (!m_journal.ready())
        return Failure{{u"журнал ответов не записывается"_s}};
    loadRemembered();
    const Result<QString> copy = privateCopy(path);
    if (!copy)
        return Failure{copy.error()};
    const Result<int> merged = mergeCopy(*copy, path);
    QFile::remove(*copy);
    return merged;
}

// The file's bytes as read in one go, in a private file of ours: whatever happens to the file in the
// folder meanwhile, the copy stays as it was read.
Result<QString> JournalSync::privateCopy(const QString &path)
{
    const Stamp before = stampOf(path);
    const Result<QByteArray> bytes = readFileBytes(path, FileKind::DeviceFile);
    if (m_afterRead)
        m_afterRead(path);
    if (!bytes)
        return skipped(Skip::Changing, bytes.error());
    if (stampOf(path) != before)
        return skipped(Skip::Changing, u"файл меняется"_s);
    if (!isDatabase(*bytes))
        return skipped(Skip::Other, u"не файл ответов"_s);
    if (!isWhole(*bytes))
        return skipped(Skip::Changing, u"файл записан не до конца"_s);
    // A scratch file, thrown away after the merge: it need not wait for the disk.
    const QString copy = temporaryPath(u"incoming.sqlite"_s);
    QFile scratch(copy);
    if (!scratch.open(QIODevice::WriteOnly | QIODevice::Truncate) || scratch.write(*bytes) != bytes->size() ||
        !scratch.flush())
        return skipped(Skip::Changing, scratch.errorString());
    return copy;
}

Result<int> JournalSync::mergeCopy(const QString &copy, const QString &path)
{
    QSqlQuery query(m_journal.m_db);
    // The file comes from elsewhere: functions named in its schema are not run.
    query.exec(u"PRAGMA trusted_schema = OFF"_s);
    query.prepare(u"ATTACH DATABASE ? AS theirs"_s);
    query.addBindValue(copy);
    if (!query.exec())
        return skipped(Skip::Other, query.lastError().databaseText());
    const auto detach = qScopeGuard([&query] { query.exec(u"DETACH DATABASE theirs"_s); });

    const auto number = [&query](const QString &statement) {
        return query.exec(statement) && query.next() ? query.value(0).toLongLong() : -1;
    };
    if (number(u"PRAGMA theirs.application_id"_s) != ApplicationId)
        return skipped(Skip::Other, u"не файл ответов"_s);
    const qint64 version = number(u"PRAGMA theirs.user_version"_s);
    if (version > FileVersion)
        return skipped(Skip::Newer, u"файл более новой версии"_s);
    QString device;
    if (query.exec(u"SELECT id FROM theirs.device"_s) && query.next())
        device = query.value(0).toString();
    if (version < 1 || device.isEmpty() ||
        !query.exec(u"SELECT sequence, %1 FROM theirs.answers LIMIT 0"_s.arg(SharedColumns)))
        return skipped(Skip::Other, u"не файл ответов"_s);
    m_deviceOfFile.insert(path, device);
    const Result<int> merged = device == m_journal.deviceId() ? mergeOwnName() : insertFrom(device, -1);
    // A merge that failed here (the journal's disk full, say) is tried again next time.
    if (!merged)
        m_lastSkip = Skip::Changing;
    return merged;
}

// A file under this computer's own name: normally the one it wrote itself, holding nothing new. If it
// holds answers this journal does not have, a copy of this working folder answers on another computer
// under the same name. From the first answer where the two differ, one of them takes a new name for its
// answers; both sides compare the same two answers, so exactly one does, and neither loses any.
Result<int> JournalSync::mergeOwnName()
{
    QSqlQuery query(m_journal.m_db);
    query.prepare(
        u"SELECT f.sequence, m.rowid IS NULL,"
        " f.time_ms, f.simplified, f.pinyin, f.is_right, f.first_of_showing, f.answer_ms,"
        " m.time_ms, m.simplified, m.pinyin, m.is_right, m.first_of_showing, m.answer_ms"
        " FROM theirs.answers f LEFT JOIN main.answers m ON m.device = ? AND m.sequence = f.sequence"
        " WHERE m.rowid IS NULL OR m.time_ms <> f.time_ms OR m.simplified <> f.simplified"
        " OR m.pinyin <> f.pinyin OR m.is_right <> f.is_right"
        " OR m.first_of_showing <> f.first_of_showing OR m.answer_ms <> f.answer_ms"
        " ORDER BY f.sequence LIMIT 1"_s);
    query.addBindValue(m_journal.deviceId());
    if (!query.exec())
        return Failure{{query.lastError().databaseText()}};
    if (!query.next())
        return 0; // our own file, or an older copy of it
    const qint64 first = query.value(0).toLongLong();
    if (!query.value(1).toBool()) {
        const auto theirs =
            std::make_tuple(query.value(2).toLongLong(), query.value(3).toString(), query.value(4).toString(),
                            query.value(5).toInt(), query.value(6).toInt(), query.value(7).toLongLong());
        const auto ours = std::make_tuple(query.value(8).toLongLong(), query.value(9).toString(),
                                          query.value(10).toString(), query.value(11).toInt(),
                                          query.value(12).toInt(), query.value(13).toLongLong());
        // The other side renames its answers and will write them under its new name.
        if (ours < theirs)
            return 0;
    }
    return insertFrom(m_journal.deviceId(), first);
}

// Adds the attached file's answers under `device`, and replays the words they touch, in one transaction.
// With `renameFrom` >= 0 this computer's answers from that sequence on first move to a new name.
Result<int> JournalSync::insertFrom(const QString &device, qint64 renameFrom)
{
    QSqlDatabase &db = m_journal.m_db;
    if (!db.transaction())
        return Failure{{db.lastError().databaseText()}};
    QSqlQuery query(db);
    const auto failed = [&]() -> Result<int> {
        const QString reason = query.lastError().databaseText();
        db.rollback();
        return Failure{{reason}};
    };
    std::vector<int> slots;
    const auto collect = [&] {
        while (query.next())
            slots.push_back(m_journal.slotFor(query.value(0).toString(), query.value(1).toString()));
    };
    QString newName;
    if (renameFrom >= 0) {
        newName = newDeviceId();
        query.prepare(u"SELECT DISTINCT simplified, pinyin FROM main.answers "
                      "WHERE device = ? AND sequence >= ? AND first_of_showing = 1"_s);
        query.addBindValue(device);
        query.addBindValue(renameFrom);
        if (!query.exec())
            return failed();
        collect();
        query.prepare(u"UPDATE main.answers SET device = ?, sequence = sequence - ? + 1 "
                      "WHERE device = ? AND sequence >= ?"_s);
        query.addBindValue(newName);
        query.addBindValue(renameFrom);
        query.addBindValue(device);
        query.addBindValue(renameFrom);
        if (!query.exec())
            return failed();
        query.prepare(u"INSERT OR REPLACE INTO main.settings (name, value) VALUES ('device', ?), (?, ?)"_s);
        query.addBindValue(newName);
        query.addBindValue(RenamedSetting + device);
        query.addBindValue(u"%1 %2"_s.arg(renameFrom).arg(newName));
        if (!query.exec())
            return failed();
    }
    // Under a name this journal gave up, a file can still hold this computer's own answers of before
    // (a copy the sync engine kept of a file both computers wrote): those are here under the new name.
    const QStringList renamed = m_journal.setting(RenamedSetting + device).split(u' ');
    const QString exceptOwn =
        renamed.size() == 2
            ? u" WHERE NOT EXISTS (SELECT 1 FROM main.answers m WHERE m.device = ?"
              " AND m.sequence = f.sequence - ? + 1 AND m.time_ms = f.time_ms"
              " AND m.simplified = f.simplified AND m.pinyin = f.pinyin AND m.answer_ms = f.answer_ms)"_s
            : QString();
    if (!query.exec(u"SELECT COALESCE(MAX(rowid), 0) FROM main.answers"_s) || !query.next())
        return failed();
    const qint64 before = query.value(0).toLongLong();
    query.prepare(u"INSERT OR IGNORE INTO main.answers (%1, device, sequence) "
                  "SELECT %1, ?, sequence FROM theirs.answers f%2"_s.arg(SharedColumns, exceptOwn));
    query.addBindValue(device);
    if (!exceptOwn.isEmpty()) {
        query.addBindValue(renamed[1]);
        query.addBindValue(renamed[0].toLongLong());
    }
    if (!query.exec())
        return failed();
    const int inserted = query.numRowsAffected();
    query.prepare(u"SELECT simplified, pinyin FROM main.answers WHERE rowid > ? AND first_of_showing = 1"_s);
    query.addBindValue(before);
    if (!query.exec())
        return failed();
    collect();
    std::sort(slots.begin(), slots.end());
    slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
    Result<void> replayed = m_journal.replay(slots, false);
    if (replayed) {
        if (QSqlError error; !m_journal.writeDirtyWords(error))
            replayed = Failure{{error.databaseText()}};
    }
    if (!replayed) {
        db.rollback();
        return Failure{replayed.error()};
    }
    if (!db.commit())
        return failed();
    if (!newName.isEmpty()) {
        m_journal.m_device = newName;
        query.prepare(u"SELECT COALESCE(MAX(sequence), 0) FROM answers WHERE device = ?"_s);
        query.addBindValue(newName);
        m_journal.m_sequence = query.exec() && query.next() ? query.value(0).toLongLong() : 0;
    }
    return inserted;
}

Result<void> JournalSync::writeDeviceFile(const QString &folder)
{
    if (!m_journal.ready())
        return Failure{{u"журнал ответов не записывается"_s}};
    loadRemembered();
    if (!QFileInfo(folder).isDir())
        return Failure{{u"папка «%1» не найдена"_s.arg(shownPath(folder))}};
    const QString sub = QDir(folder).filePath(subfolder());
    if (!QDir().mkpath(sub))
        return Failure{{u"не удалось создать папку «%1»"_s.arg(shownPath(sub))}};
    const QString target = deviceFilePath(folder, m_journal.deviceId());
    if (m_writtenDevice == m_journal.deviceId() && m_writtenSequence == m_journal.m_sequence &&
        stampOf(target) == m_written)
        return {};
    QElapsedTimer cost;
    cost.start();
    const QString outbox = temporaryPath(u"outbox.sqlite"_s);
    QFile::remove(outbox);
    const Result<void> filled = fillOutbox(outbox);
    const Result<QByteArray> bytes =
        filled ? readFileBytes(outbox, FileKind::DeviceFile) : Result<QByteArray>(Failure{filled.error()});
    QFile::remove(outbox);
    if (!bytes)
        return Failure{{u"не удалось собрать файл ответов: %1"_s.arg(bytes.error())}};
    if (const Result<void> written = writeFileAtomically(target, *bytes); !written)
        return Failure{{u"не удалось записать «%1»: %2"_s.arg(shownPath(target), written.error())}};
    m_written = stampOf(target);
    m_writtenDevice = m_journal.deviceId();
    m_writtenSequence = m_journal.m_sequence;
    (void)m_journal.setSetting(WrittenSetting, u"%1 %2 %3 %4 %5"_s.arg(m_writtenDevice)
                                                   .arg(m_writtenSequence)
                                                   .arg(m_written.size)
                                                   .arg(m_written.inode)
                                                   .arg(m_written.modifiedNs));
    m_writeCostMs = cost.elapsed();
    m_sinceWrite.start();
    return {};
}

// This computer's answers, in a database of their own made beside the journal by SQLite.
Result<void> JournalSync::fillOutbox(const QString &outbox)
{
    QSqlDatabase &db = m_journal.m_db;
    QSqlQuery query(db);
    query.prepare(u"ATTACH DATABASE ? AS outbox"_s);
    query.addBindValue(outbox);
    if (!query.exec())
        return Failure{{query.lastError().databaseText()}};
    const auto detach = qScopeGuard([&query] { query.exec(u"DETACH DATABASE outbox"_s); });
    // The file is made whole in a private place and only then copied into the folder, so nothing it
    // does here needs a rollback journal or a wait for the disk.
    bool done = query.exec(u"PRAGMA outbox.journal_mode = OFF"_s) &&
                query.exec(u"PRAGMA outbox.synchronous = OFF"_s) &&
                query.exec(u"PRAGMA outbox.application_id = %1"_s.arg(ApplicationId)) &&
                query.exec(u"PRAGMA outbox.user_version = %1"_s.arg(FileVersion)) && db.transaction();
    if (!done)
        return Failure{{query.lastError().databaseText()}};
    done = query.exec(u"CREATE TABLE outbox.device (id TEXT NOT NULL)"_s) &&
           query.prepare(u"INSERT INTO outbox.device (id) VALUES (?)"_s) &&
           (query.addBindValue(m_journal.deviceId()), query.exec()) &&
           query.prepare(u"CREATE TABLE outbox.answers AS SELECT sequence, %1 FROM main.answers "
                         "WHERE device = ? ORDER BY sequence"_s.arg(SharedColumns)) &&
           (query.addBindValue(m_journal.deviceId()), query.exec());
    if (!done || !db.commit()) {
        const QString reason = done ? db.lastError().databaseText() : query.lastError().databaseText();
        db.rollback();
        return Failure{{reason}};
    }
    return {};
}

QString syncSummary(const SyncStatus &status, int utcOffsetSeconds)
{
    if (!status.folderChosen)
        return {};
    QString line;
    if (status.lastSyncMs > 0) {
        const QDateTime when =
            QDateTime::fromMSecsSinceEpoch(status.lastSyncMs, Qt::OffsetFromUTC, utcOffsetSeconds);
        line = u"Последняя синхронизация: %1, других компьютеров: %2."_s
                   .arg(when.toString(u"dd.MM.yyyy HH:mm"_s))
                   .arg(status.computers);
    } else {
        line = u"Синхронизации в этом сеансе ещё не было."_s;
    }
    if (!status.problem.isEmpty())
        line += u" Папка синхронизации недоступна: %1."_s.arg(status.problem);
    return line;
}

} // namespace wordlark
