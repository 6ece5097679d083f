#pragma once

#include "app/windows.h"
#include "dictionary/wordtable.h"
#include "quiz/candidates.h"
#include "quiz/quizsession.h"

#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTextEdit;
class QTimer;
class MaskPanel;
namespace wordlark {
class WordSoundPlayer;
}

// A font of one kind of field (letters, simplified or full characters) with its colour.
struct FieldFont {
    QFont font;
    QColor colour;
};

// The colours of the quiz screen by role.
struct QuizColours {
    QColor background;
    QColor question;
    QColor answer;
    QColor rightAnswer;
    QColor wrongAnswer;
    QColor remainedText;
    QColor mistakesText;
};

// The quiz screen: the question, up to twelve candidate answers, the counters and the main menu. It
// also holds the dictionary and the progress of the pass.
class TMainForm final : public QMainWindow {
    Q_OBJECT

public:
    TMainForm(ProgramWindows &windows, QWidget *parent);
    ~TMainForm() override;

    // The dictionary: its text as lines, and the word table parsed from them.
    const QStringList &dictionaryText() const { return m_dictionaryText; }
    void setDictionaryText(QStringList lines) { m_dictionaryText = std::move(lines); }
    void ParseDictionary(const std::function<void(int)> &beforeLine);
    void ClearWordTable();
    const wordlark::WordTable &wordTable() const { return m_wordTable; }
    int TotalWordCount() const { return m_wordTable.rowCount(); }

    wordlark::QuizSession &session() { return m_session; }
    const QString &startFolder() const { return m_startFolder; }

    // The next-question step.
    void Button1Click();
    void LayOutAnswers(int count);
    void ShowQuestion();
    void FillBox(QTextEdit *box, int i);
    void RightAnswer();
    void WrongAnswer();
    void PrepareKeyboardAnswer();
    void FillMask();
    void CoolGirlOKClick();
    void PlayWordSound(int word);

    void setRemainedLabel(int count);
    void setMistakesLabel(int count);
    void applyUiTexts();
    void setRefocusLessonList() { m_refocusLessonList = true; }
    void resetIdleCounter() { m_idleTicks = 0; }
    int idleTicks() const { return m_idleTicks; }

    int AnswerCount() const { return m_choice.count; }
    int answerWord(int box) const { return m_choice.slots[size_t(box - 1)]; }
    const QString &RightAnswerText() const { return m_rightAnswerText; }
    const QuizColours &colours() const { return m_colours; }

    // Menu commands.
    void N8Click();
    void N3Click();
    void N4Click();
    void N5Click();
    void N6Click();
    void N11Click();
    void N12Click();
    void N16Click();

    // The quiz screen's controls, by the names the rest of the program and its tests use.
    QTextEdit *TntRichEdit0 = nullptr;
    std::array<QTextEdit *, wordlark::MaxAnswerBoxes> AnswerBoxes{};
    QPushButton *ButtonShow = nullptr;
    QLabel *LabelRemained = nullptr;
    QLabel *LabelMis = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *Button1 = nullptr;
    QFrame *PanelAnswer = nullptr;
    QLineEdit *CoolGirlEdit = nullptr;
    QPushButton *CoolGirlOK = nullptr;
    MaskPanel *PanelMask = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    FieldFont LatinFontDial;
    FieldFont HierFontDial;
    FieldFont BHierFontDial;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenu();
    void createQuizScreen();
    void createKeyboardPanels();
    QTextEdit *createAnswerBox(int number);

    void TntFormMouseDown(int box, Qt::MouseButton button);
    void TntFormMouseMove(int box);
    void TntFormMouseUp(int box);
    void TntRichEdit0MouseDown(Qt::MouseButton button);
    void TntRichEdit0MouseUp();
    void ButtonShowClick();
    void Timer1Timer();
    void Timer2Timer();

    void endPass();
    void showNoQuestion();
    void setBoxColour(int box, const QColor &colour);
    void startFlash();
    void focusSink(QTextEdit *box);
    const FieldFont &fontOfColumn(int column) const;

    ProgramWindows &m_windows;
    QString m_startFolder;
    QStringList m_dictionaryText;
    wordlark::WordTable m_wordTable;
    wordlark::QuizSession m_session;

    wordlark::CandidateChoice m_choice{};
    int m_maxAnswers = 12;
    int m_layoutCount = 12;
    int m_answerAreaTop = 0;
    int m_answerAreaBottom = 0;
    QString m_rightAnswerText;
    QString m_questionText;
    std::array<QString, wordlark::MaxAnswerBoxes> m_boxText;
    std::array<QString, wordlark::MaxAnswerBoxes> m_boxQuestionText;
    std::array<QColor, wordlark::MaxAnswerBoxes> m_boxColours;
    int m_hoverBox = 0;
    int m_idleTicks = 0;
    bool m_refocusLessonList = false;
    QuizColours m_colours;
    wordlark::WordSoundPlayer *m_soundPlayer = nullptr;
};
