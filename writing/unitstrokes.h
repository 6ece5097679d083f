#pragma once

#include "writing/writingcell.h"
#include "writing/writtenword.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTimer;

// "Порядок черт": the stroke order of a word, its characters side by side in cells like the writing
// pad's, the strokes filled one after another (the radical's in their own colour). Counts nothing.
class TFormStrokes final : public QDialog {
    Q_OBJECT

public:
    static constexpr int StrokeMs = 400;

    explicit TFormStrokes(QWidget *parent);

    // Prepares the word's cells and starts the animation; the caller shows the window.
    void showStrokeOrder(const QStringList &characters, const wordlark::WrittenWord::Lookup &lookup,
                         const WritingColours &colours, const QFont &characterFont);
    // Every stroke has been drawn.
    bool finished() const;

protected:
    void done(int result) override;

private:
    void ButtonAgainClick();
    void Timer1Timer();

    WritingColours m_colours;
    std::vector<WritingCell *> m_cells;
    std::vector<int> m_strokeCounts;
    QWidget *m_cellArea = nullptr;
    QLabel *LabelNoStrokes = nullptr;
    QPushButton *ButtonAgain = nullptr;
    QPushButton *ButtonClose = nullptr;
    QTimer *Timer1 = nullptr;
    int m_cell = 0;
};
