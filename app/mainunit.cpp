#include "app/mainunit.h"

#include "app/trainer.h"
#include "audio/wordsoundplayer.h"
#include "progress/lessonfile.h"
#include "ui/dialogplacement.h"
#include "ui/filedialogs.h"
#include "ui/fonts.h"
#include "ui/idleanimation.h"
#include "ui/schemecolours.h"
#include "ui/uitexts.h"
#include "writing/strokedata.h"
#include "writing/writingpad.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
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

TMainForm::TMainForm(Trainer &trainer, const ScreenLook &look, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_trainer(trainer)
    , m_look(look)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Wordlark"));
    setFont(dialogFont());
    setFixedSize(kWindowWidth, kWindowHeight);
    move(0, 0);

    createMenu();
    createQuizScreen();
    m_soundPlayer = new WordSoundPlayer(this, m_trainer.startFolder());

    connect(&m_trainer, &Trainer::questionAsked, this, &TMainForm::showAskedQuestion);
    connect(&m_trainer, &Trainer::nothingToAsk, this, &TMainForm::showNoQuestion);
    connect(&m_trainer, &Trainer::remainingChanged, this, &TMainForm::setRemainedLabel);
    connect(&m_trainer, &Trainer::mistakesChanged, this, &TMainForm::setMistakesLabel);
    connect(&m_trainer, &Trainer::answered, this, &TMainForm::showVerdict);
    connect(&m_trainer, &Trainer::passEnded, this, &TMainForm::showGrade);
    // The quiz screen makes way for the splash while a dictionary loads, and comes back with its first
    // question.
    connect(&m_trainer, &Trainer::loadStarting, this, &QWidget::hide);
    connect(&m_trainer, &Trainer::dictionaryChanged, this, &TMainForm::startQuiz);
    connect(&m_look, &ScreenLook::changed, this, &TMainForm::showLook);
    connect(&m_trainer, &Trainer::writingChanged, this, &TMainForm::showWritingPass);

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
    progress->addSeparator();
    addItem(progress, "SyncFolderAction", QStringLiteral("Папка синхронизации…"),
            &TMainForm::syncFolderAsked);
    addItem(progress, "SyncOffAction", QStringLiteral("Отключить синхронизацию"), &TMainForm::syncOffAsked);
    addItem(progress, "SyncNowAction", QStringLiteral("Синхронизировать сейчас"), &TMainForm::syncNowAsked);
    showJournalState(false, 0);
    showSyncState(false, false);

    createWritingMenu();

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
    Board = new AnswerBoard(m_look.colours(), answerAreaBottom, this);
    setCentralWidget(Board);
    connect(Board, &AnswerBoard::boxPressed, this, &TMainForm::TntFormMouseDown);
    connect(Board, &AnswerBoard::questionSoundAsked, this, [this] { PlayWordSound(question().word); });
    connect(Board, &AnswerBoard::typedAnswerEntered, this, &TMainForm::CoolGirlOKClick);
    connect(Board, &AnswerBoard::learnerActive, this, &TMainForm::resetIdleCounter);

    LabelRemained =
        createCounter("LabelRemained", UiTextId::WordsRemained, 10, m_look.colours().remainedText);
    LabelMis =
        createCounter("LabelMis", UiTextId::Mistakes, kWindowWidth / 2 + 5, m_look.colours().mistakesText);

    Button1 = new QPushButton(QStringLiteral("Button1"), Board);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->hide();
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);

    // The writing pass's pad stands where the answer boxes stand, over them, while the pass runs.
    takeWritingColours();
    m_writingPad = new WritingPad(m_writingColours, Board);
    m_writingPad->setGeometry(Board->answerArea());
    m_writingPad->hide();
    connect(m_writingPad, &WritingPad::missed, this, [this] { m_trainer.answerWritten(false); });
    connect(m_writingPad, &WritingPad::written, this, [this] { m_trainer.answerWritten(true); });
    connect(m_writingPad, &WritingPad::soundAsked, this, [this] { PlayWordSound(question().word); });

    Label2 = new QLabel(QStringLiteral("wordlark.example.org"), Board);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->adjustSize();
    // Below the answer area, near the bottom-right corner.
    Label2->move(664, answerAreaBottom + (20 - Label2->height()) / 2);
}

const WordTable &TMainForm::wordTable() const
{
    return m_trainer.wordTable();
}

int TMainForm::TotalWordCount() const
{
    return m_trainer.wordCount();
}

const QuizSession &TMainForm::session() const
{
    return m_trainer.session();
}

