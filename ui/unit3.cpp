#include "ui/unit3.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

using namespace wordlark;

namespace {

// As fast as the platform's timer allows; where it cannot tick every millisecond the animation runs at the
// rate it gets.
constexpr int kTickMs = 1;
// The lightest weight there is: thin strokes suit the large characters.
constexpr auto kCharacterWeight = QFont::Weight(10);
constexpr int kMeasuringPixelSize = 100;
constexpr int kFrameMs = 16;

QFont animationFont(int fontIndex, int pixelSize)
{
    QFont font(QString::fromLatin1(AnimationFontFamilies[size_t(fontIndex)]));
    font.setPixelSize(pixelSize);
    font.setWeight(kCharacterWeight);
    return font;
}

} // namespace

TForm3::TForm3(const LessonList &lessons, const WordTable &table, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_lessons(lessons)
    , m_table(table)
{
    setObjectName(QStringLiteral("Form3"));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    // Every pixel comes from the canvas.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // The animation may start while a dialog is open; the learner must still be able to end it.
    setWindowModality(Qt::ApplicationModal);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickMs);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &TForm3::Timer1Timer);

    m_frameTimer = new QTimer(this);
    m_frameTimer->setSingleShot(true);
    m_frameTimer->setInterval(kFrameMs);
    connect(m_frameTimer, &QTimer::timeout, this, &TForm3::showDrawnCells);

    FormCreate();
}

TForm3::~TForm3()
{
    restorePointer();
}

void TForm3::FormCreate()
{
    if (isVisible())
        return;
    m_animation.initialise(m_random);
    Timer1->stop();
}

void TForm3::startAnimation(QScreen *screen)
{
    if (isVisible())
        return;
    FormCreate();
    setGeometry(screen->geometry());
    // The characters are drawn into an image the size of the screen, so that a repaint shows them again.
    const qreal ratio = screen->devicePixelRatio();
    m_canvas = QImage(size() * ratio, QImage::Format_RGB32);
    m_canvas.setDevicePixelRatio(ratio);
    m_canvas.fill(Qt::black);
    setWindowOpacity(0.0);
    m_running = true;
    Timer1->start();
    show();
    raise();
    activateWindow();
    setFocus();
    hidePointer();
}

void TForm3::Timer1Timer()
{
    if (const std::optional<AnimationCell> cell = m_animation.tick(m_random, size(), m_lessons, m_table))
        drawCell(*cell);
    const bool shown = m_animation.stepOpacity();
    setWindowOpacity(m_animation.alpha() / qreal(IdleAnimation::FullOpacity));
    if (!shown)
        endAnimation();
}

const TForm3::CellFont &TForm3::cellFont(int fontIndex, int cellSize)
{
    const int key = fontIndex * 1000 + cellSize;
    if (const auto known = m_cellFonts.constFind(key); known != m_cellFonts.cend())
        return *known;
    // The cell holds one line of the face: ascent and descent together are the cell size.
    qreal &perPixel = m_lineHeightPerPixel[size_t(fontIndex)];
    if (perPixel <= 0) {
        const QFontMetricsF metrics(animationFont(fontIndex, kMeasuringPixelSize));
        perPixel = std::max(qreal(1), metrics.height()) / kMeasuringPixelSize;
    }
    const QFont font = animationFont(fontIndex, std::max(1, qRound(cellSize / perPixel)));
    return *m_cellFonts.insert(key, {font, QFontMetricsF(font).ascent()});
}

void TForm3::drawCell(const AnimationCell &cell)
{
    const QRect square(cell.topLeft, QSize(cell.size, cell.size));
    const CellFont &font = cellFont(cell.fontIndex, cell.size);
    {
        QPainter painter(&m_canvas);
        painter.fillRect(square,
                         QColor(redOf(cell.cellColour), greenOf(cell.cellColour), blueOf(cell.cellColour)));
        painter.setFont(font.font);
        painter.setPen(QColor(redOf(cell.textColour), greenOf(cell.textColour), blueOf(cell.textColour)));
        painter.drawText(QPointF(square.left(), square.top() + font.ascent), cell.character);
    }
    m_unshownCells += square;
    if (!m_frameTimer->isActive())
        m_frameTimer->start();
}

void TForm3::showDrawnCells()
{
    update(m_unshownCells);
    m_unshownCells = QRegion();
}

void TForm3::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    if (m_canvas.isNull()) {
        painter.fillRect(area, Qt::black);
        return;
    }
    const qreal ratio = m_canvas.devicePixelRatio();
    painter.drawImage(area, m_canvas, QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
}

void TForm3::mousePressEvent(QMouseEvent *)
{
    FormMouseDown();
}

void TForm3::keyPressEvent(QKeyEvent *)
{
    FormKeyDown();
}

// A window manager's close (Alt+F4, the title bar), close() from code or a minimise hides the window
// without a fade-out: the animation must end all the same, or the pointer stays blank over every window
// and the ticks go on drawing into a canvas nobody sees.
void TForm3::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    endAnimation();
}

void TForm3::FormMouseDown()
{
    m_animation.startFadeOut();
}

void TForm3::FormKeyDown()
{
    m_animation.startFadeOut();
}

void TForm3::endAnimation()
{
    if (!m_running)
        return;
    m_running = false;
    Timer1->stop();
    m_frameTimer->stop();
    m_unshownCells = QRegion();
    restorePointer();
    hide();
    m_canvas = QImage();
    m_cellFonts.clear();
    Q_EMIT animationEnded();
}

void TForm3::hidePointer()
{
    if (m_pointerHidden)
        return;
    QGuiApplication::setOverrideCursor(Qt::BlankCursor);
    m_pointerHidden = true;
}

void TForm3::restorePointer()
{
    if (!m_pointerHidden)
        return;
    QGuiApplication::restoreOverrideCursor();
    m_pointerHidden = false;
}
