#pragma once

#include "dictionary/result.h"
#include "journal/reviewscheduler.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QTimer>
#include <memory>
#include <thread>
#include <vector>

struct sqlite3;

namespace wordlark {

class LessonList;
class WordTable;

// One answer as the journal records it.
struct JournalAnswer {
    qint64 timeMs = 0; // ms since the epoch, UTC
    QString dictionaryPath;
    QString pinyin;
    QString simplified;
    QString full;
    QString lesson;
    bool right = false;
    bool typed = false;
    bool firstOfShowing = false; // the first answer since the word came on screen: it grades the review
    bool written = false;        // given by writing the word stroke by stroke
    int answerMs = 0;            // from the question appearing to this answer
    int row = -1;                // the word's row in the table last given to indexWords(), or -1
};

// An answer to the word in `row` of `table`, with the word's fields filled in; the rest is the caller's.
JournalAnswer answerToWord(const WordTable &table, int row);

// Answers given on one local calendar day.
struct DayAnswers {
    QDate day;
    int answers = 0;
    int firstAnswers = 0;
    int rightFirstAnswers = 0;
};

// How far the words of one lesson have come.
struct LessonStanding {
    QString label;
    int known = 0;    // the memory holds for three weeks or more
    int learning = 0; // met, but not yet known
    int notMet = 0;
};

struct LapsedWord {
    QString pinyin;
    QString simplified;
    QString translation; // from the current dictionary; empty when the word is not in it
    int lapses = 0;
};

// The learning journal: every answer and each met word's schedule, kept in one SQLite file across runs
// and dictionaries. Words are known by their simplified characters and pinyin, so a word keeps its
// history in every dictionary that holds it.
//
// Answers are gathered in memory and written in one transaction a few seconds after the first of them
// (and whenever flush() is called, as at the end of a pass), so an answer never waits for the disk and
// a crash loses at most those seconds. The words' schedule is held in memory as well, loaded once, so
// the questions about due words cost no reading.
//
// The file is held locked while the journal is open: a second running copy cannot open it. Nothing is
// written to a file before it has been found to be a sound journal of this version: the check of the whole
// file runs beside the quiz after opening, and the first read or write waits for it.
class Journal final : public QObject {
    Q_OBJECT

public:
    // The file's format, in SQLite's user_version. An older file is brought up to this one when it is
    // taken for writing (see formatSteps() in journal.cpp), after a copy of it is left beside it.
    static constexpr int FormatVersion = 3;
    static constexpr int BatchDelayMs = 3000;
    static constexpr double KnownStabilityDays = 21;

    static QString fileName() { return QStringLiteral("journal.sqlite"); }

    // Opens the journal at `path`. A file that is not a journal, comes from a newer version, is held by
    // another copy of the program or cannot be written is left exactly as it was. A damaged file is found
    // by the check that follows: stopped() says so and the file is left as it was too.
    static Result<std::unique_ptr<Journal>> open(const QString &path);
    // Makes a new, empty journal at `path`, where no file may be yet.
    static Result<std::unique_ptr<Journal>> create(const QString &path);
    // Deletes a closed journal's file and the database's side files.
    static Result<void> deleteFile(const QString &path);

    ~Journal() override;

    const QString &path() const { return m_path; }
    // False once the journal has stopped: it then records nothing more.
    bool writable() const { return !m_broken; }
    // Waits for the check of the file that open() began; true when the journal may be written.
    bool waitForCheck();
    int pendingAnswers() const { return int(m_pending.size()); }
    // How long answers wait for their write; BatchDelayMs unless a test wants it shorter.
    void setBatchDelay(int ms) { m_batchTimer.setInterval(ms); }

    // This computer's name in the sync folder, made with the journal and kept in it.
    const QString &deviceId() const { return m_device; }
    // Settings that must outlive a run (the sync folder); empty when never set.
    QString setting(const QString &name);
    Result<void> setSetting(const QString &name, const QString &value);

    // Keeps the answer for the next write; the first answer of a showing is also the word's review.
    void record(const JournalAnswer &answer);
    // Writes the kept answers and schedule changes now, in one transaction. On failure, or when the file
    // under the journal's name is no longer the one open (deleted or replaced by hand), emits stopped()
    // once and records nothing more; what was written before stays.
    bool flush();
    // Works out every word's schedule afresh from all its answers, in time order.
    Result<void> replayAll();

    // Ties the dictionary's rows to the words the journal knows; done at every load of a dictionary.
    void indexWords(const WordTable &table);
    // The schedule of the word in `row` of the indexed table, or null for a word never met.
    const WordMemory *memory(int row) const;
    int knownWordCount() const { return int(m_states.size()); }