const Question &TMainForm::question() const
{
    return m_trainer.question();
}

void TMainForm::applyUiTexts()
{
    Board->applyUiTexts();
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

// ---- The next-question step ------------------------------------------------------------------------

// Shows the window with the load's first question and starts counting idle seconds.
void TMainForm::startQuiz()
{
    show();
    Timer2->start();
    if (TotalWordCount() == 0) {
        showMessage(this, QMessageBox::Information, QStringLiteral("Wordlark"), emptyDictionaryMessage(),
                    QStringLiteral("EmptyDictionaryMessage"));
    }
}

void TMainForm::Button1Click()
{
    m_trainer.nextQuestion();
}

void TMainForm::showAskedQuestion()
{
    const Question &asked = question();
    if (asked.count() != m_layoutCount) {
        Board->LayOutAnswers(asked.count());
        m_layoutCount = asked.count();
    }
    ShowQuestion();
    showWordToWrite();
    PlayWordSound(asked.word);
    resetIdleCounter();
}

void TMainForm::showNoQuestion()
{
    // No lesson chosen, or nothing left to ask: no question and no candidates until there is a word.
    Board->showNoQuestion(noQuestionHint(TotalWordCount()));
    m_writingPad->hide();
}

void TMainForm::ShowQuestion()
{
    if (!question().hasWord())
        return;
    // In a writing pass the pad keeps the answer boxes' place and what is written so far.
    if (m_trainer.writing())
        Board->showQuestionAlone(question(), wordTable(), m_look.fonts());
    else
        Board->ShowQuestion(question(), wordTable(), m_look.fonts(), m_trainer.settings());
}

// ---- Answers ---------------------------------------------------------------------------------------

void TMainForm::TntFormMouseDown(int box, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        PlayWordSound(question().wordInBox(box));
        return;
    }
    if (button == Qt::LeftButton)
        m_trainer.answerBox(box);
}

void TMainForm::CoolGirlOKClick()
{
    m_trainer.answerTyped(Board->typedText());
}

void TMainForm::showVerdict(const Answer &answer)
{
    if (answer.written) {
        // A miss shows on the pad already. A written word flashes the pad's ground, which stays in the
        // flash colour round the next word's cells for a moment, as an answered box keeps its colour.
        if (answer.right)
            m_writingPad->flashWritten();
        return;
    }
    if (answer.typed)
        Board->flashTypedAnswer(answer.right);
    else
        Board->flashBox(answer.box, answer.right);
    // The flash must be seen before the next question is built; a synchronous repaint shows it without
    // letting a second click reach the old question. Only the flashed box changed, so only it is painted.
    if (answer.right)
        Board->repaintFlash();
}

void TMainForm::showGrade(int mistakeCount)
{
    showMessage(this, QMessageBox::NoIcon, gradeForMistakes(mistakeCount), UiText(UiTextId::WordsRanOut),
                QStringLiteral("GradeMessage"));
}

void TMainForm::PlayWordSound(int word)
{
    if (!m_trainer.settings().sound || word < 0 || word >= TotalWordCount())
        return;
    m_soundPlayer->playPinyin(wordTable().cell(PinyinColumn, word));
}

void TMainForm::Timer2Timer()
{
    ++m_idleTicks;
    QScreen *shownOn = screen();
    if (idleAnimationDue(m_idleTicks, QCursor::pos(shownOn), shownOn->geometry()))
        Q_EMIT idleTimeReached(shownOn);
}

// ---- Menu commands -------------------------------------------------------------------------------------

void TMainForm::N8Click()
{
    Q_EMIT lessonOptionsAsked();
}

void TMainForm::N3Click()
{
    const QString path = askDictionaryFile(this);
    if (!path.isEmpty())
        m_trainer.changeDictionary(path);
}

void TMainForm::N4Click()
{
    const QString path = askLessonFileToOpen(this);
    if (path.isEmpty())
        return;
    // The whole file is read and checked before the session is touched: a broken file changes nothing.
    Result<LessonProgress> loaded = m_trainer.readLessonFile(path);
    if (!loaded) {
        showLessonFileError(this, loaded.error());
        return;
    }
    if (m_trainer.isFromOtherDictionary(*loaded))
        warnOtherDictionary(this);
    m_trainer.resumeLesson(std::move(loaded).value());
}

void TMainForm::N5Click()
{
    const QString path = askLessonFileToSave(this);
    if (path.isEmpty())
        return;
    const Result<void> saved = m_trainer.saveLessonFile(path);
    if (!saved)
        showLessonFileError(this, saved.error());
}

