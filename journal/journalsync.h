#pragma once

#include "dictionary/result.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace wordlark {

class Journal;

// A new name for this computer in the sync folder: 16 hexadecimal digits drawn at random.
QString newDeviceId();

// What one synchronisation found.
struct SyncOutcome {
    bool reached = false; // the folder was read and this computer's file written
    QString problem;      // why not, in a few words, when not reached
    int computers = 0;    // other computers whose answers are in the folder
    int newAnswers = 0;   // answers merged this time
    // Answers this computer had given under a name another computer (a copy of its working folder)
    // used as well; they now carry this computer's new name.
    QStringList newerFiles; // files of a newer version of the program, left for a later one
    bool renamed = false;
};

// The journal's side of a folder the learner syncs between computers (a file-sync engine, a network
// share, a stick). The local journal stays the only source of truth and is never put there; each
// computer writes only its own file, `Wordlark/<device>.sqlite`, with every answer it has recorded,
// and reads the others' files. Answers are known by (device, sequence), so a merge is a union that can
// be repeated, and the words that new answers touch are rescheduled by replaying all their answers in
// time order (ties by device and sequence): two computers that merged the same files hold the same
// schedules, whatever order they merged in and whatever their clocks said.
class JournalSync final {
public:
    // The file format's version, in the file's user_version; a newer file is left for a newer program.
    static constexpr int FileVersion = 1;
    // "WLRK" in the file's application_id: a database that is not ours is never merged.
    static constexpr int ApplicationId = 0x574c524b;

    static QString subfolder() { return QStringLiteral("Wordlark"); }
    static QString deviceFilePath(const QString &folder, const QString &device);

    explicit JournalSync(Journal &journal);
    ~JournalSync();
    JournalSync(const JournalSync &) = delete;
    JournalSync &operator=(const JournalSync &) = delete;

    // When this computer's file is written: at once, or, after a batch of answers, only if writing it
    // has taken less than a tenth of the time since the last write (a file of a million answers takes
    // about a second: the learner answering on should not wait a second every few seconds).
    enum class Write { Now, WhenDue };

    // Merges every other computer's file that changed since it was last read, then writes this
    // computer's file if it lacks answers. Pending answers are written to the journal first.
    SyncOutcome synchronise(const QString &folder, Write write = Write::Now);

    // The parts of a synchronisation. A merge returns the number of new answers; a file that is being
    // written, cut short, not ours or of a newer version changes nothing.
    Result<int> mergeFile(const QString &path);
    Result<void> writeDeviceFile(const QString &folder);

    // Called between reading a file's bytes and checking that it did not change meanwhile (tests).
    void setAfterRead(std::function<void(const QString &path)> hook) { m_afterRead = std::move(hook); }

private:
    struct Stamp {
        qint64 size = -1;
        qint64 inode = -1;
        qint64 modifiedNs = -1;
        friend bool operator==(const Stamp &, const Stamp &) = default;
    };
    enum class Skip { None, Changing, Newer, Other };
    struct FileAnswers;

    static Stamp stampOf(const QString &path);
    Result<QString> privateCopy(const QString &path);
    Result<int> mergeCopy(const QString &copy, const QString &path);
    Result<int> mergeOwnName();
    Result<int> insertFrom(const QString &device, qint64 renameFrom);
    Result<void> fillOutbox(const QString &outbox);
    Failure skipped(Skip why, const QString &reason);
    QString temporaryPath(const QString &name);
    void remember(const QString &path, const Stamp &stamp);
    void loadRemembered();

    Journal &m_journal;
    bool m_loaded = false;
    std::unique_ptr<QTemporaryDir> m_temporary;
    std::function<void(const QString &)> m_afterRead;
    // Files merged (or refused) as they were then: read again only once they change.
    QHash<QString, Stamp> m_seen;
    // The computer each merged file came from.
    QHash<QString, QString> m_deviceOfFile;
    // Why the last file was not merged.
    Skip m_lastSkip = Skip::None;
    // This computer's file as last written, with the answers it held.
    Stamp m_written;
    QString m_writtenDevice;
    qint64 m_writtenSequence = -1;
    QElapsedTimer m_sinceWrite;
    qint64 m_writeCostMs = 0;
};

// How the last synchronisation went, as the progress window's summary line tells it.
struct SyncStatus {
    bool folderChosen = false;
    qint64 lastSyncMs = 0; // 0: not yet in this run
    int computers = 0;
    QString problem; // the folder could not be reached last time
};
QString syncSummary(const SyncStatus &status, int utcOffsetSeconds);

} // namespace wordlark
