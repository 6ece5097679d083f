#pragma once

#include "writing/strokedata.h"

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QWidget>

#include <vector>

class QTimer;

// The colours the writing cells are drawn in, taken from the quiz screen's scheme.
struct WritingColours {
    QColor cell;    // the square's ground
    QColor ink;     // written strokes and the grid
    QColor radical; // the radical's strokes in the stroke order window
    QColor wrong;   // a rejected stroke, while it fades
    QColor flash;   // the pad's ground when a word is written
};

// `colour`, made darker or lighter as needed until strokes in it stand out on `ground` (a contrast of
// 3:1, as for large text): the scheme's answer colours are made for a box's ground, not for strokes.
QColor strokeColourOn(const QColor &colour, const QColor &ground);

// One character's square. Its whole area is the data's square (dataToCell() maps onto it), with the
// usual 米 guide lines. It shows the strokes written so far in the data's own outlines, a faint hint of
// the stroke expected, a rejected stroke fading out, and takes the learner's strokes: press, move and
// release of the left button (tablet and touch arrive as the same mouse events). A character the data
// has no strokes for is written in the quiz's font instead.
class WritingCell final : public QWidget {
    Q_OBJECT

public:
    // Named "WritingCell<number>".
    WritingCell(int number, const WritingColours &colours, QWidget *parent);

    // The character to show, with its strokes or none; nothing written yet.
    void showCharacter(const wordlark::CharacterStrokes *strokes, const QString &text, const QFont &font);
    // Strokes 0..count−1 are drawn.
    void setWrittenStrokes(int count);
    int writtenStrokes() const { return m_written; }
    // The stroke shown faintly as a hint; −1 for none.
    void setHint(int stroke);
    // The radical's strokes in their own colour (the stroke order window).
    void setRadicalShown(bool shown);
    // Only the cell of the character being written takes strokes.
    void setTakesStrokes(bool takes);
    void fadeOut(const std::vector<QPointF> &points);

Q_SIGNALS:
    // A stroke drawn into the cell, in the cell's pixels.
    void strokeDrawn(const std::vector<QPointF> &points);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void buildPaths();
    void paintGround(QPainter &painter) const;
    void fadeStep();

    const WritingColours &m_colours;
    const wordlark::CharacterStrokes *m_strokes = nullptr;
    QString m_text;
    QFont m_font;
    std::vector<QPainterPath> m_paths;
    int m_pathSide = 0;
    int m_written = 0;
    int m_hint = -1;
    bool m_radicalShown = false;
    bool m_takesStrokes = false;
    bool m_drawing = false;
    std::vector<QPointF> m_trace;
    std::vector<QPointF> m_fading;
    double m_fade = 0;
    QTimer *m_fadeTimer = nullptr;
};
