#include "quiz/question.h"

namespace wordlark {

bool Question::isRightBox(int box) const
{
    if (box < 1 || box > count())
        return false;
    return boxTexts[slotOfBox(box)] == rightAnswerText || boxQuestionTexts[slotOfBox(box)] == questionText;
}

QString Question::mask() const
{
    return QString(typedAnswer.size(), QChar(0x7F));
}

NextQuestion nextQuestion(QuizSession &session, const QuizSettings &settings, const LessonList &lessons,
                          const WordTable &table, RandomSource &random)
{
    NextQuestion next;
    session.setFields(settings.questionFields, settings.answerFields);
    next.passStarted = session.newPassPending();
    session.startPassIfPending(lessons, table);
    session.keepAskableWords();
    next.remaining = int(session.queue().size());

    Question &question = next.question;
    question.choice.slots.fill(-1);
    question.questionFields = session.questionFields();
    question.answerFields = session.answerFields();
    if (!session.drawWord(random))
        return next;

    question.word = session.currentWord();
    question.choice = chooseCandidates(table, lessons, question.word, settings.maxAnswers,
                                       settings.wordsFromAllLessons, random);
    session.clearMissedThisQuestion();
    question.questionText = joinFields(table, question.word, question.questionFields);
    question.rightAnswerText = joinFields(table, question.word, question.answerFields);
    question.typedAnswer = table.cell(SimplifiedColumn, question.word);
    for (int slot = 0; slot < question.count(); ++slot) {
        const int word = question.choice.slots[size_t(slot)];
        question.boxTexts[size_t(slot)] = joinFields(table, word, question.answerFields);
        question.boxQuestionTexts[size_t(slot)] = joinFields(table, word, question.questionFields);
    }
    return next;
}

} // namespace wordlark
