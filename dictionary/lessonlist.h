#pragma once

#include "dictionary/wordtable.h"

#include <QList>
#include <QStringList>

#include <vector>

namespace wordlark {

// An unbroken run of rows with the same lesson label, both ends inclusive.
struct RowBlock {
    int first = 0;
    int last = -1;
    int size() const { return last - first + 1; }
    friend bool operator==(const RowBlock &, const RowBlock &) = default;
};

// The lessons of a dictionary: its distinct lesson labels in order of first occurrence, the rows each
// owns, and the choice of lessons the learner last counted. A lesson owns every row with its label,
// also when a dictionary scatters them over several blocks.
class LessonList final {
public:
    void build(const WordTable &table);
    void clear();

    int lessonCount() const { return int(m_labels.size()); }
    const QStringList &labels() const { return m_labels; }
    const QList<RowBlock> &blocks(int lesson) const { return m_blocks[lesson]; }
    int lessonSize(int lesson) const;

    // Records the choice (one flag per lesson) and returns the number of words it holds.
    int countSelected(const std::vector<bool> &chosen);
    const std::vector<bool> &selectionFlags() const { return m_selected; }
    int selectedWordCount() const { return m_selectedWordCount; }

    // Word index of the n-th word of the chosen lessons, lesson by lesson in list order and row order
    // within a lesson. 0 <= n < selectedWordCount().
    int nthSelectedWord(int n) const;

private:
    QStringList m_labels;
    QList<QList<RowBlock>> m_blocks;
    std::vector<bool> m_selected;
    int m_selectedWordCount = 0;
    // Chosen blocks in selection order with the count of words before each, for a binary search.
    std::vector<RowBlock> m_chosenBlocks;
    std::vector<int> m_wordsBefore;
};

} // namespace wordlark
