#include "app/mainunit.h"

#include "app/unit1.h"
#include "audio/wordsoundplayer.h"
#include "dictionary/unit4.h"
#include "progress/lessonfile.h"
#include "progress/unit2.h"
#include "progress/unitfuxi.h"
#include "ui/filedialogs.h"
#include "ui/fonts.h"
#include "ui/idleanimation.h"
#include "ui/schemecolours.h"
#include "ui/uitexts.h"
#include "ui/unit3.h"
#include "ui/unitabout.h"
#include "ui/unithelp.h"
#include "ui/unitthems.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

using namespace wordlark;

namespace {

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 570;
constexpr int kIdleTickMs = 1000;

void execCentred(QDialog *dialog)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        dialog->move(screen->geometry().center() - dialog->rect().center());
    dialog->exec();
}

QString dueReviewCaption(int dueWords)
{
    return QStringLiteral("Повторить слова (%1)").arg(dueWords);
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace

TMainForm::TMainForm(ProgramWindows &windows, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_windows(windows)
    , m_startFolder(QDir::currentPath())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Wordlark"));
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    setFixedSize(kWindowWidth, kWindowHeight);
    move(0, 0);

    m_colours = QuizColours{palette().color(QPalette::Button),
                            palette().color(QPalette::Base),
                            palette().color(QPalette::Button),
                            QColor(0, 221, 0),
                            QColor(221, 0, 0),
                            QColor(0, 128, 0),
                            QColor(168, 34, 91)};
    const QColor windowText = palette().color(QPalette::Text);
    LatinFontDial = {pixelFont(QStringLiteral("Times New Roman"), 24), windowText};
    HierFontDial = {pixelFont(QStringLiteral("SimSun"), 37), windowText};
    BHierFontDial = {pixelFont(QStringLiteral("SimSun"), 35), windowText};

    createMenu();
    createQuizScreen();
    m_soundPlayer = new WordSoundPlayer(this, m_startFolder);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(kIdleTickMs);
    connect(Timer2, &QTimer::timeout, this, &TMainForm::Timer2Timer);
}

TMainForm::~TMainForm() = default;

void TMainForm::createMenu()
{
    const auto addMenu = [this](const char *name, const QString &caption) {
        QMenu *menu = menuBar()->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    const auto addItem = [this](QMenu *menu, const char *name, const QString &caption, auto handler) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    QMenu *lesson = addMenu("N1", QStringLiteral("Урок"));
    addItem(lesson, "N20", QStringLiteral("Выбрать"), &TMainForm::N8Click);
    addItem(lesson, "N4", QStringLiteral("Открыть"), &TMainForm::N4Click);
    addItem(lesson, "N5", QStringLiteral("Сохранить"), &TMainForm::N5Click);
    addItem(lesson, "N6", QStringLiteral("Выход"), &TMainForm::N6Click);

    QMenu *dictionary = addMenu("N2", QStringLiteral("Словарь"));
    addItem(dictionary, "N3", QStringLiteral("Сменить"), &TMainForm::N3Click);
    addItem(dictionary, "N16", UiText(UiTextId::Statistics), &TMainForm::N16Click);

    QMenu *settings = addMenu("N7", QStringLiteral("Настройки"));
    addItem(settings, "N8", QStringLiteral("Параметры урока"), &TMainForm::N8Click);
    addItem(settings, "N13", QStringLiteral("Цвет и шрифты"), &TMainForm::N13Click);

    QMenu *progress = addMenu("ProgressMenu", QStringLiteral("Прогресс"));
    connect(progress, &QMenu::aboutToShow, this, &TMainForm::progressMenuOpening);
    QAction *journal = progress->addAction(QStringLiteral("Вести журнал"));
    journal->setObjectName(QStringLiteral("JournalAction"));
    journal->setCheckable(true);
    connect(journal, &QAction::triggered, this, &TMainForm::journalTicked);
    addItem(progress, "ProgressAction", QStringLiteral("Прогресс…"), &TMainForm::progressAsked);
    addItem(progress, "DueReviewAction", dueReviewCaption(0), &TMainForm::dueReviewAsked);
    showJournalState(false, 0);

    QMenu *help = addMenu("N10", QStringLiteral("Помощь"));
    addItem(help, "N11", QStringLiteral("О программе"), &TMainForm::N11Click);
    addItem(help, "N12", QStringLiteral("Справка"), &TMainForm::N12Click);
}

QLabel *TMainForm::createCounter(const char *name, UiTextId prefix, int left, const QColor &colour)
{
    auto *label = new QLabel(counterText(prefix, 0), Board);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    label->setGeometry(left, 1, 300, 18);
    setTextColour(label, colour);
    return label;
}

void TMainForm::createQuizScreen()
{
    // The client height is known only once the menu bar has taken its share.
    const int answerAreaBottom = kWindowHeight - menuBar()->sizeHint().height() - 20;
    Board = new AnswerBoard(m_colours, answerAreaBottom, this);
    setCentralWidget(Board);
    connect(Board, &AnswerBoard::boxPressed, this, &TMainForm::TntFormMouseDown);
    connect(Board, &AnswerBoard::questionSoundAsked, this, [this] { PlayWordSound(m_question.word); });
    connect(Board, &AnswerBoard::typedAnswerEntered, this, &TMainForm::CoolGirlOKClick);
    connect(Board, &AnswerBoard::learnerActive, this, &TMainForm::resetIdleCounter);
    TntRichEdit0 = Board->TntRichEdit0;
    AnswerBoxes = Board->AnswerBoxes;
    ButtonShow = Board->ButtonShow;
    Edit1 = Board->Edit1;
    PanelAnswer = Board->PanelAnswer;
    CoolGirlEdit = Board->CoolGirlEdit;
    CoolGirlOK = Board->CoolGirlOK;
    PanelMask = Board->PanelMask;
    Timer1 = Board->Timer1;

    LabelRemained = createCounter("LabelRemained", UiTextId::WordsRemained, 10, m_colours.remainedText);
    LabelMis = createCounter("LabelMis", UiTextId::Mistakes, kWindowWidth / 2 + 5, m_colours.mistakesText);

    Button1 = new QPushButton(QStringLiteral("Button1"), Board);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->hide();
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);

    Label2 = new QLabel(QStringLiteral("wordlark.example.org"), Board);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->adjustSize();
    // Below the answer area, near the bottom-right corner.
    Label2->move(664, answerAreaBottom + (20 - Label2->height()) / 2);
}

void TMainForm::ParseDictionary(const std::function<void(int)> &beforeLine)
{
    parseDictionaryText(m_dictionaryText, m_wordTable, beforeLine);
}

void TMainForm::ClearWordTable()
{
    m_wordTable.clear();
    m_question = {};
    m_session.restore({}, 0, {});
}

void TMainForm::applyUiTexts()
{
    ButtonShow->setText(UiText(UiTextId::ShowAnswers));
    if (QAction *statistics = findChild<QAction *>(QStringLiteral("N16")))
        statistics->setText(UiText(UiTextId::Statistics));
    // The counters keep their numbers; only the prefix is written.
    const auto replacePrefix = [](QLabel *label, UiTextId prefix) {
        const QString text = label->text();
        const qsizetype blank = text.lastIndexOf(u' ');
        label->setText(UiText(prefix) + (blank >= 0 ? text.mid(blank) : QString()));
    };
    replacePrefix(LabelRemained, UiTextId::WordsRemained);
    replacePrefix(LabelMis, UiTextId::Mistakes);
}

void TMainForm::setRemainedLabel(int count)
{
    LabelRemained->setText(counterText(UiTextId::WordsRemained, count));
}

void TMainForm::setMistakesLabel(int count)
{
    LabelMis->setText(counterText(UiTextId::Mistakes, count));
}

QuizSettings TMainForm::settings() const
{
    return m_windows.LessonOptions->settings();
}

// ---- The next-question step ------------------------------------------------------------------------

void TMainForm::startQuiz()
{
    show();
    Q_EMIT quizStarted();
    Button1Click();
    Timer2->start();
}

void TMainForm::Button1Click()
{
    SystemRandom random;
    NextQuestion next =
        nextQuestion(m_session, settings(), m_windows.LessonOptions->lessons(), m_wordTable, random);
    if (next.passStarted)
        setMistakesLabel(0);
    setRemainedLabel(next.remaining);
    m_question = std::move(next.question);
    if (!m_question.hasWord()) {
        showNoQuestion();
        return;
    }
    if (m_question.count() != m_layoutCount) {
        Board->LayOutAnswers(m_question.count());
        m_layoutCount = m_question.count();
    }
    ShowQuestion();
    Q_EMIT questionAsked();
    PlayWordSound(m_question.word);
    resetIdleCounter();
}

void TMainForm::showNoQuestion()
{
    // No lesson chosen, or nothing left to ask: no question and no candidates until there is a word.
    Board->showNoQuestion(noQuestionHint(TotalWordCount()));
}

void TMainForm::ShowQuestion()
{
    if (!m_question.hasWord())
        return;
    Board->ShowQuestion(m_question, m_wordTable, FieldFonts{LatinFontDial, HierFontDial, BHierFontDial},
                        settings());
}

// ---- Answers ---------------------------------------------------------------------------------------

void TMainForm::TntFormMouseDown(int box, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        PlayWordSound(m_question.wordInBox(box));
        return;
    }
    if (button != Qt::LeftButton)
        return;
    const bool right = m_question.isRightBox(box);
    Board->flashBox(box, right);
    Q_EMIT answerGiven(m_question.word, right, false);
    if (right)
        RightAnswer();
    else
        WrongAnswer();
}

