#pragma once

#include <QString>

namespace wordlark {

// The numbered Russian interface texts written into the controls at every dictionary load and read when
// labels and messages are built.
enum class UiTextId : int {
    Question = 1,
    Answer,
    Pinyin,
    SimpleHanzi,
    FullHanzi,
    LessonNumber,
    Translation,
    LessonChoice,
    WordsRemained,
    TotalWords,
    Mistakes,
    MaxAnswers,
    AddWordsFrom,
    FromSelectedLessons,
    FromAllLessons,
    LettersFont,
    SimpleHanziFont,
    FullHanziFont,
    ShowAnswers,
    HideAnswers,
    Statistics,
    GradeVeryBad,
    GradeBad,
    GradeSatisfactory,
    GradeGood,
    GradeExcellent,
    WordsRanOut,
    UniqueSimpleHanzi,
    UniqueFullHanzi,
    AllLessons,
    SelectedLessons,
    HorizontalVertical,
    Sound,
};
inline constexpr int UiTextCount = 33;

// The text of entry 1..UiTextCount; an empty text for any other number.
QString UiText(int number);
inline QString UiText(UiTextId id)
{
    return UiText(int(id));
}

// A counter label: the prefix text, one blank, the number ("Ошибок: 3").
QString counterText(UiTextId prefix, int value);

// The grade of a finished pass by its number of mistakes.
QString gradeForMistakes(int mistakes);

// What the question box says while there is no word to ask: the dictionary has none, or no lesson is
// chosen.
QString noQuestionHint(int totalWordCount);

// The message after loading a dictionary without a single word.
QString emptyDictionaryMessage();

} // namespace wordlark
