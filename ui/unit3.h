#pragma once

#include "quiz/randomsource.h"
#include "ui/idleanimation.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include <array>

class QScreen;
class QTimer;

// The idle animation: a borderless black window over the whole screen that fills itself with characters
// of the chosen lessons, one per tick, until a key press or a click fades it out.
class TForm3 final : public QWidget {
    Q_OBJECT

public:
    // The characters come from the chosen lessons of `lessons`, whose words are the rows of `table`; both
    // are read at every tick, so they follow a change of dictionary or of the choice.
    TForm3(const wordlark::LessonList &lessons, const wordlark::WordTable &table, QWidget *parent);
    ~TForm3() override;

    // Covers `screen` and starts the animation; does nothing while it runs.
    void startAnimation(QScreen *screen);
    int alpha() const { return m_animation.alpha(); }
    // What has been drawn so far, as the window shows it at full opacity.
    const QImage &canvas() const { return m_canvas; }

    // One animation tick: draw a cell, move the fade on.
    void Timer1Timer();

Q_SIGNALS:
    // The window has faded out and is hidden again: the learner is back.
    void animationEnded();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QTimer *Timer1 = nullptr;

    void FormCreate();
    void FormMouseDown();
    void FormKeyDown();
    void drawCell(const wordlark::AnimationCell &cell);
    struct CellFont {
        QFont font;
        qreal ascent = 0;
    };
    const CellFont &cellFont(int fontIndex, int cellSize);
    void showDrawnCells();
    void endAnimation();
    void hidePointer();
    void restorePointer();

    const wordlark::LessonList &m_lessons;
    const wordlark::WordTable &m_table;
    wordlark::IdleAnimation m_animation;
    // Seeded once for the whole run, so that ticks in quick succession still draw different cells.
    wordlark::SystemRandom m_random;
    QImage m_canvas;
    // Cells drawn since the window last showed them: the screen is brought up to date once a frame rather
    // than at every tick.
    QRegion m_unshownCells;
    QTimer *m_frameTimer = nullptr;
    // Line height of each face per pixel of font size, measured once: a cell holds one line.
    std::array<qreal, wordlark::AnimationFontCount> m_lineHeightPerPixel{};
    // The fonts of this run by face and cell size: a font kept alive keeps its glyph outlines ready.
    QHash<int, CellFont> m_cellFonts;
    bool m_pointerHidden = false;
    // From the start until the window is gone again, by its fade-out or any other way.
    bool m_running = false;
};
