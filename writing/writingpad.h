#pragma once

#include "writing/writingcell.h"
#include "writing/writtenword.h"

#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;
class QTimer;

// The writing pass's answer area: one cell per character of the asked word, as large as the area
// allows, "Показать" and "Звук" beside them, and a line naming the characters the data has no strokes
// for. It takes the learner's strokes, asks the WrittenWord about each, and reports the showing missed
// and the word written; counting them is the trainer's.
class WritingPad final : public QWidget {
    Q_OBJECT

public:
    // The time a stroke takes to appear when strokes are shown.
    static constexpr int StrokeMs = 400;

    // `colours` belong to the caller and are read at every repaint.
    WritingPad(const WritingColours &colours, QWidget *parent);

    // A new showing: the word's cells, nothing written.
    void showWord(wordlark::WrittenWord word, const QFont &characterFont);
    const wordlark::WrittenWord &word() const { return m_word; }
    // The ground flashes in the right-answer colour for a moment, as an answered box does.
    void flashWritten();
    // The scheme's colours changed.
    void takeColours();

Q_SIGNALS:
    // The showing became missed: the third rejection of a stroke, or the strokes asked for. Once per
    // showing.
    void missed();
    // The last stroke of the last character is in.
    void written();
    void soundAsked();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void layOutCells();
    void takeStroke(int cell, const std::vector<QPointF> &points);
    void ButtonStrokesClick();
    void showNextStroke();
    void reportMissOnce();
    void followWord();
    WritingCell *cell(int index) const { return m_cells[size_t(index)]; }

    const WritingColours &m_colours;
    wordlark::WrittenWord m_word;
    std::vector<WritingCell *> m_cells;
    QPushButton *ButtonStrokes = nullptr;
    QPushButton *ButtonSound = nullptr;
    QLabel *LabelNoStrokes = nullptr;
    QTimer *m_strokeTimer = nullptr;
    QTimer *m_flashTimer = nullptr;
    // While strokes are being shown: the cell and how many of its strokes are drawn so far.
    int m_showingCell = -1;
    int m_showingUpTo = 0;
    bool m_missReported = false;
};
