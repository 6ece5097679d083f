#include "progress/statistics.h"

#include "ui/uitexts.h"

#include <QSet>

#include <algorithm>

namespace wordlark {

namespace {

bool isSeparator(char32_t character)
{
    return character == U' ' || character == U',';
}

// Calls `visit` with each code point of `text`. A high surrogate followed by a low one makes one code
// point; any other surrogate is passed on as it is.
template <typename Visit> void forEachCodePoint(QStringView text, Visit visit)
{
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar unit = text[i];
        if (unit.isHighSurrogate() && i + 1 < length && text[i + 1].isLowSurrogate()) {
            visit(QChar::surrogateToUcs4(unit, text[i + 1]));
            ++i;
        } else {
            visit(char32_t(unit.unicode()));
        }
    }
}

// Appends the characters of one column of the words that `seen` does not hold yet, and records them there.
void collectColumn(const WordTable &table, const std::vector<int> &words, int column, QSet<char32_t> &seen,
                   CharacterList &into)
{
    for (int word : words) {
        forEachCodePoint(table.cellView(column, word), [&](char32_t character) {
            if (isSeparator(character))
                return;
            const qsizetype before = seen.size();
            seen.insert(character);
            if (seen.size() != before)
                into.push_back(character);
        });
    }
}

// Lone surrogates go in as they are, where QString::fromUcs4 would replace them.
void appendCharacter(QString &text, char32_t character)
{
    if (QChar::requiresSurrogates(character)) {
        text.append(QChar::highSurrogate(character));
        text.append(QChar::lowSurrogate(character));
    } else {
        text.append(QChar(char16_t(character)));
    }
}

} // namespace

std::vector<int> wordsInScope(const WordTable &table, const LessonList &lessons, StatisticsScope scope)
{
    std::vector<int> words;
    if (scope == StatisticsScope::AllLessons) {
        words.resize(size_t(table.rowCount()));
        for (int row = 0; row < table.rowCount(); ++row)
            words[size_t(row)] = row;
        return words;
    }
    words.reserve(size_t(lessons.selectedWordCount()));
    const std::vector<bool> &chosen = lessons.selectionFlags();
    for (int lesson = 0; lesson < lessons.lessonCount(); ++lesson) {
        if (!chosen[size_t(lesson)])
            continue;
        for (const RowBlock &block : lessons.blocks(lesson))
            for (int row = block.first; row <= block.last; ++row)
                words.push_back(row);
    }
    return words;
}

DictionaryStatistics countCharacters(const WordTable &table, const std::vector<int> &words)
{
    DictionaryStatistics statistics;
    statistics.wordCount = int(words.size());
    // One set for both lists: a full-form character is listed only when it is neither a simplified one
    // nor listed already, and the simplified list is complete before the full forms are read.
    QSet<char32_t> seen;
    // A dictionary rarely uses more distinct characters than it has words; reserving spares the rehashing.
    seen.reserve(qsizetype(std::min<size_t>(words.size(), 1 << 15)));
    collectColumn(table, words, SimplifiedColumn, seen, statistics.simplified);
    collectColumn(table, words, FullColumn, seen, statistics.full);
    return statistics;
}

QString joinCharacters(const CharacterList &characters, QStringView separator)
{
    QString text;
    text.reserve(qsizetype(characters.size()) * (2 + separator.size()));
    for (size_t i = 0; i < characters.size(); ++i) {
        if (i > 0)
            text.append(separator);
        appendCharacter(text, characters[i]);
    }
    return text;
}

QString characterText(char32_t character)
{
    QString text;
    appendCharacter(text, character);
    return text;
}

QString statisticsSummary(const DictionaryStatistics &statistics)
{
    return counterText(UiTextId::TotalWords, statistics.wordCount) + u'\n' +
           counterText(UiTextId::UniqueSimpleHanzi, int(statistics.simplified.size())) + u'\n' +
           counterText(UiTextId::UniqueFullHanzi, int(statistics.full.size()));
}

} // namespace wordlark
