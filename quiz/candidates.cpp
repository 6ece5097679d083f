#include "quiz/candidates.h"

#include <algorithm>
#include <cmath>

namespace wordlark {
namespace {

bool lengthRuleRejects(qsizetype askedLength, qsizetype candidateLength)
{
    if (askedLength >= 1 && askedLength <= 4)
        return candidateLength != askedLength;
    if (askedLength >= 5)
        return candidateLength < 5;
    return false;
}

} // namespace

CandidateChoice chooseCandidates(const WordTable &table, const LessonList &lessons, int word, int maxAnswers,
                                 bool fromAllLessons, RandomSource &random)
{
    CandidateChoice choice;
    choice.slots.fill(-1);
    const int pool = fromAllLessons ? table.rowCount() : lessons.selectedWordCount();
    choice.count = std::clamp(std::min(pool, maxAnswers), 0, MaxAnswerBoxes);
    if (choice.count == 0) {
        // Nothing to draw distractors from: the asked word stands alone.
        choice.count = 1;
        choice.slots[0] = word;
        choice.rightSlot = 0;
        return choice;
    }

    choice.rightSlot = random.below(choice.count);
    choice.slots[size_t(choice.rightSlot)] = word;
    const auto used = [&choice](int candidate) {
        return std::find(choice.slots.begin(), choice.slots.begin() + choice.count, candidate) !=
               choice.slots.begin() + choice.count;
    };

    const qsizetype askedLength = table.cellView(SimplifiedColumn, word).size();
    int attempts = 0;
    for (int slot = 0; slot < choice.count; ++slot) {
        while (choice.slots[size_t(slot)] < 0) {
            const int candidate =
                fromAllLessons ? random.below(pool) : lessons.nthSelectedWord(random.below(pool));
            bool rejected = used(candidate);
            if (fromAllLessons && attempts < LengthRuleAttempts) {
                ++attempts;
                rejected = rejected ||
                           lengthRuleRejects(askedLength, table.cellView(SimplifiedColumn, candidate).size());
            }
            if (!rejected)
                choice.slots[size_t(slot)] = candidate;
        }
    }
    return choice;
}

QString joinFields(const WordTable &table, int word, const FieldSet &fields)
{
    QString text;
    for (int column = 0; column < ColumnCount; ++column) {
        if (!fields[size_t(column)])
            continue;
        if (!text.isEmpty())
            text.append(u' ');
        text.append(table.cellView(column, word));
    }
    return text;
}

QString shownField(const QString &cell)
{
    if (cell.size() <= MaxShownFieldLength)
        return cell;
    qsizetype cut = MaxShownFieldLength;
    if (cell.at(cut - 1).isHighSurrogate())
        --cut;
    return cell.first(cut) + u'…';
}

AnswerLayout layOutAnswers(int count, int areaTop, int areaBottom)
{
    AnswerLayout layout;
    layout.rows = std::max(1, count / 2 + count % 2);
    layout.areaTop = areaTop;
    // Halves round to the even neighbour, as the boxes always have.
    layout.boxHeight =
        int(std::nearbyint(double(areaBottom - areaTop - 2 * (layout.rows - 1)) / layout.rows));
    return layout;
}

} // namespace wordlark
