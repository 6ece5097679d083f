#include "writing/writingpad.h"

#include "ui/fonts.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cmath>

using namespace wordlark;

namespace {

constexpr int kButtonsWidth = 110;
constexpr int kNoteHeight = 22;
constexpr int kGap = 8;
constexpr int kFlashMs = 200;

// The largest square side for `count` cells in rows within `width` × `height`, and how many columns.
std::pair<int, int> cellLayout(int count, int width, int height)
{
    int bestSide = 0;
    int bestColumns = std::max(1, count);
    for (int rows = 1; rows <= std::max(1, count); ++rows) {
        const int columns = (count + rows - 1) / rows;
        const int side =
            std::min((width - kGap * (columns - 1)) / columns, (height - kGap * (rows - 1)) / rows);
        if (side > bestSide) {
            bestSide = side;
            bestColumns = columns;
        }
    }
    return {std::max(1, bestSide), bestColumns};
}

QString noStrokesNote(const QStringList &characters)
{
    if (characters.isEmpty())
        return {};
    return QStringLiteral("Для «%1» нет данных о чертах: эти знаки только показаны, писать их не нужно.")
        .arg(characters.join(QString()));
}

} // namespace

WritingPad::WritingPad(const WritingColours &colours, QWidget *parent)
    : QWidget(parent)
    , m_colours(colours)
{
    setObjectName(QStringLiteral("WritingPad"));
    setAutoFillBackground(true);

    ButtonStrokes = new QPushButton(QStringLiteral("Показать"), this);
    ButtonStrokes->setObjectName(QStringLiteral("ButtonStrokes"));
    ButtonStrokes->setFocusPolicy(Qt::NoFocus);
    connect(ButtonStrokes, &QPushButton::clicked, this, &WritingPad::ButtonStrokesClick);
    ButtonSound = new QPushButton(QStringLiteral("Звук"), this);
    ButtonSound->setObjectName(QStringLiteral("ButtonSound"));
    ButtonSound->setFocusPolicy(Qt::NoFocus);
    connect(ButtonSound, &QPushButton::clicked, this, &WritingPad::soundAsked);
    LabelNoStrokes = new QLabel(this);
    LabelNoStrokes->setObjectName(QStringLiteral("LabelNoStrokes"));

    m_strokeTimer = new QTimer(this);
    m_strokeTimer->setObjectName(QStringLiteral("StrokeTimer"));
    m_strokeTimer->setInterval(StrokeMs);
    connect(m_strokeTimer, &QTimer::timeout, this, &WritingPad::showNextStroke);
    m_flashTimer = new QTimer(this);
    m_flashTimer->setSingleShot(true);
    m_flashTimer->setInterval(kFlashMs);
    connect(m_flashTimer, &QTimer::timeout, this, &WritingPad::takeColours);
    takeColours();
}

void WritingPad::takeColours()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window,
                     m_flashTimer->isActive() ? m_colours.flash : m_colours.cell.darker(104));
    palette.setColor(QPalette::WindowText, m_colours.ink);
    setPalette(palette);
    update();
}

void WritingPad::flashWritten()
{
    m_flashTimer->start();
    takeColours();
}

void WritingPad::showWord(WrittenWord word, const QFont &characterFont)
{
    m_strokeTimer->stop();
    m_showingCell = -1;
    m_missReported = false;
    m_word = std::move(word);
    const int count = m_word.characterCount();
    while (int(m_cells.size()) < count) {
        auto *added = new WritingCell(int(m_cells.size()) + 1, m_colours, this);
        const int index = int(m_cells.size());
        connect(added, &WritingCell::strokeDrawn, this,
                [this, index](const std::vector<QPointF> &points) { takeStroke(index, points); });
        m_cells.push_back(added);
    }
    for (int i = 0; i < int(m_cells.size()); ++i) {
        WritingCell *shown = cell(i);
        shown->setVisible(i < count);
        if (i < count) {
            const std::optional<CharacterStrokes> &strokes = m_word.character(i);
            shown->showCharacter(strokes ? &*strokes : nullptr, m_word.text(i), characterFont);
        }
    }
    LabelNoStrokes->setText(noStrokesNote(m_word.charactersWithoutData()));
    layOutCells();
    followWord();
}