void TMainForm::CoolGirlOKClick()
{
    if (!m_question.hasWord())
        return;
    const bool right = m_question.isRightTypedAnswer(CoolGirlEdit->text());
    Board->flashTypedAnswer(right);
    Q_EMIT answerGiven(m_question.word, right, true);
    if (right)
        RightAnswer();
    else
        WrongAnswer();
}

void TMainForm::RightAnswer()
{
    // The flash must be seen before the next question is built; a synchronous repaint shows it without
    // letting a second click reach the old question. Only the flashed box changed, so only it is painted.
    Board->repaintFlash();
    if (m_session.rightAnswer())
        endPass();
    Button1Click();
}

void TMainForm::endPass()
{
    Q_EMIT passEnded();
    setRemainedLabel(0);
    const int mistakes = m_session.mistakeCount();
    QMessageBox grade(QMessageBox::NoIcon, gradeForMistakes(mistakes), UiText(UiTextId::WordsRanOut),
                      QMessageBox::Ok, this);
    grade.setObjectName(QStringLiteral("GradeMessage"));
    grade.exec();
    if (!m_session.reviewDue())
        return;
    if (m_windows.FormFuxi->ShowDifficultWords(m_wordTable, m_session.mistakes()) &&
        m_session.learnMistakes()) {
        setMistakesLabel(0);
        setRemainedLabel(int(m_session.queue().size()));
    }
}

