#include "dictionary/lessonlist.h"

#include <QHash>

#include <algorithm>

namespace wordlark {

void LessonList::build(const WordTable &table)
{
    clear();
    QHash<QString, int> lessonOfLabel;
    const int rows = table.rowCount();
    for (int row = 0; row < rows;) {
        const QStringView label = table.cellView(LessonColumn, row);
        int end = row + 1;
        while (end < rows && table.cellView(LessonColumn, end) == label)
            ++end;
        auto found = lessonOfLabel.constFind(label.toString());
        int lesson = 0;
        if (found == lessonOfLabel.constEnd()) {
            lesson = int(m_labels.size());
            // A copy of its own: a list kept longer than the table does not keep the table's text.
            m_labels.append(label.toString());
            lessonOfLabel.insert(m_labels.constLast(), lesson);
            m_blocks.append(QList<RowBlock>{});
        } else {
            lesson = *found;
        }
        m_blocks[lesson].append(RowBlock{row, end - 1});
        row = end;
    }
    countSelected(std::vector<bool>(size_t(m_labels.size()), true));
}

void LessonList::clear()
{
    m_labels.clear();
    m_blocks.clear();
    m_selected.clear();
    m_chosenBlocks.clear();
    m_wordsBefore.clear();
    m_selectedWordCount = 0;
}

int LessonList::lessonSize(int lesson) const
{
    int size = 0;
    for (const RowBlock &block : m_blocks[lesson])
        size += block.size();
    return size;
}

int LessonList::countSelected(const std::vector<bool> &chosen)
{
    m_selected.assign(size_t(m_labels.size()), false);
    m_chosenBlocks.clear();
    m_wordsBefore.clear();
    int count = 0;
    for (int lesson = 0; lesson < lessonCount(); ++lesson) {
        const bool isChosen = size_t(lesson) < chosen.size() && chosen[size_t(lesson)];
        m_selected[size_t(lesson)] = isChosen;
        if (!isChosen)
            continue;
        for (const RowBlock &block : m_blocks[lesson]) {
            m_chosenBlocks.push_back(block);
            m_wordsBefore.push_back(count);
            count += block.size();
        }
    }
    m_selectedWordCount = count;
    return count;
}

int LessonList::nthSelectedWord(int n) const
{
    Q_ASSERT(n >= 0 && n < m_selectedWordCount);
    const auto after = std::upper_bound(m_wordsBefore.begin(), m_wordsBefore.end(), n);
    const auto index = size_t(after - m_wordsBefore.begin()) - 1;
    return m_chosenBlocks[index].first + (n - m_wordsBefore[index]);
}

} // namespace wordlark