    // Words of the chosen lessons due at `nowMs`; a word on several rows counts once.
    int dueCount(const LessonList &lessons, qint64 nowMs) const;
    // Their rows, most overdue first: of a word on several rows, the first chosen one.
    std::vector<int> dueWords(const LessonList &lessons, qint64 nowMs) const;

    // The last `days` local days up to today (`utcOffsetSeconds` from UTC), oldest first, empty days
    // included.
    QList<DayAnswers> answersPerDay(qint64 nowMs, int utcOffsetSeconds, int days) const;
    // Each lesson of the indexed dictionary, in list order.
    QList<LessonStanding> lessonProgress(const LessonList &lessons) const;
    // Words of the indexed dictionary falling due on each of the next `days` local days; today's count
    // includes the overdue ones.
    QList<int> dueByDay(qint64 nowMs, int utcOffsetSeconds, int days) const;
    // The words with the most lapses, most first; `table` is the indexed dictionary.
    QList<LapsedWord> mostLapsed(const WordTable &table, int count) const;

Q_SIGNALS:
    // The journal stopped recording: a write failed, the check found the file damaged, or the file was
    // deleted or replaced while open. The message is for the learner.
    void stopped(const QString &message);
    // The batch timer wrote kept answers.
    void batchWritten();

private:
    // Reads and writes the sync folder's files straight into the tables.
    friend class JournalSync;

    // Where a file is on its disk: what stays the same while it is renamed, and changes when another file
    // takes its name.
    struct FileIdentity {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const FileIdentity &) const = default;
    };
    static FileIdentity identityOf(const QString &path);

    Journal(QString path, QString connection);

    bool connectTo(const QString &uri);
    Result<void> examine();
    void startCheck();
    void waitForCheckThread() const;
    void settleCheck();
    bool ready();
    Result<void> takeFile(bool fresh, bool creating);
    Result<void> leaveCopy();
    bool upgrade();
    bool hasTheColumns() const;
    Result<void> loadWords();
    void leaveFileAsItIs(bool leave);
    bool fileMoved() const;
    int slotFor(const QString &simplified, const QString &pinyin);
    // Gives `slot` to `row` and to every other row of the same word.
    void tieRowsOfWord(int row, int slot);
    // Calls `visit(row, slot)` for each word of the chosen lessons the journal knows, once a word.
    template <typename Visit> void forChosenWords(const LessonList &lessons, Visit visit) const;
    void stop(const QString &message);
    void writeBatch();
    bool writeDirtyWords(QSqlError &error);
    void markDirty(int slot);
    Result<void> loadDevice(bool mayWrite);
    // Replays the answers of the words in `slots` (all words when `all`) and marks them for writing;
    // inside the caller's transaction.
    Result<void> replay(const std::vector<int> &slots, bool all);

    QString m_path;
    QString m_connection;
    // The format the file was found in, and the copy of it this opening left when that was older.
    int m_version = FormatVersion;
    QString m_leftCopy;
    QSqlDatabase m_db;
    sqlite3 *m_handle = nullptr;
    QTimer m_batchTimer;
    bool m_broken = false;
    bool m_lost = false;       // the file under the name is no longer the one open
    bool m_leftAsItIs = false; // SQLite is not to fold its log into the file on closing
    bool m_walWasThere = false;
    FileIdentity m_wal; // the write-ahead log this journal reads and writes

    // The check of the whole file, on a thread of its own; the connection is the thread's until it ends.
    mutable std::thread m_check;
    bool m_checkUnsettled = false;
    QString m_checkVerdict;

    QString m_device;
    qint64 m_sequence = 0; // of this computer's last written answer

    std::vector<JournalAnswer> m_pending;
    // Words whose answers came out of time order (the clock went back): replayed at the write.
    std::vector<int> m_replaySlots;
    std::vector<int> m_dirtySlots;
    std::vector<bool> m_dirty;

    // The schedule of every word the journal knows, by slot, and the slot of each key and table row.
    std::vector<WordMemory> m_states;
    std::vector<std::pair<QString, QString>> m_keys; // simplified, pinyin
    QHash<QString, int> m_slotOfKey;
    std::vector<int> m_slotOfRow;
    // The next row that holds the same word (simplified and pinyin alike), round in a ring; -1 for a
    // word on one row only.
    std::vector<int> m_nextRowOfWord;
};

// At most `bars` entries: runs of neighbouring lessons are summed into one entry labelled by the first
// and last of them, so that a dictionary of thousands of lessons still makes a readable picture.
QList<LessonStanding> groupLessons(const QList<LessonStanding> &lessons, int bars);

} // namespace wordlark
