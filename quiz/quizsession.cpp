#include "quiz/quizsession.h"

#include <algorithm>
#include <limits>

namespace wordlark {
namespace {

// A lesson file may bring counters up to the largest value a file can hold; they stay there rather than
// wrap round to a negative count that no lesson file would accept.
void addOneSaturating(int &counter)
{
    if (counter < std::numeric_limits<int>::max())
        ++counter;
}

bool hasRepeats(QList<int> words)
{
    std::sort(words.begin(), words.end());
    return std::adjacent_find(words.cbegin(), words.cend()) != words.cend();
}

} // namespace

void QuizSession::setFields(const FieldSet &question, const FieldSet &answer)
{
    m_questionFields = question;
    for (int k = 0; k < ColumnCount; ++k)
        m_answerFields[size_t(k)] = answer[size_t(k)] && !question[size_t(k)];
    m_fullFormOnly = question[FullColumn] && !question[PinyinColumn] && !question[SimplifiedColumn] &&
                     !question[LessonColumn] && !question[TranslationColumn];
}

void QuizSession::fillQueue(const LessonList &lessons)
{
    const int count = lessons.selectedWordCount();
    m_queue.resize(count);
    m_queueRepeats = false; // every chosen word once
    for (int i = 0; i < count; ++i)
        m_queue[i] = lessons.nthSelectedWord(i);
}

bool QuizSession::keepFullFormWords(const WordTable &table)
{
    m_queue.removeIf([&table](int word) { return table.cellView(FullColumn, word).isEmpty(); });
    return !m_queue.isEmpty();
}

void QuizSession::startPassIfPending(const LessonList &lessons, const WordTable &table)
{
    if (!m_newPassPending)
        return;
    fillQueue(lessons);
    if (m_fullFormOnly && !keepFullFormWords(table))
        fillQueue(lessons);
    m_newPassPending = false;
    m_drawOrder = DrawOrder::Random;
    m_mistakes.clear();
    m_mistakeCount = 0;
}

void QuizSession::keepAskableWords()
{
    if (m_askable.empty())
        return;
    m_queue.removeIf([this](int word) {
        return word < 0 || size_t(word) >= m_askable.size() || !m_askable[size_t(word)];
    });
}

bool QuizSession::drawWord(RandomSource &random)
{
    const qsizetype size = m_queue.size();
    if (size == 0) {
        m_currentWord = -1;
        return false;
    }
    const bool fromTheFront = size < 2 || m_drawOrder == DrawOrder::QueueOrder;
    m_currentIndex = fromTheFront ? 0 : random.below(int(size));
    m_currentWord = m_queue[m_currentIndex];
    return true;
}

bool QuizSession::rightAnswer()
{
    if (m_currentWord < 0)
        return false;
    if (m_missedThisQuestion) {
        if (m_drawOrder == DrawOrder::QueueOrder)
            sendToBack();
        return false;
    }
    removeFromQueue(m_currentWord);
    if (!m_queue.isEmpty())
        return false;
    m_newPassPending = true;
    return true;
}

void QuizSession::wrongAnswer()
{
    if (m_currentWord < 0)
        return;
    m_missedThisQuestion = true;
    addOneSaturating(m_mistakeCount);
    recordMistake(m_currentWord);
}

void QuizSession::removeFromQueue(int word)
{
    // The first element equal to the word goes. In a queue without repeats that is usually where the word
    // was drawn from, which spares a search through a dictionary-sized queue; a queue with repeats (a
    // lesson file may hold them) is searched from the front.
    const bool atDrawnPlace =
        !m_queueRepeats && m_currentIndex < m_queue.size() && m_queue[m_currentIndex] == word;
    const qsizetype at = atDrawnPlace ? m_currentIndex : m_queue.indexOf(word);
    if (at >= 0)
        m_queue.remove(at);
}

void QuizSession::sendToBack()
{
    if (m_currentIndex >= m_queue.size() || m_queue[m_currentIndex] != m_currentWord)
        return;
    m_queue.move(m_currentIndex, m_queue.size() - 1);
    m_currentIndex = m_queue.size() - 1;
}

void QuizSession::recordMistake(int word)
{
    for (MistakeRecord &record : m_mistakes) {
        if (record.word == word) {
            addOneSaturating(record.misses);
            return;
        }
    }
    m_mistakes.append(MistakeRecord{word, 1});
}

bool QuizSession::learnMistakes()
{
    if (m_mistakes.isEmpty())
        return false;
    m_queue.clear();
    m_queueRepeats = false; // one record a word
    for (const MistakeRecord &record : std::as_const(m_mistakes))
        m_queue.append(record.word);
    m_mistakes.clear();
    m_mistakeCount = 0;
    m_newPassPending = false;
    m_drawOrder = DrawOrder::Random;
    return true;
}

void QuizSession::restore(QList<int> queue, int mistakeCount, QList<MistakeRecord> mistakes, DrawOrder order)
{
    m_queue = std::move(queue);
    m_queueRepeats = hasRepeats(m_queue);
    m_mistakeCount = mistakeCount;
    m_mistakes = std::move(mistakes);
    m_currentWord = -1;
    m_missedThisQuestion = false;
    m_drawOrder = order;
    // An empty queue behaves like the end of a pass: the next question starts a new one.
    m_newPassPending = m_queue.isEmpty();
}

} // namespace wordlark
