#pragma once

#include "app/windows.h"
#include "dictionary/textdecoding.h"
#include "dictionary/wordtable.h"
#include "quiz/answerboard.h"
#include "quiz/candidates.h"
#include "quiz/question.h"
#include "quiz/quizsession.h"
#include "ui/uitexts.h"

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QTimer;
class MaskPanel;
namespace wordlark {
class WordSoundPlayer;
}

// Everything a colour scheme changes on the quiz screen.
struct ScreenScheme {
    QuizColours colours;
    QColor lettersFont;
    QColor simpleHanziFont;
    QColor fullHanziFont;
    // Single-line borders round the question and the answers: the classic look only.
    bool framedBoxes = false;
};

// The quiz screen: the counters, the answer board and the main menu. It holds the dictionary and the
// progress of the pass, asks the core for each question and answer, and shows what it decided.
class TMainForm final : public QMainWindow {
    Q_OBJECT

public:
    TMainForm(ProgramWindows &windows, QWidget *parent);
    ~TMainForm() override;

    // The dictionary: its text as lines, and the word table parsed from them.
    const wordlark::TextLines &dictionaryText() const { return m_dictionaryText; }
    void setDictionaryText(wordlark::TextLines lines) { m_dictionaryText = std::move(lines); }
    void ParseDictionary(const std::function<void(int)> &beforeLine);
    void ClearWordTable();
    const wordlark::WordTable &wordTable() const { return m_wordTable; }
    int TotalWordCount() const { return m_wordTable.rowCount(); }

    wordlark::QuizSession &session() { return m_session; }
    const QString &startFolder() const { return m_startFolder; }

    // Shows the window with its first question and starts counting idle seconds, as a load ends.
    void startQuiz();
    // The next-question step.
    void Button1Click();
    // Rewrites the current question and candidates, as after a change of fonts or colours.
    void ShowQuestion();
    void RightAnswer();
    void WrongAnswer();
    void CoolGirlOKClick();
    void PlayWordSound(int word);

    // What the lesson dialog reports: a new count of chosen words starts a new pass; a changed choice
    // asks from it at once; its answer aids show or hide the cover, the keyboard panel and the mask.
    void lessonsCounted(int selectedWordCount);
    void lessonChoiceChanged();
    void coverAnswers() { Board->coverAnswers(); }
    void showKeyboardPanel(bool shown) { Board->setKeyboardPanelShown(shown); }
    void showMask(bool shown) { Board->setMaskShown(shown); }

    void setRemainedLabel(int count);
    void setMistakesLabel(int count);
    void applyUiTexts();
    void resetIdleCounter() { m_idleTicks = 0; }
    int idleTicks() const { return m_idleTicks; }

    const wordlark::Question &question() const { return m_question; }
    int AnswerCount() const { return m_question.count(); }
    int answerWord(int box) const { return m_question.wordInBox(box); }
    const QString &RightAnswerText() const { return m_question.rightAnswerText; }
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
    void N13Click();

    // Recolours the quiz screen and its three fonts and writes the shown question again in them.
    void applyColourScheme(const ScreenScheme &scheme);

    // The "Прогресс" menu as the journal stands: kept or not, and how many words are due.
    void showJournalState(bool kept, int dueWords);
    // A pass over exactly these words, as the review of due words starts it.
    void startPassOver(const QList<int> &words);

    // The quiz screen's controls by the names the program's design gives them. The answer board owns
    // those of the answer area; they are named here so that the screen reads as one window.
    AnswerBoard *Board = nullptr;
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

Q_SIGNALS:
    // What the learning journal follows: a dictionary's quiz starting, a question on screen, each
    // answer, the end of a pass; and the learner's commands in the "Прогресс" menu.
    void quizStarted();
    void questionAsked();
    void answerGiven(int word, bool right, bool typed);
    void passEnded();
    void journalTicked(bool kept);
    void progressAsked();
    void dueReviewAsked();
    void progressMenuOpening();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenu();
    void createQuizScreen();
    QLabel *createCounter(const char *name, wordlark::UiTextId prefix, int left, const QColor &colour);

    void TntFormMouseDown(int box, Qt::MouseButton button);
    void Timer2Timer();
    void endPass();
    void showNoQuestion();
    wordlark::QuizSettings settings() const;

    ProgramWindows &m_windows;
    QString m_startFolder;
    wordlark::TextLines m_dictionaryText;
    wordlark::WordTable m_wordTable;
    wordlark::QuizSession m_session;
    wordlark::Question m_question;
    int m_layoutCount = wordlark::MaxAnswerBoxes;
    int m_idleTicks = 0;
    QuizColours m_colours;
    wordlark::WordSoundPlayer *m_soundPlayer = nullptr;
};
