#include "journal/journalkeeper.h"

#include "dictionary/fileio.h"
#include "dictionary/wordtable.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace wordlark {

namespace {

const QString SyncFolderSetting = QStringLiteral("sync_folder");

} // namespace

JournalKeeper::JournalKeeper(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_path(QDir(folder).filePath(Journal::fileName()))
    , m_now([] { return QDateTime::currentMSecsSinceEpoch(); })
{
    m_syncSoon.setSingleShot(true);
    m_syncSoon.setInterval(0);
    connect(&m_syncSoon, &QTimer::timeout, this, &JournalKeeper::syncNow);
}

JournalKeeper::~JournalKeeper()
{
    // The last answers reach the other computers too.
    syncNow();
    closeJournal();
}

void JournalKeeper::closeJournal()
{
    m_sync.reset();
    m_journal.reset();
    m_syncStatus = {};
}

Result<void> JournalKeeper::openIfPresent()
{
    if (isOn() || !QFileInfo::exists(m_path))
        return {};
    Result<std::unique_ptr<Journal>> opened = Journal::open(m_path);
    if (!opened)
        return Failure{opened.error()};
    take(std::move(opened).value());
    return {};
}

Result<void> JournalKeeper::turnOn()
{
    if (isOn())
        return {};
    // A file that is already there is opened, never replaced: it may be a journal a second copy of the
    // program has just let go of.
    Result<std::unique_ptr<Journal>> made =
        QFileInfo::exists(m_path) ? Journal::open(m_path) : Journal::create(m_path);
    if (!made)
        return Failure{made.error()};
    take(std::move(made).value());
    return {};
}

Result<void> JournalKeeper::turnOffAndDelete()
{
    closeJournal();
    return Journal::deleteFile(m_path);
}

void JournalKeeper::take(std::unique_ptr<Journal> journal)
{
    m_journal = std::move(journal);
    m_sync = std::make_unique<JournalSync>(*m_journal);
    connect(m_journal.get(), &Journal::stopped, this, &JournalKeeper::journalStopped);
    connect(m_journal.get(), &Journal::batchWritten, this,
            [this] { synchronise(JournalSync::Write::WhenDue); });
    if (m_table)
        m_journal->indexWords(*m_table);
    // From the event loop: the journal may still be checking its file on a thread of its own.
    m_syncSoon.start();
}

void JournalKeeper::journalStopped(const QString &message)
{
    // The journal may be inside its own write, perhaps one a synchronisation started; both are let go
    // once that has returned.
    QTimer::singleShot(0, this, [sync = std::shared_ptr<JournalSync>(m_sync.release())] {});
    m_syncStatus = {};
    if (m_journal)
        m_journal.release()->deleteLater();
    Q_EMIT stopped(message);
}

void JournalKeeper::useDictionary(const WordTable &table, const QString &dictionaryPath)
{
    m_table = &table;
    m_dictionaryPath = dictionaryPath;
    if (m_journal)
        m_journal->indexWords(table);
}

void JournalKeeper::questionAsked()
{
    m_shownFor.start();
}

void JournalKeeper::answerGiven(const Answer &given)
{
    if (!m_journal || !m_table || given.word < 0 || given.word >= m_table->rowCount())
        return;
    JournalAnswer answer = answerToWord(*m_table, given.word);
    answer.timeMs = m_now();
    answer.dictionaryPath = m_dictionaryPath;
    answer.right = given.right;
    answer.typed = given.typed;
    answer.written = given.written;
    answer.firstOfShowing = given.first;
    answer.answerMs = m_shownFor.isValid() ? int(std::min<qint64>(m_shownFor.elapsed(), INT_MAX)) : 0;
    m_journal->record(answer);
}

void JournalKeeper::writeNow()
{
    if (m_journal && m_journal->flush() && !syncFolder().isEmpty())
        m_syncSoon.start();
}

QString JournalKeeper::syncFolder() const
{
    return m_journal ? m_journal->setting(SyncFolderSetting) : QString();
}

Result<void> JournalKeeper::setSyncFolder(const QString &folder)
{
    if (!m_journal)
        return Failure{{QStringLiteral("Журнал ответов не ведётся: синхронизировать нечего.")}};
    if (const Result<void> stored = m_journal->setSetting(SyncFolderSetting, folder); !stored)
        return stored;
    // Schedules worked out one answer at a time could differ from a replay if the clock ever went back:
    // from now on every computer's schedules are the replay's.
    if (const Result<void> replayed = m_journal->replayAll(); !replayed)
        return replayed;
    m_unreachableTold = false;
    syncNow();
    return {};
}

Result<void> JournalKeeper::stopSync()
{
    m_syncStatus = {};
    return m_journal ? m_journal->setSetting(SyncFolderSetting, QString()) : Result<void>();
}

void JournalKeeper::syncNow()
{
    synchronise(JournalSync::Write::Now);
}

void JournalKeeper::synchronise(JournalSync::Write write)
{
    const QString folder = syncFolder();
    if (!m_sync || folder.isEmpty() || !m_journal->writable())
        return;
    const SyncOutcome outcome = m_sync->synchronise(folder, write);
    if (!m_journal)
        return; // a write failed meanwhile, and the learner has been told
    m_syncStatus.problem = outcome.problem;
    if (outcome.reached) {
        m_syncStatus.lastSyncMs = m_now();
        m_syncStatus.computers = outcome.computers;
    }
    if (outcome.newAnswers > 0 || outcome.renamed) {
        if (m_table)
            m_journal->indexWords(*m_table);
        Q_EMIT synced();
    }
    if (!outcome.reached && !std::exchange(m_unreachableTold, true))
        Q_EMIT syncMessage(QStringLiteral("Папка синхронизации «%1» недоступна: %2. Урок продолжится; "
                                          "ответы будут переданы, когда папка снова будет доступна.")
                               .arg(shownPath(folder), outcome.problem));
    if (!outcome.newerFiles.isEmpty() && !std::exchange(m_newerTold, true))
        Q_EMIT syncMessage(QStringLiteral("В папке синхронизации есть ответы, записанные более новой версией "
                                          "программы на другом компьютере («%1»). Они будут приняты после "
                                          "обновления программы.")
                               .arg(shownPath(outcome.newerFiles.constFirst())));
}

SyncStatus JournalKeeper::syncStatus() const
{
    SyncStatus status = m_syncStatus;
    status.folderChosen = !syncFolder().isEmpty();
    return status;
}

int JournalKeeper::dueCount(const LessonList &lessons) const
{
    return m_journal ? m_journal->dueCount(lessons, m_now()) : 0;
}

std::vector<int> JournalKeeper::dueWords(const LessonList &lessons) const
{
    return m_journal ? m_journal->dueWords(lessons, m_now()) : std::vector<int>();
}

} // namespace wordlark