void TMainForm::WrongAnswer()
{
    m_session.wrongAnswer();
    setMistakesLabel(m_session.mistakeCount());
}

void TMainForm::PlayWordSound(int word)
{
    if (!settings().sound || word < 0 || word >= TotalWordCount())
        return;
    m_soundPlayer->playPinyin(m_wordTable.cell(PinyinColumn, word));
}

void TMainForm::Timer2Timer()
{
    ++m_idleTicks;
    QScreen *shownOn = screen();
    if (idleAnimationDue(m_idleTicks, QCursor::pos(shownOn), shownOn->geometry()))
        m_windows.Form3->startAnimation(shownOn);
}

// ---- What the lesson dialog reports -------------------------------------------------------------------

void TMainForm::lessonsCounted(int selectedWordCount)
{
    m_session.setNewPassPending();
    setRemainedLabel(selectedWordCount);
}

void TMainForm::lessonChoiceChanged()
{
    // Every change of the choice abandons the pass and asks from the new choice at once.
    Button1Click();
}

// ---- Menu commands -------------------------------------------------------------------------------------

void TMainForm::N8Click()
{
    execCentred(m_windows.LessonOptions);
}

void TMainForm::N3Click()
{
    const QString path = askDictionaryFile(this);
    if (path.isEmpty())
        return;
    hide();
    m_windows.Form1->changeDictionary(path);
}

