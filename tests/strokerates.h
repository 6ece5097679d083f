#pragma once

// The matcher's acceptance rates over a set of characters, as the test and the benchmark measure them:
// each stroke's own median drawn with every point moved up to 20 units and the character at 0.8 to 1.2
// of its size must pass; the median reversed and the character's other strokes must fail.

#include "writing/strokedata.h"
#include "writing/strokematcher.h"

#include <random>
#include <vector>

namespace strokerates {

struct Rates {
    int own = 0;
    int ownAccepted = 0;
    int reversed = 0;
    int reversedRejected = 0;
    int others = 0;
    int othersRejected = 0;
    double ownRate() const { return own ? double(ownAccepted) / own : 1; }
    double reversedRate() const { return reversed ? double(reversedRejected) / reversed : 1; }
    double othersRate() const { return others ? double(othersRejected) / others : 1; }
};

// The median as a hand draws it: a point every few units along it, each moved up to `jitter` units, the
// whole scaled about the middle of the cell.
inline std::vector<QPointF> handDrawn(const wordlark::StrokeMedian &median, double scale, double jitter,
                                      std::mt19937 &random)
{
    using namespace wordlark;
    const int count = std::max(2, int(strokeLength(median) / 15));
    std::vector<QPointF> points = resampleStroke(median, count);
    std::uniform_real_distribution<double> shake(-jitter, jitter);
    const QPointF centre(StrokeSquare / 2, StrokeBaseline - StrokeSquare / 2);
    for (QPointF &p : points)
        p = centre + (p - centre) * scale + QPointF(shake(random), shake(random));
    return points;
}

inline void addCharacter(const wordlark::CharacterStrokes &character, std::mt19937 &random, Rates &rates)
{
    using namespace wordlark;
    std::uniform_real_distribution<double> scales(0.8, 1.2);
    const int n = character.strokeCount();
    for (int i = 0; i < n; ++i) {
        const StrokeMedian &expected = character.medians[size_t(i)];
        ++rates.own;
        rates.ownAccepted +=
            compareStroke(handDrawn(expected, scales(random), 20, random), expected).accepted;
        StrokeMedian reversed(expected.rbegin(), expected.rend());
        ++rates.reversed;
        rates.reversedRejected += !compareStroke(handDrawn(reversed, 1, 0, random), expected).accepted;
        for (int j = 0; j < n; ++j) {
            if (j == i)
                continue;
            ++rates.others;
            rates.othersRejected +=
                !compareStroke(handDrawn(character.medians[size_t(j)], 1, 0, random), expected).accepted;
        }
    }
}

} // namespace strokerates
