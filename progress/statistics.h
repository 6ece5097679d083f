#pragma once

#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace wordlark {

// Which words the statistics cover: the whole table or the lessons chosen in the lesson list.
enum class StatisticsScope { AllLessons, ChosenLessons };

// Distinct characters in order of first occurrence. Each is a whole code point, so a character outside
// the Basic Multilingual Plane counts once; a lone surrogate from a damaged file stands for itself.
using CharacterList = std::vector<char32_t>;

struct DictionaryStatistics {
    int wordCount = 0;
    // Characters of the simplified forms.
    CharacterList simplified;
    // Characters of the full forms that are not among the simplified ones.
    CharacterList full;
};

// The words of the scope in the order the learner meets them: every row, or the chosen lessons in list
// order with each lesson's rows in row order.
std::vector<int> wordsInScope(const WordTable &table, const LessonList &lessons, StatisticsScope scope);

// The distinct characters of the given words' simplified and full forms. Blanks and commas separate
// variants within a form and are never counted.
DictionaryStatistics countCharacters(const WordTable &table, const std::vector<int> &words);

inline DictionaryStatistics computeStatistics(const WordTable &table, const LessonList &lessons,
                                              StatisticsScope scope)
{
    return countCharacters(table, wordsInScope(table, lessons, scope));
}

// One character as text: a surrogate pair for a character outside the Basic Multilingual Plane.
QString characterText(char32_t character);

// The characters as text with `separator` between neighbours.
QString joinCharacters(const CharacterList &characters, QStringView separator = {});

// The figures as three lines: words, distinct simplified and distinct full characters.
QString statisticsSummary(const DictionaryStatistics &statistics);

} // namespace wordlark
