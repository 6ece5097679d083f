#pragma once

#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"
#include "quiz/quizsession.h"

#include <array>

namespace wordlark {

// The answer boxes are numbered 1..MaxAnswerBoxes, as the learner counts them and as their names say
// (AnswerBox1 ..); the candidates lie in slots 0..MaxAnswerBoxes - 1, box b in slot b - 1. NoBox names no
// answer box: a typed answer, or a place outside every box.
inline constexpr int MaxAnswerBoxes = 12;
inline constexpr int NoBox = 0;
constexpr size_t slotOfBox(int box)
{
    return size_t(box - 1);
}
constexpr int boxOfSlot(size_t slot)
{
    return int(slot) + 1;
}
// Draws with the length rule that "all lessons" may spend on one question before it gives the rule up.
inline constexpr int LengthRuleAttempts = 10000;

// The candidates of one question: slot i (0-based here) holds the word index shown in answer box i + 1,
// or -1 when the box is not used.
struct CandidateChoice {
    std::array<int, MaxAnswerBoxes> slots;
    int count = 0;
    int rightSlot = -1;
};

// Chooses up to `maxAnswers` candidates for `word`: the word itself in a random slot and distractors from
// the whole table or from the chosen lessons. From the whole table, a word of one to four simplified
// characters gets distractors of the same length and a longer word distractors of five or more, as long
// as the attempt limit allows. With an empty pool the asked word is the only candidate.
CandidateChoice chooseCandidates(const WordTable &table, const LessonList &lessons, int word, int maxAnswers,
                                 bool fromAllLessons, RandomSource &random);

// The chosen fields of a word joined by single blanks, in column order; an empty field still takes its
// blank.
QString joinFields(const WordTable &table, int word, const FieldSet &fields);

// The most of one field that a question or answer box shows. Laying out a field of megabytes would freeze
// the screen for minutes; no learner reads more than this in one box anyway.
inline constexpr int MaxShownFieldLength = 1000;
// What a box shows of one field: the field itself when it is short enough, otherwise its first
// MaxShownFieldLength code units (one fewer rather than half a surrogate pair) followed by "…". The word
// table and the texts answers are compared by keep the whole field.
QString shownField(const QString &cell);

// Vertical placement of the answer boxes for `count` candidates in two columns.
struct AnswerLayout {
    int rows = 0;
    int boxHeight = 0;
    // Top of the box in slot i (0-based); boxes 2k and 2k+1 share row k.
    int top(int slot) const { return areaTop + (boxHeight + 2) * (slot / 2); }
    int areaTop = 0;
};
AnswerLayout layOutAnswers(int count, int areaTop, int areaBottom);

} // namespace wordlark
