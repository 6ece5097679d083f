#include "ui/idleanimation.h"

#include <QList>

#include <algorithm>
#include <cstdlib>

namespace wordlark {

namespace {

// Chances of the mode changes while characters are scattered, as "one in so many ticks".
constexpr int ColourChangeOdds = 2000;
constexpr int FontChangeOdds = 3000;
constexpr int CharacterChangeOdds = 1000;
constexpr int CellSizeChangeOdds = 3000;
// A new cell size is taken only when it differs clearly from the current one.
constexpr int CellSizeMinChange = 20;

constexpr int ColourModeCount = 3;
constexpr int FontModeCount = 2;
constexpr int CharacterModeCount = 5;
constexpr int PathCount = 2;
constexpr int ChannelCount = 3;

bool oneIn(RandomSource &random, int odds)
{
    return random.below(odds) == 0;
}

// A colour as the platform packs it into an integer: red in the low byte, blue in the high one.
// A random 24-bit number as a colour, red in its lowest byte.
ColourValue packedColour(int value)
{
    return colourValue(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

} // namespace

bool idleAnimationDue(int idleTicks, QPoint pointer, const QRect &screen)
{
    return idleTicks >= IdleTicksBeforeAnimation || pointer == QPoint(screen.right(), screen.top());
}

int roundToCell(int value, int cellSize)
{
    int multiple = value / cellSize;
    const int twiceRest = 2 * (value % cellSize);
    if (twiceRest > cellSize || (twiceRest == cellSize && multiple % 2 != 0))
        ++multiple;
    return multiple * cellSize;
}

// ---- The walk -----------------------------------------------------------------------------------------

void AnimationWalk::reset(Path path)
{
    m_path = path;
    m_position = {0, 0};
    m_scatter = false;
    m_direction = Right;
    m_rowLimit = 0;
    m_columnLimit = 0;
    m_steps = 0;
}

void AnimationWalk::advance(int cellSize, QSize area)
{
    if (m_scatter)
        return;
    if (m_path == Path::Rows)
        advanceRows(cellSize, area);
    else
        advanceSpiral(cellSize, area);
}

void AnimationWalk::advanceRows(int cellSize, QSize area)
{
    m_position.rx() += cellSize;
    if (m_position.x() <= area.width())
        return;
    m_position.rx() = 0;
    m_position.ry() += cellSize;
    if (m_position.y() > area.height()) {
        // The screen has been covered once.
        m_position.ry() = 0;
        m_scatter = true;
    }
}

void AnimationWalk::advanceSpiral(int cellSize, QSize area)
{
    int &x = m_position.rx();
    int &y = m_position.ry();
    switch (m_direction) {
    case Right:
        x += cellSize;
        break;
    case Down:
        y += cellSize;
        break;
    case Left:
        x -= cellSize;
        break;
    case Up:
        y -= cellSize;
        break;
    }
    // Inside, below the top row and left of the right column: count the leg and turn at its end.
    if (y > 0 && x + cellSize <= area.width()) {
        ++m_steps;
        if (m_steps >= m_rowLimit && (m_direction == Right || m_direction == Left)) {
            m_steps = 0;
            --m_rowLimit;
            turn();
        }
        if (m_steps >= m_columnLimit && (m_direction == Down || m_direction == Up)) {
            m_steps = 0;
            --m_columnLimit;
            turn();
        }
        if (m_rowLimit <= -2 || m_columnLimit <= -2)
            m_scatter = true;
    }
    if (y == 0)
        ++m_rowLimit;
    if (x > area.width()) {
        x -= cellSize;
        --m_rowLimit;
        turn();
    }
    if (x + cellSize > area.width())
        ++m_columnLimit;
    if (y > area.height()) {
        y -= cellSize;
        m_columnLimit -= 4;
        turn();
        m_steps = 0;
    }
    // An area smaller than a cell can send the spiral out of it; there is nothing left to wind through.
    if (x < 0 || y < 0) {
        m_position = {0, 0};
        m_scatter = true;
    }
}

// ---- The animation ------------------------------------------------------------------------------------

void IdleAnimation::initialise(RandomSource &random)
{
    m_walk.reset(AnimationWalk::Path(random.below(PathCount)));
    m_colourMode = random.below(ColourModeCount);
    m_fontMode = random.below(FontModeCount);
    m_characterMode = 0;
    m_colourChannel = random.below(ChannelCount);
    m_cellSize = MinCellSize + random.below(CellSizeRange);
    m_fading = false;
    m_alpha = 0;
}

std::optional<AnimationCell> IdleAnimation::tick(RandomSource &random, QSize area, const LessonList &lessons,
                                                 const WordTable &table)
{
    if (area.isEmpty())
        return std::nullopt;
    if (m_walk.scatter())
        maybeChangeModes(random);
    if (m_fontMode == 0)
        m_fontIndex = random.below(AnimationFontCount);

    AnimationCell cell;
    cell.topLeft = cellPosition(random, area);
    cell.size = m_cellSize;
    cell.fontIndex = m_fontIndex;
    drawColours(random, cell);
    cell.character = drawCharacter(random, lessons, table);
    m_walk.advance(m_cellSize, area);
    if (cell.character.isEmpty())
        return std::nullopt;
    return cell;
}

void IdleAnimation::maybeChangeModes(RandomSource &random)
{
    bool changed = false;
    if (oneIn(random, ColourChangeOdds)) {
        drawColourMode(random);
        changed = true;
    }
    if (oneIn(random, FontChangeOdds)) {
        m_fontMode = random.below(FontModeCount);
        changed = true;
    }
    if (oneIn(random, CharacterChangeOdds))
        changed = drawCharacterMode(random) || changed;
    if (oneIn(random, CellSizeChangeOdds))
        changed = drawCellSize(random) || changed;
    if (!changed)
        return;
    if (oneIn(random, 2)) {
        drawColourMode(random);
        m_fontMode = random.below(FontModeCount);
        drawCharacterMode(random);
        drawCellSize(random);
    }
    // Half of the changes start a new path from the top-left corner, drawn over what is there.
    if (oneIn(random, 2))
        m_walk.reset(AnimationWalk::Path(random.below(PathCount)));
}

void IdleAnimation::drawColourMode(RandomSource &random)
{
    m_colourMode = random.below(ColourModeCount);
    m_colourChannel = random.below(ChannelCount);
}

bool IdleAnimation::drawCellSize(RandomSource &random)
{
    const int candidate = MinCellSize + random.below(CellSizeRange);
    if (std::abs(candidate - m_cellSize) <= CellSizeMinChange)
        return false;
    m_cellSize = candidate;
    return true;
}

bool IdleAnimation::drawCharacterMode(RandomSource &random)
{
    const bool keptWord = m_characterMode == KeepWordMode;
    m_characterMode = random.below(CharacterModeCount);
    return keptWord != (m_characterMode == KeepWordMode);
}

QPoint IdleAnimation::cellPosition(RandomSource &random, QSize area) const
{
    if (!m_walk.scatter())
        return m_walk.position();
    const int x = random.below(area.width());
    const int y = random.below(area.height());
    return {roundToCell(x, m_cellSize), roundToCell(y, m_cellSize)};
}

void IdleAnimation::drawColours(RandomSource &random, AnimationCell &cell) const
{
    switch (m_colourMode) {
    case 0:
        cell.textColour = packedColour(random.below(0xFFFFFF));
        cell.cellColour = packedColour(random.below(0xFFFFFF));
        break;
    case 1: {
        const int value = random.below(256);
        cell.textColour = colourValue(m_colourChannel == 0 ? value : 0, m_colourChannel == 1 ? value : 0,
                                      m_colourChannel == 2 ? value : 0);
        cell.cellColour = colourValue(0, 0, 0);
        break;
    }
    default: {
        const int text = random.below(256);
        const int background = random.below(256);
        cell.textColour = colourValue(text, text, text);
        cell.cellColour = colourValue(background, background, background);
        break;
    }
    }
}

QString IdleAnimation::drawCharacter(RandomSource &random, const LessonList &lessons, const WordTable &table)
{
    if (m_characterMode != KeepWordMode) {
        const int count = lessons.selectedWordCount();
        if (count <= 0)
            return {};
        m_currentWord = lessons.nthSelectedWord(random.below(count));
    }
    if (m_currentWord < 0 || m_currentWord >= table.rowCount())
        return {};
    // Whole characters: a character outside the basic plane takes two code units.
    const QList<uint> characters = table.cell(SimplifiedColumn, m_currentWord).toUcs4();
    if (characters.isEmpty())
        return {};
    const auto character = char32_t(characters[random.below(int(characters.size()))]);
    return QString::fromUcs4(&character, 1);
}

bool IdleAnimation::stepOpacity()
{
    if (m_fading) {
        m_alpha -= OpacityStep;
        if (m_alpha > 0)
            return true;
        m_alpha = 0;
        return false;
    }
    m_alpha = std::min(FullOpacity, m_alpha + OpacityStep);
    return true;
}

void IdleAnimation::startFadeOut()
{
    // Always from full opacity, so the fade-out takes as long even when the fade-in was cut short.
    m_fading = true;
    m_alpha = FullOpacity;
}

} // namespace wordlark