void TMainForm::N6Click()
{
    close();
}

void TMainForm::N16Click()
{
    Q_EMIT statisticsAsked();
}

void TMainForm::N11Click()
{
    Q_EMIT aboutAsked();
}

void TMainForm::N12Click()
{
    Q_EMIT helpAsked();
}

void TMainForm::N13Click()
{
    Q_EMIT coloursAsked();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    Q_EMIT closed();
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

void TMainForm::showSyncState(bool kept, bool hasFolder)
{
    findChild<QAction *>(QStringLiteral("SyncFolderAction"))->setEnabled(kept);
    findChild<QAction *>(QStringLiteral("SyncOffAction"))->setEnabled(kept && hasFolder);
    findChild<QAction *>(QStringLiteral("SyncNowAction"))->setEnabled(kept && hasFolder);
}

// ---- The look ----------------------------------------------------------------------------------------

// New colours recolour the counters and the board; the shown question is written again in the new colours
// or fonts.
void TMainForm::showLook(ScreenLook::Part part)
{
    if (part == ScreenLook::Part::Colours) {
        const QuizColours &colours = m_look.colours();
        setTextColour(LabelRemained, colours.remainedText);
        setTextColour(LabelMis, colours.mistakesText);
        // The web address has no colour of its own in a scheme: it stays readable on any background.
        setTextColour(Label2, readableTextColour(colours.background));
        Board->takeColours(m_look.framedBoxes());
        takeWritingColours();
    }
    ShowQuestion();
}

// ---- Writing characters --------------------------------------------------------------------------------

void TMainForm::coverAnswers()
{
    if (!m_trainer.writing())
        Board->coverAnswers();
}

void TMainForm::showKeyboardPanel(bool shown)
{
    if (!m_trainer.writing())
        Board->setKeyboardPanelShown(shown);
}

void TMainForm::showMask(bool shown)
{
    if (!m_trainer.writing())
        Board->setMaskShown(shown);
}

void TMainForm::createWritingMenu()
{
    QMenu *writing = menuBar()->addMenu(QStringLiteral("Письмо"));
    writing->setObjectName(QStringLiteral("WritingMenu"));
    QAction *write = writing->addAction(QStringLiteral("Писать иероглифы"));
    write->setObjectName(QStringLiteral("WritingAction"));
    write->setCheckable(true);
    connect(write, &QAction::triggered, this, &TMainForm::writingTicked);
    QAction *order = writing->addAction(QStringLiteral("Порядок черт"));
    order->setObjectName(QStringLiteral("StrokeOrderAction"));
    connect(order, &QAction::triggered, this, &TMainForm::strokeOrderAsked);
    setStrokeData({}, QString());
}

void TMainForm::setStrokeData(WrittenWord::Lookup lookup, const QString &whyNot)
{
    m_strokeLookup = std::move(lookup);
    const bool available = bool(m_strokeLookup);
    for (const char *name : {"WritingAction", "StrokeOrderAction"}) {
        QAction *action = findChild<QAction *>(QString::fromLatin1(name));
        action->setEnabled(available);
        action->setToolTip(available ? QString() : whyNot);
    }
    // Tooltips of menu items show only when the menu is told to.
    findChild<QMenu *>(QStringLiteral("WritingMenu"))->setToolTipsVisible(!available);
}

void TMainForm::showWritingPass(bool writing)
{
    findChild<QAction *>(QStringLiteral("WritingAction"))->setChecked(writing);
    if (!writing)
        m_writingPad->hide();
}

void TMainForm::showWordToWrite()
{
    if (!m_trainer.writing()) {
        m_writingPad->hide();
        return;
    }
    m_writingPad->showWord(
        WrittenWord(writtenCharacters(wordTable().cell(SimplifiedColumn, question().word)), m_strokeLookup),
        m_look.field(FieldKind::Simplified).font);
    m_writingPad->show();
    m_writingPad->raise();
}

void TMainForm::takeWritingColours()
{
    // The cells stand on the question box's ground, and the strokes are written in the characters' colour.
    const QuizColours &colours = m_look.colours();
    const QColor ground = colours.question;
    m_writingColours = {ground, m_look.field(FieldKind::Simplified).colour,
                        strokeColourOn(colours.rightAnswer, ground),
                        strokeColourOn(colours.wrongAnswer, ground), colours.rightAnswer};
    if (m_writingPad)
        m_writingPad->takeColours();
}
