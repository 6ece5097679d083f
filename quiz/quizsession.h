#pragma once

#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"
#include "quiz/randomsource.h"

#include <QList>

#include <array>
#include <random>
#include <vector>

namespace wordlark {

// One word missed in the current pass and how often.
struct MistakeRecord {
    int word = 0;
    int misses = 0;
    friend bool operator==(const MistakeRecord &, const MistakeRecord &) = default;
};

using FieldSet = std::array<bool, ColumnCount>;

// How a pass takes its words from the queue.
enum class DrawOrder {
    // Any word of the queue, drawn at random: a lesson is not learnt in the order it is written.
    Random,
    // The front of the queue, so that a learner who stops early has met the first words; a missed word
    // goes to the back once it is answered right.
    QueueOrder,
};

// The fields a new run asks with: the translation as the question, pinyin and simplified characters as
// the answers.
inline constexpr FieldSet DefaultQuestionFields{false, false, false, false, true};
inline constexpr FieldSet DefaultAnswerFields{true, true, false, false, false};

// The progress of a pass: the words still to ask, the mistakes made, the word being asked.
class QuizSession final {
public:
    // Which fields make up the question and each answer. A field checked for both counts for the question.
    void setFields(const FieldSet &question, const FieldSet &answer);
    const FieldSet &questionFields() const { return m_questionFields; }
    const FieldSet &answerFields() const { return m_answerFields; }
    // The question is the full characters and nothing else.
    bool fullFormOnly() const { return m_fullFormOnly; }

    // Starts a new pass over the chosen lessons if one is pending. With a full-characters-only question
    // the words without a full form are left out, unless that would leave nothing to ask.
    void startPassIfPending(const LessonList &lessons, const WordTable &table);
    void fillQueue(const LessonList &lessons);
    bool keepFullFormWords(const WordTable &table);

    // Which words may be asked at all, by row (a writing pass asks only the words it can have written);
    // empty, as at start, for every word. keepAskableWords() takes the others out of the queue.
    void setAskableWords(std::vector<bool> askable) { m_askable = std::move(askable); }
    void keepAskableWords();

    // Draws the word to ask from the queue, as drawOrder() says; false when the queue is empty.
    bool drawWord(RandomSource &random);
    DrawOrder drawOrder() const { return m_drawOrder; }

    // Effects of an answer. rightAnswer() returns true when it ended the pass.
    bool rightAnswer();
    void wrongAnswer();

    // Takes out the first element equal to the word; nothing changes when the word is not in the queue.
    void removeFromQueue(int word);
    void recordMistake(int word);

    // Turns the missed words into the queue of a review pass; false (and nothing changed) when no
    // word was recorded.
    bool learnMistakes();

    // Replaces the whole progress, as when a saved lesson is opened. The order holds until the pass ends.
    void restore(QList<int> queue, int mistakeCount, QList<MistakeRecord> mistakes,
                 DrawOrder order = DrawOrder::Random);

    const QList<int> &queue() const { return m_queue; }
    const QList<MistakeRecord> &mistakes() const { return m_mistakes; }
    int mistakeCount() const { return m_mistakeCount; }
    // A pass that ended with mistakes is followed by the review of the missed words.
    bool reviewDue() const { return m_mistakeCount > 0; }
    int currentWord() const { return m_currentWord; }
    bool hasCurrentWord() const { return m_currentWord >= 0; }
    bool missedThisQuestion() const { return m_missedThisQuestion; }
    void clearMissedThisQuestion() { m_missedThisQuestion = false; }
    bool newPassPending() const { return m_newPassPending; }
    void setNewPassPending() { m_newPassPending = true; }

private:
    // Moves the word just asked, still at its drawn place, to the end of the queue.
    void sendToBack();

    QList<int> m_queue;
    QList<MistakeRecord> m_mistakes;
    int m_mistakeCount = 0;
    int m_currentWord = -1;
    qsizetype m_currentIndex = 0; // where in the queue the current word was drawn
    bool m_queueRepeats = false;  // some word stands in the queue more than once
    bool m_missedThisQuestion = false;
    bool m_newPassPending = true;
    DrawOrder m_drawOrder = DrawOrder::Random;
    FieldSet m_questionFields = DefaultQuestionFields;
    FieldSet m_answerFields = DefaultAnswerFields;
    bool m_fullFormOnly = false;
    std::vector<bool> m_askable;
};

} // namespace wordlark
