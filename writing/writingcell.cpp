#include "writing/writingcell.h"

#include "ui/schemecolours.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QTimer>

using namespace wordlark;

namespace {

constexpr int kFadeStepMs = 40;
constexpr double kFadeStep = 0.125;
constexpr int kHintAlpha = 60;
constexpr int kGridAlpha = 45;

QPainterPath outlinePath(const StrokeOutline &outline, double side)
{
    QPainterPath path;
    const auto at = [side](QPointF p) { return dataToCell(p, side); };
    for (const PathCommand &command : outline) {
        switch (command.kind) {
        case PathCommand::Kind::Move:
            path.moveTo(at(command.points[0]));
            break;
        case PathCommand::Kind::Line:
            path.lineTo(at(command.points[0]));
            break;
        case PathCommand::Kind::Quad:
            path.quadTo(at(command.points[0]), at(command.points[1]));
            break;
        case PathCommand::Kind::Cubic:
            path.cubicTo(at(command.points[0]), at(command.points[1]), at(command.points[2]));
            break;
        case PathCommand::Kind::Close:
            path.closeSubpath();
            break;
        }
    }
    return path;
}

QColor withAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

} // namespace

QColor strokeColourOn(const QColor &colour, const QColor &ground)
{
    constexpr double kStrokeContrast = 3.0;
    const bool darkGround = ground.lightnessF() < 0.5;
    QColor adjusted = colour;
    for (int step = 0; step < 20 && contrastRatio(adjusted, ground) < kStrokeContrast; ++step)
        adjusted = darkGround ? adjusted.lighter(115) : adjusted.darker(115);
    // A colour that lightening cannot lift (pure black) gives way to what reads best.
    return contrastRatio(adjusted, ground) < kStrokeContrast ? readableTextColour(ground) : adjusted;
}

WritingCell::WritingCell(int number, const WritingColours &colours, QWidget *parent)
    : QWidget(parent)
    , m_colours(colours)
{
    setObjectName(QStringLiteral("WritingCell%1").arg(number));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Moves reach the cell also where the press was not seen as a drag (as from a pen or a test).
    setMouseTracking(true);
    m_fadeTimer = new QTimer(this);
    m_fadeTimer->setObjectName(QStringLiteral("FadeTimer"));
    m_fadeTimer->setInterval(kFadeStepMs);
    connect(m_fadeTimer, &QTimer::timeout, this, &WritingCell::fadeStep);
}

void WritingCell::showCharacter(const CharacterStrokes *strokes, const QString &text, const QFont &font)
{
    m_strokes = strokes;
    m_text = text;
    m_font = font;
    m_written = 0;
    m_hint = -1;
    m_drawing = false;
    m_trace.clear();
    m_fading.clear();
    m_fadeTimer->stop();
    m_paths.clear();
    update();
}

void WritingCell::setWrittenStrokes(int count)
{
    m_written = count;
    update();
}

void WritingCell::setHint(int stroke)
{
    m_hint = stroke;
    update();
}

void WritingCell::setRadicalShown(bool shown)
{
    m_radicalShown = shown;
    update();
}

void WritingCell::setTakesStrokes(bool takes)
{
    m_takesStrokes = takes && m_strokes;
    setCursor(m_takesStrokes ? Qt::CrossCursor : Qt::ArrowCursor);
    if (!m_takesStrokes && m_drawing) {
        m_drawing = false;
        m_trace.clear();
        update();
    }
}

void WritingCell::fadeOut(const std::vector<QPointF> &points)
{
    m_fading = points;
    m_fade = 1;
    m_fadeTimer->start();
    update();
}

void WritingCell::fadeStep()
{
    m_fade -= kFadeStep;
    if (m_fade <= 0) {
        m_fadeTimer->stop();
        m_fading.clear();
    }
    update();
}

// The outlines at the cell's size, made when first painted at that size.
void WritingCell::buildPaths()
{
    if (!m_strokes || (m_paths.size() == m_strokes->outlines.size() && m_pathSide == width()))
        return;
    m_paths.clear();
    m_pathSide = width();
    m_paths.reserve(m_strokes->outlines.size());
    for (const StrokeOutline &outline : m_strokes->outlines)
        m_paths.push_back(outlinePath(outline, width()));
}

// The ground with the guide lines. The dashed, smoothed lines cost more than all else a new question
// draws, so the picture is made once for each size and colours and then only copied.
void WritingCell::paintGround(QPainter &painter) const
{
    const QString key = QStringLiteral("wordlark-writing-ground-%1-%2-%3")
                            .arg(width())
                            .arg(m_colours.cell.rgba())
                            .arg(m_colours.ink.rgba());
    QPixmap ground;
    if (!QPixmapCache::find(key, &ground)) {
        ground = QPixmap(size());
        ground.fill(m_colours.cell);
        QPainter grid(&ground);
        grid.setRenderHint(QPainter::Antialiasing);
        const QColor line = withAlpha(m_colours.ink, kGridAlpha);
        grid.setPen(QPen(line, 1));
        grid.drawRect(QRectF(0.5, 0.5, width() - 1, height() - 1));
        grid.setPen(QPen(line, 1, Qt::DashLine));
        const double w = width();
        const double h = height();
        grid.drawLine(QPointF(w / 2, 0), QPointF(w / 2, h));
        grid.drawLine(QPointF(0, h / 2), QPointF(w, h / 2));
        grid.drawLine(QPointF(0, 0), QPointF(w, h));
        grid.drawLine(QPointF(w, 0), QPointF(0, h));
        grid.end();
        QPixmapCache::insert(key, ground);
    }
    painter.drawPixmap(0, 0, ground);
}

void WritingCell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintGround(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_strokes) {
        QFont font = m_font;
        font.setPixelSize(std::max(8, int(height() * 0.75)));
        painter.setFont(font);
        painter.setPen(m_colours.ink);
        painter.drawText(rect(), Qt::AlignCenter, m_text);
        return;
    }
    buildPaths();
    painter.setPen(Qt::NoPen);
    if (m_hint >= 0 && size_t(m_hint) < m_paths.size())
        painter.fillPath(m_paths[size_t(m_hint)], withAlpha(m_colours.ink, kHintAlpha));
    for (int i = 0; i < m_written && size_t(i) < m_paths.size(); ++i) {
        const bool radical = m_radicalShown && m_strokes->radical[size_t(i)];
        painter.fillPath(m_paths[size_t(i)], radical ? m_colours.radical : m_colours.ink);
    }
    const double penWidth = std::max(3.0, width() / 40.0);
    const auto drawTrace = [&](const std::vector<QPointF> &points, const QColor &colour) {
        if (points.empty())
            return;
        painter.setPen(QPen(colour, penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(points.data(), int(points.size()));
    };
    drawTrace(m_fading, withAlpha(m_colours.wrong, int(255 * std::max(0.0, m_fade))));
    drawTrace(m_trace, m_colours.ink);
}

void WritingCell::mousePressEvent(QMouseEvent *event)
{
    if (!m_takesStrokes || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_drawing = true;
    m_trace.assign(1, event->position());
    update();
}

void WritingCell::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_drawing)
        return;
    m_trace.push_back(event->position());
    update();
}

void WritingCell::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_drawing || event->button() != Qt::LeftButton)
        return;
    m_drawing = false;
    m_trace.push_back(event->position());
    const std::vector<QPointF> stroke = std::exchange(m_trace, {});
    update();
    Q_EMIT strokeDrawn(stroke);
}
