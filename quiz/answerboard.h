#pragma once

#include "dictionary/wordtable.h"
#include "quiz/candidates.h"
#include "quiz/question.h"
#include "ui/screenlook.h"

#include <QColor>
#include <QFont>
#include <QTextCharFormat>
#include <QWidget>

#include <array>

class QFrame;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QTimer;
class MaskPanel;

// The quiz screen's answer area: the question box, the twelve answer boxes, the cover that hides them, the
// keyboard panel and the mask. It draws a Question, keeps the hover and flash colours, and reports the
// learner's presses; whether an answer is right is decided by the Question, not here.
class AnswerBoard final : public QWidget {
    Q_OBJECT

public:
    // `colours` belong to the screen's look and are read whenever a colour is set, so a new scheme takes
    // effect at the next repaint of a box. `areaBottom` is the lower edge of the answer area.
    AnswerBoard(const wordlark::QuizColours &colours, int areaBottom, QWidget *parent);

    using ColumnFormats = std::array<QTextCharFormat, wordlark::ColumnCount>;

    // Sizes and places the answer boxes and the cover for `count` candidates.
    void LayOutAnswers(int count);
    // Writes the question and its candidates, covers them if asked, and prepares the typed answer.
    void ShowQuestion(const wordlark::Question &question, const wordlark::WordTable &table,
                      const wordlark::FieldFonts &fonts, const wordlark::QuizSettings &settings);
    // The question alone: the answer boxes and their aids give their place to something else (the writing
    // pad) until the next ShowQuestion().
    void showQuestionAlone(const wordlark::Question &question, const wordlark::WordTable &table,
                           const wordlark::FieldFonts &fonts);
    // Where the answer boxes stand, below the question box.
    QRect answerArea() const;
    // No word to ask: the question box shows `hint` (what the learner can do), no candidates, no aids.
    void showNoQuestion(const QString &hint);

    // The colour of an answer, kept until the flash ends.
    void flashBox(int box, bool right);
    // A typed answer flashes the keyboard panel; a wrong one also uncovers every candidate in the
    // wrong-answer colour and puts the aids away, so the right box must now be clicked.
    void flashTypedAnswer(bool right);
    // Paints the flashed box or panel at once, so that its colour is seen before the next question is
    // built; the rest of the board keeps its picture until the next frame.
    void repaintFlash();

    // Takes the look's colours at once, not only at the next hover or flash: text in new colours
    // over an old background could be unreadable. `framed` gives the question and the answers single-line
    // borders (the classic look), otherwise none.
    void takeColours(bool framed);

    // The lesson dialog's answer aids, at the moment they are ticked.
    void coverAnswers();
    void setKeyboardPanelShown(bool shown);
    void setMaskShown(bool shown);

    // The characters typed into the keyboard panel.
    QString typedText() const;
    void applyUiTexts();

Q_SIGNALS:
    // A press on answer box 1..12 (only on boxes in use).
    void boxPressed(int box, Qt::MouseButton button);
    // A right-button press on the question box.
    void questionSoundAsked();
    // The learner confirmed the typed characters (the OK button or Enter).
    void typedAnswerEntered();
    // A mouse move over the answer area: the learner is there.
    void learnerActive();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QTextEdit *TntRichEdit0 = nullptr;
    std::array<QTextEdit *, wordlark::MaxAnswerBoxes> AnswerBoxes{};
    QPushButton *ButtonShow = nullptr;
    QLineEdit *Edit1 = nullptr;
    QFrame *PanelAnswer = nullptr;
    QLineEdit *CoolGirlEdit = nullptr;
    QPushButton *CoolGirlOK = nullptr;
    MaskPanel *PanelMask = nullptr;
    QTimer *Timer1 = nullptr;

    void createQuestionBox();
    QTextEdit *createAnswerBox(int number);
    void createCover();
    void createKeyboardPanels();
    void hideAnswers();

    void FillBox(QTextEdit *box, int word, const wordlark::FieldSet &fields, const wordlark::WordTable &table,
                 const ColumnFormats &formats);
    void PrepareKeyboardAnswer(const wordlark::Question &question, const wordlark::QuizSettings &settings);
    void TntFormMouseMove(int box);
    void TntFormMouseUp(int box);
    void TntRichEdit0MouseDown(Qt::MouseButton button);
    void ButtonShowClick();
    void Timer1Timer();

    void setBoxColour(int box, const QColor &colour);
    void setPanelColour(const QColor &colour);
    void startFlash();
    void focusSink(QTextEdit *box);
    // The number of the answer box whose viewport this is, or NoBox.
    int boxOfViewport(const QObject *viewport) const;
    QTextEdit *answerBox(int box) const { return AnswerBoxes[wordlark::slotOfBox(box)]; }
    // Where the text written into a box is counted: the question box first, then the answer boxes.
    qsizetype &writtenSinceClear(const QTextEdit *box);
    void forgetRemovedText(QTextEdit *box);

    const wordlark::QuizColours &m_colours;
    int m_answerAreaTop = 0;
    int m_answerAreaBottom = 0;
    int m_usedBoxes = 0;
    int m_hoverBox = wordlark::NoBox;
    QWidget *m_flashed = nullptr;
    std::array<QColor, wordlark::MaxAnswerBoxes> m_boxColours;
    // Characters written into each box since its document was last cleared: the question box, then the
    // answer boxes by slot.
    std::array<qsizetype, wordlark::MaxAnswerBoxes + 1> m_writtenSinceClear{};
};
