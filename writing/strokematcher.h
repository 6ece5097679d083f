#pragma once

#include "writing/strokedata.h"

#include <vector>

namespace wordlark {

// How a drawn stroke compares with the expected median, in the data's units (the cell's side is 1024).
struct StrokeComparison {
    double startDistance = 0;
    double endDistance = 0;
    double meanDistance = 0;
    // Cosine of the angle between the two strokes' overall directions; 1 when they agree.
    double directionCosine = 0;
    // Drawn length over expected length.
    double lengthRatio = 0;
    bool accepted = false;
};

// The points both strokes are resampled to before they are compared.
inline constexpr int MatchPoints = 24;

// Points evenly spaced along the polyline's length, `count` of them, first and last kept. A polyline of
// one point (or of no length) gives that point `count` times; an empty one gives nothing.
std::vector<QPointF> resampleStroke(const std::vector<QPointF> &points, int count);
double strokeLength(const std::vector<QPointF> &points);

// Compares a stroke the learner drew (its points in the data's coordinates, as cellToData() gives them)
// with the stroke expected next, and says whether it is that stroke.
StrokeComparison compareStroke(const std::vector<QPointF> &drawn, const StrokeMedian &expected);

} // namespace wordlark
