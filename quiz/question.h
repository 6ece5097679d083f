#pragma once

#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"
#include "quiz/candidates.h"
#include "quiz/quizsession.h"
#include "quiz/quizsettings.h"

#include <QString>

#include <array>

namespace wordlark {

// One question as drawn: the asked word, the candidates in their boxes and the texts by which an answer
// is judged. Boxes are numbered 1..count() as on screen.
struct Question {
    int word = -1;
    CandidateChoice choice{};
    // The fields in effect: a field ticked for both the question and the answer is in the question only.
    FieldSet questionFields{};
    FieldSet answerFields{};
    QString questionText;
    QString rightAnswerText;
    // What the learner must type: the asked word's simplified characters.
    QString typedAnswer;
    // Per box: the text it shows, and the question its word would have given.
    std::array<QString, MaxAnswerBoxes> boxTexts;
    std::array<QString, MaxAnswerBoxes> boxQuestionTexts;

    bool hasWord() const { return word >= 0; }
    int count() const { return choice.count; }
    int wordInBox(int box) const { return box >= 1 && box <= count() ? choice.slots[slotOfBox(box)] : -1; }

    // A box is right when it reads exactly like the right answer, or when its word would have asked
    // exactly the same question: two words that cannot be told apart are both right.
    bool isRightBox(int box) const;
    // The typed text must be the simplified characters exactly, blanks and all.
    bool isRightTypedAnswer(const QString &typed) const { return hasWord() && typed == typedAnswer; }
    // One placeholder (code 127) per UTF-16 code unit of the simplified characters.
    QString mask() const;
};

// What the next-question step decided.
struct NextQuestion {
    // A new pass began: the mistakes counter starts again from zero.
    bool passStarted = false;
    // The queue length before the draw, the asked word included.
    int remaining = 0;
    // No word when nothing is left to ask (no lesson chosen, or an empty saved queue).
    Question question;
};

// The next-question step: takes the settings' fields, starts a pass if one is pending, draws the word,
// chooses its candidates and builds the texts answers are judged by.
NextQuestion nextQuestion(QuizSession &session, const QuizSettings &settings, const LessonList &lessons,
                          const WordTable &table, RandomSource &random);

} // namespace wordlark
