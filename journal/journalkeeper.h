#pragma once

#include "dictionary/result.h"
#include "journal/journal.h"
#include "journal/journalsync.h"
#include "quiz/answer.h"

#include <QElapsedTimer>
#include <QObject>
#include <functional>
#include <memory>

namespace wordlark {

class LessonList;
class WordTable;

// The journal as the quiz uses it: on exactly while its file exists in the working folder. It turns the
// quiz's events (a question on screen, an answer, the end of a pass) into journal records, and answers
// what the menu asks (how many words are due, which ones). Without the file it does nothing and writes
// nothing.
class JournalKeeper final : public QObject {
    Q_OBJECT

public:
    explicit JournalKeeper(const QString &folder, QObject *parent = nullptr);
    ~JournalKeeper() override;

    QString path() const { return m_path; }
    bool isOn() const { return m_journal != nullptr; }
    // Null while the journal is off.
    const Journal *journal() const { return m_journal.get(); }

    // Opens the journal if its file is there; without a file the journal stays off and that is no error.
    Result<void> openIfPresent();
    // Starts keeping the journal: opens the file, or makes it where there is none.
    Result<void> turnOn();
    // Stops keeping the journal and deletes its file with the whole history.
    Result<void> turnOffAndDelete();

    // The dictionary whose rows the answers name, and the path its answers are recorded under; given
    // again at every load.
    void useDictionary(const WordTable &table, const QString &dictionaryPath);

    // A question came on screen: the time to its first answer counts from here.
    void questionAsked();
    // Records the answer as the quiz judged it; an answer naming no row of the dictionary is left out.
    void answerGiven(const Answer &answer);
    // Writes what is kept, as at the end of a pass or before the progress window reads the journal, and
    // synchronises once the click that ended the pass has been answered.
    void writeNow();

    // The sync folder, kept in the journal; empty when there is none (or no journal).
    QString syncFolder() const;
    // Chooses the sync folder and synchronises with it at once.
    Result<void> setSyncFolder(const QString &folder);
    Result<void> stopSync();
    // Merges the other computers' answers and writes this one's; nothing without a sync folder. Done at
    // the journal's opening, after each batch, at the end of a pass, at close and when asked.
    void syncNow();
    SyncStatus syncStatus() const;

    int dueCount(const LessonList &lessons) const;
    std::vector<int> dueWords(const LessonList &lessons) const;

    // The clock for the answers' times and for what is due: the system's unless a test sets another.
    void setClock(std::function<qint64()> nowMs) { m_now = std::move(nowMs); }
    qint64 now() const { return m_now(); }

Q_SIGNALS:
    // The journal stopped and was closed: a write failed (the file keeps what was written before), its
    // file turned out damaged, or the file was deleted or replaced while the program ran.
    void stopped(const QString &message);
    // Something about the sync folder the learner should know: at most one message of each kind a run.
    void syncMessage(const QString &message);
    // Answers of other computers came in: what is due may have changed.
    void synced();

private:
    void take(std::unique_ptr<Journal> journal);
    void journalStopped(const QString &message);
    void closeJournal();
    void synchronise(JournalSync::Write write);

    QString m_path;
    std::unique_ptr<Journal> m_journal;
    const WordTable *m_table = nullptr;
    QString m_dictionaryPath;
    std::function<qint64()> m_now;
    QElapsedTimer m_shownFor;
    std::unique_ptr<JournalSync> m_sync;
    QTimer m_syncSoon;
    SyncStatus m_syncStatus;
    bool m_unreachableTold = false;
    bool m_newerTold = false;
};

} // namespace wordlark
