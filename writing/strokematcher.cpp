#include "writing/strokematcher.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace wordlark {
namespace {

// The thresholds, in the data's units (the cell's side is 1024), so they scale with the cell.
// Chosen with bench_writing over every stroke of every character of the built-in course: the data's
// own medians with every point moved up to 20 units and the character drawn at 0.8 to 1.2 of its size
// must pass (a stroke then lies up to about 110 units from where the data has it, at the square's
// edge); the same median reversed and the character's other strokes must fail. Parallel strokes of
// one character lie about 120 to 250 units apart, which bounds the mean distance from above.
struct Thresholds {
    // Where the stroke starts and ends, each against the median's own end.
    double endPoint = 190;
    // The mean distance of the resampled points.
    double mean = 130;
    // The direction from the first third of the stroke to its last third (cos 60°).
    double directionCosine = 0.5;
    // A stroke much longer or shorter than the median (a dot drawn as a long line) is another stroke.
    double minLengthRatio = 0.4;
    double maxLengthRatio = 2.5;
    // Below this length a stroke is a dot: its length is not compared, only where it lies.
    double dotLength = 80;
};
constexpr Thresholds kThresholds;

QPointF meanOf(const std::vector<QPointF> &points, size_t from, size_t to)
{
    QPointF sum;
    for (size_t i = from; i < to; ++i)
        sum += points[i];
    return sum / double(to - from);
}

// From the mean of the first third to the mean of the last: steadier than the two end points, which
// a shaky hand moves most.
QPointF overallDirection(const std::vector<QPointF> &points)
{
    const size_t third = std::max<size_t>(1, points.size() / 3);
    return meanOf(points, points.size() - third, points.size()) - meanOf(points, 0, third);
}

double cosineBetween(QPointF a, QPointF b)
{
    const double lengths = std::hypot(a.x(), a.y()) * std::hypot(b.x(), b.y());
    if (lengths <= 0)
        return 1;
    return (a.x() * b.x() + a.y() * b.y()) / lengths;
}

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

} // namespace

double strokeLength(const std::vector<QPointF> &points)
{
    double length = 0;
    for (size_t i = 1; i < points.size(); ++i)
        length += distance(points[i - 1], points[i]);
    return length;
}

std::vector<QPointF> resampleStroke(const std::vector<QPointF> &points, int count)
{
    std::vector<QPointF> result;
    if (points.empty() || count <= 0)
        return result;
    const double length = strokeLength(points);
    if (count == 1 || length <= 0)
        return std::vector<QPointF>(size_t(count), points.front());
    result.reserve(size_t(count));
    const double step = length / (count - 1);
    result.push_back(points.front());
    size_t segment = 1;
    double walked = 0; // length up to points[segment - 1]
    for (int k = 1; k < count - 1; ++k) {
        const double wanted = k * step;
        double segmentLength = distance(points[segment - 1], points[segment]);
        while (walked + segmentLength < wanted && segment + 1 < points.size()) {
            walked += segmentLength;
            ++segment;
            segmentLength = distance(points[segment - 1], points[segment]);
        }
        const double t = segmentLength > 0 ? std::clamp((wanted - walked) / segmentLength, 0.0, 1.0) : 0.0;
        result.push_back(points[segment - 1] + (points[segment] - points[segment - 1]) * t);
    }
    result.push_back(points.back());
    return result;
}

StrokeComparison compareStroke(const std::vector<QPointF> &drawn, const StrokeMedian &expected)
{
    StrokeComparison c;
    if (drawn.empty() || expected.empty())
        return c;
    const std::vector<QPointF> a = resampleStroke(drawn, MatchPoints);
    const std::vector<QPointF> b = resampleStroke(expected, MatchPoints);
    c.startDistance = distance(a.front(), b.front());
    c.endDistance = distance(a.back(), b.back());
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += distance(a[i], b[i]);
    c.meanDistance = sum / double(a.size());
    const double expectedLength = strokeLength(expected);
    const double drawnLength = strokeLength(drawn);
    c.lengthRatio = expectedLength > 0 ? drawnLength / expectedLength : (drawnLength > 0 ? 1e9 : 1);
    const bool dot = expectedLength < kThresholds.dotLength;
    // A dot's direction is only checked when both strokes are long enough to have one.
    c.directionCosine = cosineBetween(overallDirection(a), overallDirection(b));
    const bool directionAgrees =
        c.directionCosine >= kThresholds.directionCosine || (dot && drawnLength < kThresholds.dotLength / 2);
    const bool lengthAgrees =
        dot ? drawnLength <= kThresholds.dotLength * kThresholds.maxLengthRatio
            : c.lengthRatio >= kThresholds.minLengthRatio && c.lengthRatio <= kThresholds.maxLengthRatio;
    c.accepted = c.startDistance <= kThresholds.endPoint && c.endDistance <= kThresholds.endPoint &&
                 c.meanDistance <= kThresholds.mean && directionAgrees && lengthAgrees;
    return c;
}

} // namespace wordlark
