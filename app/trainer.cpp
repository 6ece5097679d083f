#include "app/trainer.h"

#include "dictionary/textdecoding.h"

#include <QDir>
#include <QFile>

namespace wordlark {
namespace {

const QString kDefaultDictionaryPath = QStringLiteral("Dictionary/Dict.dic");
const QString kBuiltInDictionary = QStringLiteral(":/dictionary/Dict.dic");

TextLines builtInCourse()
{
    QFile builtIn(kBuiltInDictionary);
    if (!builtIn.open(QIODevice::ReadOnly))
        return {};
    return TextLines(builtIn.readAll());
}

} // namespace

Trainer::Trainer(const QString &startFolder, QObject *parent)
    : QObject(parent)
    , m_startFolder(startFolder)
    , m_dictionaryPath(kDefaultDictionaryPath)
    , m_random(std::make_unique<SystemRandom>())
    , m_soundAvailable(QDir(QDir(startFolder).filePath(QStringLiteral("audio"))).exists())
{
    m_settings.sound = m_soundAvailable;
}

Trainer::~Trainer() = default;

void Trainer::setRandomSource(std::unique_ptr<RandomSource> random)
{
    m_random = std::move(random);
}

// ---- The dictionary ------------------------------------------------------------------------------------

DictionaryRead Trainer::readDictionary()
{
    DictionaryRead read;
    Result<TextLines> lines = readDictionaryText(m_dictionaryPath);
    if (lines) {
        m_dictionaryText = std::move(lines).value();
    } else {
        read.builtInUsed = true;
        m_dictionaryText = builtInCourse();
    }
    read.lineCount = int(m_dictionaryText.size());
    return read;
}

// Parses the text read, builds the lesson list and chooses every lesson; returns the chosen words.
int Trainer::buildLessons(const std::function<void(int)> &beforeLine)
{
    parseDictionaryText(m_dictionaryText, m_table, beforeLine);
    // The table holds every cell: the file's bytes are not needed any more.
    m_dictionaryText = {};
    m_lessons.build(m_table);
    const int chosen = m_lessons.countSelected(std::vector<bool>(size_t(m_lessons.lessonCount()), true));
    m_session.setNewPassPending();
    return chosen;
}

DictionaryRead Trainer::changeDictionary(const QString &path)
{
    clearDictionary();
    m_dictionaryPath = path;
    Q_EMIT loadStarting();
    const DictionaryRead read = readDictionary();
    Q_EMIT dictionaryRead(read);
    buildLessons([this](int line) { Q_EMIT loadProgress(line); });
    Q_EMIT lessonsBuilt();
    nextQuestion();
    Q_EMIT dictionaryChanged(read);
    return read;
}

DictionaryRead Trainer::loadDictionary()
{
    const DictionaryRead read = readDictionary();
    const int chosen = buildLessons({});
    Q_EMIT lessonsBuilt();
    Q_EMIT remainingChanged(chosen);
    return read;
}

void Trainer::clearDictionary()
{
    m_dictionaryText = {};
    m_table.clear();
    m_question = {};
    m_session.restore({}, 0, {});
    m_lessons.clear();
}

void Trainer::forgetDictionary()
{
    clearDictionary();
    Q_EMIT lessonsBuilt();
}

// ---- Lessons -------------------------------------------------------------------------------------------

int Trainer::chooseLessons(std::vector<bool> chosen)
{
    const int count = m_lessons.countSelected(chosen);
    m_session.setNewPassPending();
    Q_EMIT remainingChanged(count);
    return count;
}

// ---- The quiz ------------------------------------------------------------------------------------------

void Trainer::nextQuestion()
{
    NextQuestion next = wordlark::nextQuestion(m_session, m_settings, m_lessons, m_table, *m_random);
    if (next.passStarted)
        Q_EMIT mistakesChanged(0);
    Q_EMIT remainingChanged(next.remaining);
    m_question = std::move(next.question);
    m_answeredThisQuestion = false;
    m_writingMissed = false;
    if (m_question.hasWord())
        Q_EMIT questionAsked(m_question.word);
    else
        Q_EMIT nothingToAsk();
}

bool Trainer::answerBox(int box)
{
    if (!m_question.hasWord())
        return false;
    return takeAnswer(
        Answer{m_question.word, box, m_question.isRightBox(box), false, !m_answeredThisQuestion});
}

bool Trainer::answerTyped(const QString &typed)
{
    if (!m_question.hasWord())
        return false;
    return takeAnswer(
        Answer{m_question.word, NoBox, m_question.isRightTypedAnswer(typed), true, !m_answeredThisQuestion});
}

// ---- The writing pass -------------------------------------------------------------------------------

void Trainer::startWriting(std::vector<bool> writable)
{
    m_writing = true;
    setWritableWords(std::move(writable));
    Q_EMIT writingChanged(true);
    chooseLessons(m_lessons.selectionFlags());
    nextQuestion();
}

void Trainer::setWritableWords(std::vector<bool> writable)
{
    // Every row must be named, so that an empty dictionary still limits the pass (to nothing).
    writable.resize(size_t(std::max(1, wordCount())), false);
    if (m_writing)
        m_session.setAskableWords(std::move(writable));
}

void Trainer::stopWriting()
{
    m_writing = false;
    m_session.setAskableWords({});
    Q_EMIT writingChanged(false);
    chooseLessons(m_lessons.selectionFlags());
    nextQuestion();
}

bool Trainer::answerWritten(bool right)
{
    if (!m_writing || !m_question.hasWord() || (!right && m_writingMissed))
        return false;
    if (!right)
        m_writingMissed = true;
    takeAnswer(Answer{m_question.word, 0, right, false, !m_answeredThisQuestion, true});
    return true;
}

bool Trainer::takeAnswer(Answer answer)
{
    m_answeredThisQuestion = true;
    Q_EMIT answered(answer);
    if (!answer.right) {
        m_session.wrongAnswer();
        Q_EMIT mistakesChanged(m_session.mistakeCount());
        return false;
    }
    if (m_session.rightAnswer()) {
        Q_EMIT remainingChanged(0);
        Q_EMIT passEnded(m_session.mistakeCount());
        if (m_session.reviewDue())
            Q_EMIT reviewDue();
    }
    nextQuestion();
    return true;
}

// ---- Lesson files --------------------------------------------------------------------------------------

Result<LessonProgress> Trainer::readLessonFile(const QString &path) const
{
    return loadLessonFile(path, wordCount());
}

bool Trainer::isFromOtherDictionary(const LessonProgress &progress) const
{
    return progress.dictionaryPath != m_dictionaryPath;
}

void Trainer::resumeLesson(LessonProgress progress)
{
    beginPass(std::move(progress.queue), progress.mistakeCount, std::move(progress.mistakes));
}

Result<void> Trainer::saveLessonFile(const QString &path) const
{
    return wordlark::saveLessonFile(path, LessonProgress{m_dictionaryPath, m_session.queue(),
                                                         m_session.mistakeCount(), m_session.mistakes()});
}

// ---- Other passes --------------------------------------------------------------------------------------

bool Trainer::startReview()
{
    if (!m_session.learnMistakes())
        return false;
    Q_EMIT mistakesChanged(0);
    Q_EMIT remainingChanged(int(m_session.queue().size()));
    return true;
}

void Trainer::startPassOver(const QList<int> &words)
{
    QList<int> queue;
    queue.reserve(words.size());
    for (const int word : words)
        if (word >= 0 && word < wordCount())
            queue.append(word);
    beginPass(std::move(queue), 0, {}, DrawOrder::QueueOrder);
}

void Trainer::beginPass(QList<int> queue, int mistakeCount, QList<MistakeRecord> mistakes, DrawOrder order)
{
    const int queueLength = int(queue.size());
    m_session.restore(std::move(queue), mistakeCount, std::move(mistakes), order);
    Q_EMIT mistakesChanged(m_session.mistakeCount());
    Q_EMIT remainingChanged(queueLength);
    nextQuestion();
}

} // namespace wordlark
