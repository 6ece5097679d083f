#pragma once

#include <QPointF>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <vector>

namespace wordlark {

// The stroke data's square: each character lies in a square of this side, y pointing up, with its
// baseline-to-top band drawn from y = 900 down to the cell's top edge.
inline constexpr double StrokeSquare = 1024;
inline constexpr double StrokeBaseline = 900;

// A data point (x, y) drawn in a cell of side `side` pixels: (x·s, (900 − y)·s) with s = side / 1024.
QPointF dataToCell(QPointF point, double side);
// The inverse: a point of a cell of side `side` in the data's coordinates.
QPointF cellToData(QPointF point, double side);

// One command of a stroke's outline, in the data's coordinates: a move, a line, a quadratic or cubic
// curve (control points first, end point last), or the closing of the outline.
struct PathCommand {
    enum class Kind { Move, Line, Quad, Cubic, Close };
    Kind kind = Kind::Move;
    std::array<QPointF, 3> points{};
    int pointCount() const;
    friend bool operator==(const PathCommand &, const PathCommand &) = default;
};
using StrokeOutline = std::vector<PathCommand>;
// The line along the middle of a stroke, from where the brush starts to where it leaves.
using StrokeMedian = std::vector<QPointF>;

// Reads SVG path data of the commands M, L, Q, C and Z (absolute coordinates, each command letter
// followed by its numbers), as the stroke data writes its outlines. Nothing for anything else: an
// unknown command, a missing or unreadable number, a coordinate far outside the square, a path that
// does not start with a move, or more commands than any stroke has.
std::optional<StrokeOutline> parseStrokePath(QStringView path);

// A median as stored: the coordinates "x y x y …", blank-separated integers. Nothing for an odd count,
// no point, an unreadable number or a coordinate far outside the square.
std::optional<StrokeMedian> parseMedian(QStringView text);
QString medianText(const StrokeMedian &median);

// Everything the program knows about writing one character.
struct CharacterStrokes {
    QString character;
    std::vector<StrokeOutline> outlines;
    std::vector<StrokeMedian> medians;
    // Per stroke: it belongs to the character's radical.
    std::vector<bool> radical;
    int strokeCount() const { return int(medians.size()); }
};

// The characters of a word that get a cell of their own: every character but blanks, one per code point.
QStringList writtenCharacters(const QString &word);

} // namespace wordlark