void WritingPad::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOutCells();
}

void WritingPad::hideEvent(QHideEvent *event)
{
    // Strokes still being shown when the pass ends must not answer the next pass's question.
    m_strokeTimer->stop();
    m_showingCell = -1;
    QWidget::hideEvent(event);
}

void WritingPad::layOutCells()
{
    const int count = std::max(1, m_word.characterCount());
    const int areaWidth = width() - kButtonsWidth - kGap;
    const int areaHeight = height() - kNoteHeight;
    const auto [side, columns] = cellLayout(count, areaWidth, areaHeight);
    const int rows = (count + columns - 1) / columns;
    const int usedWidth = columns * side + (columns - 1) * kGap;
    const int usedHeight = rows * side + (rows - 1) * kGap;
    const int left = (areaWidth - usedWidth) / 2;
    const int top = (areaHeight - usedHeight) / 2;
    for (int i = 0; i < m_word.characterCount() && size_t(i) < m_cells.size(); ++i)
        cell(i)->setGeometry(left + (i % columns) * (side + kGap), top + (i / columns) * (side + kGap), side,
                             side);
    ButtonStrokes->setGeometry(width() - kButtonsWidth, top, kButtonsWidth, 32);
    ButtonSound->setGeometry(width() - kButtonsWidth, top + 40, kButtonsWidth, 32);
    LabelNoStrokes->setGeometry(0, height() - kNoteHeight, width(), kNoteHeight);
}

// The cells show where the word stands: what is written, the hint, which cell takes strokes.
void WritingPad::followWord()
{
    const bool showing = m_strokeTimer->isActive();
    for (int i = 0; i < m_word.characterCount(); ++i) {
        WritingCell *shown = cell(i);
        if (i != m_showingCell)
            shown->setWrittenStrokes(m_word.writtenStrokes(i));
        const bool current = i == m_word.currentCharacter();
        shown->setHint(current && m_word.hintShown() ? m_word.currentStroke() : -1);
        shown->setTakesStrokes(current && !showing);
    }
    ButtonStrokes->setEnabled(!m_word.complete() && !showing);
}

void WritingPad::takeStroke(int index, const std::vector<QPointF> &points)
{
    if (index != m_word.currentCharacter() || m_strokeTimer->isActive())
        return;
    const double side = cell(index)->width();
    std::vector<QPointF> dataPoints;
    dataPoints.reserve(points.size());
    for (const QPointF &p : points)
        dataPoints.push_back(cellToData(p, side));
    const StrokeVerdict verdict = m_word.offerStroke(dataPoints);
    if (verdict == StrokeVerdict::Rejected || verdict == StrokeVerdict::Hinted)
        cell(index)->fadeOut(points);
    followWord();
    if (verdict == StrokeVerdict::Hinted)
        reportMissOnce();
    if (verdict == StrokeVerdict::Accepted && m_word.complete())
        Q_EMIT written();
}

void WritingPad::reportMissOnce()
{
    if (std::exchange(m_missReported, true))
        return;
    Q_EMIT missed();
}

void WritingPad::ButtonStrokesClick()
{
    if (m_word.complete() || m_strokeTimer->isActive())
        return;
    m_showingCell = m_word.currentCharacter();
    m_showingUpTo = m_word.showRemainingStrokes();
    m_strokeTimer->start();
    followWord();
    reportMissOnce();
}

void WritingPad::showNextStroke()
{
    WritingCell *shown = cell(m_showingCell);
    const std::optional<CharacterStrokes> &strokes = m_word.character(m_showingCell);
    shown->setWrittenStrokes(++m_showingUpTo);
    if (strokes && m_showingUpTo < strokes->strokeCount())
        return;
    m_strokeTimer->stop();
    m_showingCell = -1;
    followWord();
    if (m_word.complete())
        Q_EMIT written();
}
