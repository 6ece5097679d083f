#pragma once

#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"
#include "quiz/randomsource.h"
#include "ui/colourscheme.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

namespace wordlark {

// Seconds without a sign of the learner before the characters cover the screen.
inline constexpr int IdleTicksBeforeAnimation = 300;

// The animation starts after the idle time, or at once while the pointer rests on the top-right pixel of
// the screen (a corner the learner can throw the mouse into).
bool idleAnimationDue(int idleTicks, QPoint pointer, const QRect &screen);

// The faces the characters are drawn in, by font index. The names are what the program asks for; the
// font substitutions decide what each one looks like here.
inline constexpr std::array<const char *, 11> AnimationFontFamilies = {
    "FangSong_GB2312",  "FZLiShu II-S06S", "FZNew ShuTi-S08T", "FZShouJinShu-S10T",
    "FZCaiYun-M09T",    "FZCuQian-M17S",   "FZWeiBei-S03S",    "FZYaoTi",
    "FZZhongQian-M16S", "FZZongYi-M05S",   "NSimSun"};
inline constexpr int AnimationFontCount = int(AnimationFontFamilies.size());

// The nearest multiple of `cellSize`; a value exactly between two multiples goes to the even one, so that
// scattered characters land on the grid of the walk.
int roundToCell(int value, int cellSize);

// The path along which the cells are visited until the screen has been covered once: rows left to right
// and top to bottom, or a clockwise spiral winding inwards. Once the path is done it switches to
// scattering; from then on the caller places each cell at random.
class AnimationWalk final {
public:
    enum class Path { Rows, Spiral };
    enum Direction { Right, Down, Left, Up };

    void reset(Path path);
    Path path() const { return m_path; }
    QPoint position() const { return m_position; }
    bool scatter() const { return m_scatter; }

    // Moves to the next cell of the path for cells of `cellSize` on an area of `area`.
    void advance(int cellSize, QSize area);

private:
    void advanceRows(int cellSize, QSize area);
    void advanceSpiral(int cellSize, QSize area);
    void turn() { m_direction = Direction((m_direction + 1) % 4); }

    Path m_path = Path::Rows;
    QPoint m_position;
    bool m_scatter = false;
    Direction m_direction = Right;
    // The spiral learns the width along the top row (row limit) and the height down the right column
    // (column limit); each later leg is one cell shorter.
    int m_rowLimit = 0;
    int m_columnLimit = 0;
    int m_steps = 0;
};

// One character to draw: where, how big, in which face and colours.
struct AnimationCell {
    QPoint topLeft;
    int size = 0;
    int fontIndex = 0;
    ColourValue textColour = 0;
    ColourValue cellColour = 0;
    QString character;
};

// What the animation draws at each tick and how opaque its window is. The words come from the chosen
// lessons; all choices are drawn from the given random source.
class IdleAnimation final {
public:
    static constexpr int MinCellSize = 30;
    static constexpr int CellSizeRange = 100;
    static constexpr int OpacityStep = 20;
    static constexpr int FullOpacity = 255;

    // A new run: the path starts again at the top-left corner, the modes are drawn anew, the window is
    // transparent. The font index and the current word carry over from the previous run.
    void initialise(RandomSource &random);

    // One tick: the cell to draw on an area of `area`, or nothing when there is no character to draw.
    std::optional<AnimationCell> tick(RandomSource &random, QSize area, const LessonList &lessons,
                                      const WordTable &table);

    // Opacity: fades in step by step until full; once a fade-out has started, down to nothing.
    void startFadeOut();
    // One opacity step; false when the fade-out has ended and the window is to be hidden.
    bool stepOpacity();
    int alpha() const { return m_alpha; }
    bool fading() const { return m_fading; }

    const AnimationWalk &walk() const { return m_walk; }
    int cellSize() const { return m_cellSize; }
    void setCellSize(int size) { m_cellSize = size; }
    void setPath(AnimationWalk::Path path) { m_walk.reset(path); }

private:
    enum { KeepWordMode = 4 };

    void maybeChangeModes(RandomSource &random);
    void drawColourMode(RandomSource &random);
    bool drawCellSize(RandomSource &random);
    bool drawCharacterMode(RandomSource &random);
    QPoint cellPosition(RandomSource &random, QSize area) const;
    void drawColours(RandomSource &random, AnimationCell &cell) const;
    QString drawCharacter(RandomSource &random, const LessonList &lessons, const WordTable &table);

    AnimationWalk m_walk;
    int m_cellSize = MinCellSize;
    int m_colourMode = 0;
    int m_colourChannel = 0;
    int m_fontMode = 0;
    int m_fontIndex = 0;
    int m_characterMode = 0;
    int m_currentWord = -1;
    bool m_fading = false;
    int m_alpha = 0;
};

} // namespace wordlark