void TMainForm::N4Click()
{
    const QString path = askLessonFileToOpen(this);
    if (path.isEmpty())
        return;
    // The whole file is read and checked before the session is touched: a broken file changes nothing.
    Result<LessonProgress> loaded = loadLessonFile(path, TotalWordCount());
    if (!loaded) {
        showLessonFileError(this, loaded.error());
        return;
    }
    LessonProgress progress = std::move(loaded).value();
    if (progress.dictionaryPath != m_windows.Form1->DictionaryPath())
        warnOtherDictionary(this);
    const int queueLength = int(progress.queue.size());
    m_session.restore(std::move(progress.queue), progress.mistakeCount, std::move(progress.mistakes));
    setMistakesLabel(m_session.mistakeCount());
    setRemainedLabel(queueLength);
    Button1->click();
}

void TMainForm::N5Click()
{
    const QString path = askLessonFileToSave(this);
    if (path.isEmpty())
        return;
    const LessonProgress progress{m_windows.Form1->DictionaryPath(), m_session.queue(),
                                  m_session.mistakeCount(), m_session.mistakes()};
    const Result<void> saved = saveLessonFile(path, progress);
    if (!saved)
        showLessonFileError(this, saved.error());
}

void TMainForm::N6Click()
{
    close();
}

void TMainForm::N16Click()
{
    m_windows.FormStat->ShowStatistics(m_wordTable, m_windows.LessonOptions->lessons(),
                                       HierFontDial.font.family(), BHierFontDial.font.family());
}

void TMainForm::N11Click()
{
    execCentred(m_windows.AboutForm);
}

void TMainForm::N12Click()
{
    execCentred(m_windows.FormHelp);
}

void TMainForm::N13Click()
{
    execCentred(m_windows.FormThems);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    // The splash window is the program's main window: closing it ends the program.
    m_windows.Form1->close();
}

// ---- The learning journal ----------------------------------------------------------------------------

void TMainForm::showJournalState(bool kept, int dueWords)
{
    findChild<QAction *>(QStringLiteral("JournalAction"))->setChecked(kept);
    findChild<QAction *>(QStringLiteral("ProgressAction"))->setEnabled(kept);
    QAction *review = findChild<QAction *>(QStringLiteral("DueReviewAction"));
    review->setText(dueReviewCaption(dueWords));
    review->setEnabled(kept && dueWords > 0);
}

void TMainForm::startPassOver(const QList<int> &words)
{
    if (words.isEmpty())
        return;
    m_session.restore(words, 0, {});
    setMistakesLabel(0);
    setRemainedLabel(int(words.size()));
    Button1Click();
}

// ---- Colour schemes ------------------------------------------------------------------------------------

void TMainForm::applyColourScheme(const ScreenScheme &scheme)
{
    m_colours = scheme.colours;
    setTextColour(LabelRemained, m_colours.remainedText);
    setTextColour(LabelMis, m_colours.mistakesText);
    // The web address has no colour of its own in a scheme: it stays readable on any background.
    setTextColour(Label2, readableTextColour(m_colours.background));
    LatinFontDial.colour = scheme.lettersFont;
    HierFontDial.colour = scheme.simpleHanziFont;
    BHierFontDial.colour = scheme.fullHanziFont;
    Board->takeColours(scheme.framedBoxes);
    ShowQuestion();
}
