#include "journal/journalkeeper.h"

#include "dictionary/wordtable.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace wordlark {

JournalKeeper::JournalKeeper(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_path(QDir(folder).filePath(Journal::fileName()))
    , m_now([] { return QDateTime::currentMSecsSinceEpoch(); })
{
}

JournalKeeper::~JournalKeeper() = default;

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
    m_journal.reset();
    return Journal::deleteFile(m_path);
}

void JournalKeeper::take(std::unique_ptr<Journal> journal)
{
    m_journal = std::move(journal);
    connect(m_journal.get(), &Journal::stopped, this, &JournalKeeper::journalStopped);
    if (m_table)
        m_journal->indexWords(*m_table);
}

void JournalKeeper::journalStopped(const QString &message)
{
    // The journal may be inside its own write; it is let go once that has returned.
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
    if (m_journal)
        m_journal->flush();
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
