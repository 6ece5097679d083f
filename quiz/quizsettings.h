#pragma once

#include "dictionary/wordtable.h"
#include "quiz/quizsession.h"

namespace wordlark {

// The lesson parameters the quiz reads at every question, as the learner last set them in the lesson
// dialog; the values below are those a run starts with.
struct QuizSettings {
    // The ticked field boxes as they are; a field ticked for both counts for the question only, which the
    // session applies when it takes the fields.
    FieldSet questionFields = DefaultQuestionFields;
    FieldSet answerFields = DefaultAnswerFields;
    int maxAnswers = 8;
    // Distractors from the whole dictionary rather than from the chosen lessons.
    bool wordsFromAllLessons = true;
    bool hideAnswers = false;
    bool typedAnswer = false;
    bool showMask = false;
    bool sound = true;

    // At every question: typing needs the answers hidden; the mask shows whenever it is asked for.
    bool keyboardPanelShown() const { return typedAnswer && hideAnswers; }
    bool maskShown() const { return showMask; }
    // The moment the learner ticks typing or the mask, they appear only for a simplified-characters
    // answer; the next question applies the rules above instead.
    bool keyboardPanelShownOnTick() const { return typedAnswer && answerFields[SimplifiedColumn]; }
    bool maskShownOnTick() const { return showMask && answerFields[SimplifiedColumn]; }
};

} // namespace wordlark
