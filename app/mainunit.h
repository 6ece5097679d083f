#pragma once

#include "dictionary/wordtable.h"
#include "quiz/answerboard.h"
#include "quiz/candidates.h"
#include "quiz/question.h"
#include "quiz/quizsession.h"
#include "ui/screenlook.h"
#include "ui/uitexts.h"
#include "writing/writingcell.h"
#include "writing/writtenword.h"

#include <QMainWindow>
#include <QScreen>
#include <QStringList>

#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QTimer;
class MaskPanel;
class WritingPad;
namespace wordlark {
struct Answer;
class Trainer;
class WordSoundPlayer;
} // namespace wordlark

// The quiz screen: the counters, the answer board and the main menu. It shows the program's state (the
// Trainer) and forwards the learner's answers and commands to it; what other windows do about a menu
// command it reports through its signals.
class TMainForm final : public QMainWindow {
    Q_OBJECT
    // Seconds since the learner last did something here; read by tests through the property only.
    Q_PROPERTY(int idleTicks READ idleTicks)

public:
    TMainForm(wordlark::Trainer &trainer, const wordlark::ScreenLook &look, QWidget *parent);
    ~TMainForm() override;

    // What the quiz screen shows, read from the program's state.
    const wordlark::WordTable &wordTable() const;
    int TotalWordCount() const;
    const wordlark::QuizSession &session() const;

    // The next-question step.
    void Button1Click();
    // Rewrites the current question and candidates, as after a change of fonts or colours.
    void ShowQuestion();

    // The lesson dialog's answer aids: they show or hide the cover, the keyboard panel and the mask. In a
    // writing pass there are no answer boxes to aid: the aids take effect with the boxes' next question.
    void coverAnswers();
    void showKeyboardPanel(bool shown);
    void showMask(bool shown);

    void applyUiTexts();
    void resetIdleCounter() { m_idleTicks = 0; }

    const wordlark::Question &question() const;

    // The "Прогресс" menu as the learning journal stands: kept or not, and how many words are due.
    void showJournalState(bool kept, int dueWords);
    // The stroke data for the writing pass and the stroke order; without it (a null lookup) the "Письмо"
    // menu's items are disabled, with `whyNot` as their tooltip.
    void setStrokeData(wordlark::WrittenWord::Lookup lookup, const QString &whyNot);
    // The colours the writing cells are drawn in, from the current scheme.
    const WritingColours &writingColours() const { return m_writingColours; }
    // The sync commands as the journal stands: a folder can be chosen while the journal is kept, and
    // synchronising done or turned off once there is one.
    void showSyncState(bool kept, bool hasFolder);

Q_SIGNALS:
    // Menu commands that open another window.
    void lessonOptionsAsked();
    void statisticsAsked();
    void aboutAsked();
    void helpAsked();
    void coloursAsked();
    // The learner has been away long enough for the idle animation, on the screen the window is on.
    void idleTimeReached(QScreen *screen);
    // The window was closed: the program ends.
    void closed();
    // The "Прогресс" menu: "Вести журнал" ticked or unticked, the progress window and the review of the
    // due words asked for, and the menu about to open (its due count is brought up to date).
    void journalTicked(bool kept);
    void progressAsked();
    void dueReviewAsked();
    void progressMenuOpening();
    // The "Письмо" menu: "Писать иероглифы" ticked or unticked, and the stroke order of the shown word.
    void writingTicked(bool writing);
    void strokeOrderAsked();
    // "Папка синхронизации…", "Отключить синхронизацию" and "Синхронизировать сейчас".
    void syncFolderAsked();
    void syncOffAsked();
    void syncNowAsked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The quiz screen's controls by the names the program's design gives them; the answer board owns
    // those of the answer area.
    AnswerBoard *Board = nullptr;
    QLabel *LabelRemained = nullptr;
    QLabel *LabelMis = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *Button1 = nullptr;
    QTimer *Timer2 = nullptr;

    void createMenu();
    void createQuizScreen();
    QLabel *createCounter(const char *name, wordlark::UiTextId prefix, int left, const QColor &colour);

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

    void TntFormMouseDown(int box, Qt::MouseButton button);
    void CoolGirlOKClick();
    void PlayWordSound(int word);
    void setRemainedLabel(int count);
    void setMistakesLabel(int count);
    int idleTicks() const { return m_idleTicks; }
    void Timer2Timer();
    void showAskedQuestion();
    void showVerdict(const wordlark::Answer &answer);
    void showGrade(int mistakeCount);
    void showNoQuestion();
    void startQuiz();
    void showLook(wordlark::ScreenLook::Part part);
    void createWritingMenu();
    void showWritingPass(bool writing);
    void showWordToWrite();
    void takeWritingColours();

    wordlark::Trainer &m_trainer;
    const wordlark::ScreenLook &m_look;
    int m_layoutCount = wordlark::MaxAnswerBoxes;
    int m_idleTicks = 0;
    wordlark::WordSoundPlayer *m_soundPlayer = nullptr;
    WritingPad *m_writingPad = nullptr;
    WritingColours m_writingColours;
    wordlark::WrittenWord::Lookup m_strokeLookup;
};
