#include "app/mainunit.h"

#include "app/unit1.h"
#include "audio/wordsoundplayer.h"
#include "dictionary/unit4.h"
#include "progress/lessonfile.h"
#include "progress/unitfuxi.h"
#include "quiz/maskpanel.h"
#include "ui/idleanimation.h"
#include "ui/uitexts.h"
#include "ui/unit3.h"
#include "ui/unitabout.h"
#include "ui/unithelp.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

using namespace wordlark;

namespace {

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 570;
constexpr int kQuestionLeft = 10;
constexpr int kQuestionTop = 20;
constexpr int kQuestionWidth = 780;
constexpr int kQuestionHeight = 50;
constexpr int kAnswerWidth = 385;
constexpr int kFlashMs = 200;
constexpr int kIdleTickMs = 1000;

QFont pixelFont(const QString &family, int pixels, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void centreOnScreen(QWidget *window)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window->move(screen->geometry().center() - window->rect().center());
}

void putCaretAtStart(QTextEdit *box)
{
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(0);
    box->setTextCursor(cursor);
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
    createKeyboardPanels();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kFlashMs);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);

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
    QAction *statistics = dictionary->addAction(UiText(UiTextId::Statistics));
    statistics->setObjectName(QStringLiteral("N16"));
    statistics->setEnabled(false);

    QMenu *settings = addMenu("N7", QStringLiteral("Настройки"));
    addItem(settings, "N8", QStringLiteral("Параметры урока"), &TMainForm::N8Click);
    QAction *colours = settings->addAction(QStringLiteral("Цвет и шрифты"));
    colours->setObjectName(QStringLiteral("N13"));
    colours->setEnabled(false);

    QMenu *help = addMenu("N10", QStringLiteral("Помощь"));
    addItem(help, "N11", QStringLiteral("О программе"), &TMainForm::N11Click);
    addItem(help, "N12", QStringLiteral("Справка"), &TMainForm::N12Click);
}

QTextEdit *TMainForm::createAnswerBox(int number)
{
    auto *box = new QTextEdit(centralWidget());
    box->setObjectName(QStringLiteral("AnswerBox%1").arg(number));
    box->setReadOnly(true);
    box->setFrameShape(QFrame::Box);
    box->setLineWidth(1);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setLineWrapMode(QTextEdit::WidgetWidth);
    box->setTextInteractionFlags(Qt::NoTextInteraction);
    box->setFocusPolicy(Qt::NoFocus);
    box->viewport()->setCursor(Qt::PointingHandCursor);
    box->viewport()->setMouseTracking(true);
    box->viewport()->installEventFilter(this);
    const int left = number % 2 == 1 ? kWindowWidth / 2 - kAnswerWidth - 5 : kWindowWidth / 2 + 5;
    box->setGeometry(left, 0, kAnswerWidth, 10);
    box->hide();
    return box;
}

void TMainForm::createQuizScreen()
{
    auto *screen = new QWidget(this);
    screen->setObjectName(QStringLiteral("QuizScreen"));
    screen->setAutoFillBackground(true);
    screen->setMouseTracking(true);
    screen->installEventFilter(this);
    setCentralWidget(screen);
    QPalette screenPalette = screen->palette();
    screenPalette.setColor(QPalette::Window, m_colours.background);
    screen->setPalette(screenPalette);

    LabelRemained = new QLabel(counterText(UiTextId::WordsRemained, 0), screen);
    LabelRemained->setObjectName(QStringLiteral("LabelRemained"));
    LabelRemained->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    LabelRemained->setGeometry(kQuestionLeft, 1, 300, 18);
    LabelMis = new QLabel(counterText(UiTextId::Mistakes, 0), screen);
    LabelMis->setObjectName(QStringLiteral("LabelMis"));
    LabelMis->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    LabelMis->setGeometry(kWindowWidth / 2 + 5, 1, 300, 18);
    QPalette remainedPalette = LabelRemained->palette();
    remainedPalette.setColor(QPalette::WindowText, m_colours.remainedText);
    LabelRemained->setPalette(remainedPalette);
    QPalette mistakesPalette = LabelMis->palette();
    mistakesPalette.setColor(QPalette::WindowText, m_colours.mistakesText);
    LabelMis->setPalette(mistakesPalette);

    TntRichEdit0 = new QTextEdit(screen);
    TntRichEdit0->setObjectName(QStringLiteral("TntRichEdit0"));
    TntRichEdit0->setReadOnly(true);
    TntRichEdit0->setFont(pixelFont(QStringLiteral("Tahoma"), 21));
    TntRichEdit0->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TntRichEdit0->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TntRichEdit0->setTextInteractionFlags(Qt::NoTextInteraction);
    TntRichEdit0->setFocusPolicy(Qt::NoFocus);
    TntRichEdit0->viewport()->setCursor(Qt::ArrowCursor);
    TntRichEdit0->viewport()->installEventFilter(this);
    TntRichEdit0->setGeometry(kQuestionLeft, kQuestionTop, kQuestionWidth, kQuestionHeight);
    QPalette questionPalette = TntRichEdit0->palette();
    questionPalette.setColor(QPalette::Base, m_colours.question);
    TntRichEdit0->setPalette(questionPalette);

    for (int number = 1; number <= MaxAnswerBoxes; ++number)
        AnswerBoxes[size_t(number - 1)] = createAnswerBox(number);
    for (int box = 1; box <= MaxAnswerBoxes; ++box)
        setBoxColour(box, m_colours.answer);

    ButtonShow = new QPushButton(UiText(UiTextId::ShowAnswers), screen);
    ButtonShow->setObjectName(QStringLiteral("ButtonShow"));
    ButtonShow->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 21));
    ButtonShow->setCursor(Qt::PointingHandCursor);
    ButtonShow->setMouseTracking(true);
    ButtonShow->installEventFilter(this);
    ButtonShow->hide();
    connect(ButtonShow, &QPushButton::clicked, this, &TMainForm::ButtonShowClick);

    // Takes the keyboard focus after every question and click, so no box shows a caret.
    Edit1 = new QLineEdit(screen);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setGeometry(-200, -200, 100, 20);

    Button1 = new QPushButton(QStringLiteral("Button1"), screen);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->hide();
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);

    Label2 = new QLabel(QStringLiteral("wordlark.example.org"), screen);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->adjustSize();

    // The client height is known only once the menu bar has taken its share.
    const int clientHeight = kWindowHeight - menuBar()->sizeHint().height();
    m_answerAreaBottom = clientHeight - 20;
    // Below the answer area, near the bottom-right corner.
    Label2->move(664, m_answerAreaBottom + (20 - Label2->height()) / 2);
    LayOutAnswers(MaxAnswerBoxes);
    ButtonShow->raise();
}

void TMainForm::createKeyboardPanels()
{
    PanelAnswer = new QFrame(centralWidget());
    PanelAnswer->setObjectName(QStringLiteral("PanelAnswer"));
    PanelAnswer->setFrameShape(QFrame::Panel);
    PanelAnswer->setFrameShadow(QFrame::Raised);
    PanelAnswer->setAutoFillBackground(true);
    PanelAnswer->setGeometry(279, 192, 241, 155);
    PanelAnswer->hide();

    auto *prompt = new QLabel(QStringLiteral("Введите иероглифы:"), PanelAnswer);
    prompt->setObjectName(QStringLiteral("Label1"));
    prompt->setFont(pixelFont(QStringLiteral("Tahoma"), 16, true));
    prompt->adjustSize();
    prompt->move(std::min(36, (PanelAnswer->width() - prompt->width()) / 2), 24);

    CoolGirlEdit = new QLineEdit(PanelAnswer);
    CoolGirlEdit->setObjectName(QStringLiteral("CoolGirlEdit"));
    CoolGirlEdit->setFont(pixelFont(QStringLiteral("SimSun"), 32));
    CoolGirlEdit->setGeometry(28, 56, 185, 41);
    connect(CoolGirlEdit, &QLineEdit::returnPressed, this, &TMainForm::CoolGirlOKClick);

    CoolGirlOK = new QPushButton(QStringLiteral("OK"), PanelAnswer);
    CoolGirlOK->setObjectName(QStringLiteral("CoolGirlOK"));
    CoolGirlOK->setGeometry(85, 115, 75, 25);
    connect(CoolGirlOK, &QPushButton::clicked, this, &TMainForm::CoolGirlOKClick);

    PanelMask = new MaskPanel(centralWidget());
    PanelMask->setObjectName(QStringLiteral("PanelMask"));
    PanelMask->setFont(pixelFont(QStringLiteral("Courier New"), 32, true));
    PanelMask->setGeometry(307, 114, 185, 55);
    PanelMask->hide();
}

void TMainForm::ParseDictionary(const std::function<void(int)> &beforeLine)
{
    parseDictionary(m_dictionaryText, m_wordTable, beforeLine);
}

void TMainForm::ClearWordTable()
{
    m_wordTable.clear();
    m_choice = {};
    m_choice.slots.fill(-1);
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

// ---- The next-question step ------------------------------------------------------------------------

void TMainForm::Button1Click()
{
    TLessonOptions *options = m_windows.LessonOptions;
    m_session.setFields(options->questionFields(), options->answerFields());
    m_maxAnswers = options->maxAnswers();

    if (m_session.newPassPending()) {
        m_session.startPassIfPending(options->lessons(), m_wordTable);
        setMistakesLabel(0);
    }
    setRemainedLabel(int(m_session.queue().size()));

    SystemRandom random;
    if (!m_session.drawWord(random)) {
        showNoQuestion();
        return;
    }

    m_choice = chooseCandidates(m_wordTable, options->lessons(), m_session.currentWord(), m_maxAnswers,
                                options->wordsFromAllLessons(), random);
    m_session.clearMissedThisQuestion();
    m_rightAnswerText = joinFields(m_wordTable, m_session.currentWord(), m_session.answerFields());
    if (m_choice.count != m_layoutCount) {
        LayOutAnswers(m_choice.count);
        m_layoutCount = m_choice.count;
    }
    ShowQuestion();
    PlayWordSound(m_session.currentWord());
    resetIdleCounter();
}

void TMainForm::showNoQuestion()
{
    // No lesson chosen, or nothing left to ask: no question and no candidates until there is a word.
    m_choice = {};
    m_choice.slots.fill(-1);
    m_rightAnswerText.clear();
    m_questionText.clear();
    TntRichEdit0->setPlainText(noQuestionHint(TotalWordCount()));
    TntRichEdit0->setAlignment(Qt::AlignHCenter);
    for (QTextEdit *box : AnswerBoxes)
        box->hide();
    ButtonShow->hide();
    PanelAnswer->hide();
    PanelMask->hide();
    PanelMask->setText({});
    Edit1->setFocus();
}

void TMainForm::LayOutAnswers(int count)
{
    m_answerAreaTop = TntRichEdit0->y() + TntRichEdit0->height() + 5;
    const AnswerLayout layout = layOutAnswers(count, m_answerAreaTop, m_answerAreaBottom);
    for (int slot = 0; slot < MaxAnswerBoxes; ++slot) {
        QTextEdit *box = AnswerBoxes[size_t(slot)];
        box->hide();
        box->setGeometry(box->x(), layout.top(slot), kAnswerWidth, layout.boxHeight);
    }
    ButtonShow->setGeometry(kQuestionLeft, m_answerAreaTop - 1, kQuestionWidth,
                            m_answerAreaBottom - m_answerAreaTop + 2);
}

void TMainForm::ShowQuestion()
{
    ButtonShow->setVisible(m_windows.LessonOptions->CheckShowBut->isChecked());
    FillBox(TntRichEdit0, 0);
    for (int i = 1; i <= MaxAnswerBoxes; ++i) {
        QTextEdit *box = AnswerBoxes[size_t(i - 1)];
        const bool used = i <= m_choice.count;
        if (used)
            FillBox(box, i);
        box->setVisible(used);
    }
    Edit1->setFocus();
    PrepareKeyboardAnswer();
}

const FieldFont &TMainForm::fontOfColumn(int column) const
{
    if (column == SimplifiedColumn)
        return HierFontDial;
    if (column == FullColumn)
        return BHierFontDial;
    return LatinFontDial;
}

void TMainForm::FillBox(QTextEdit *box, int i)
{
    const bool isQuestion = i == 0;
    const int word = isQuestion ? m_session.currentWord() : m_choice.slots[size_t(i - 1)];
    const FieldSet &fields = isQuestion ? m_session.questionFields() : m_session.answerFields();
    QString &shownText = isQuestion ? m_questionText : m_boxText[size_t(i - 1)];
    shownText.clear();
    if (!isQuestion)
        m_boxQuestionText[size_t(i - 1)].clear();
    box->clear();
    if (word < 0)
        return;

    QTextCursor cursor(box->document());
    QTextBlockFormat block;
    block.setAlignment(isQuestion ? Qt::AlignHCenter : (i % 2 == 1 ? Qt::AlignRight : Qt::AlignLeft));
    cursor.setBlockFormat(block);
    QTextCharFormat blankFormat;
    blankFormat.setFont(box->font());

    for (int column = 0; column < ColumnCount; ++column) {
        if (fields[size_t(column)]) {
            if (!shownText.isEmpty()) {
                cursor.insertText(QStringLiteral(" "), blankFormat);
                shownText.append(u' ');
            }
            const QString &cell = m_wordTable.cell(column, word);
            const FieldFont &kind = fontOfColumn(column);
            QTextCharFormat format;
            format.setFont(kind.font, QTextCharFormat::FontPropertiesAll);
            format.setForeground(kind.colour);
            cursor.insertText(shownField(cell), format);
            shownText.append(cell);
        }
        if (!isQuestion && m_session.questionFields()[size_t(column)]) {
            QString &question = m_boxQuestionText[size_t(i - 1)];
            if (!question.isEmpty())
                question.append(u' ');
            question.append(m_wordTable.cell(column, word));
        }
    }
    putCaretAtStart(box);
}

// ---- Answers ---------------------------------------------------------------------------------------

void TMainForm::setBoxColour(int box, const QColor &colour)
{
    QTextEdit *edit = AnswerBoxes[size_t(box - 1)];
    m_boxColours[size_t(box - 1)] = colour;
    QPalette palette = edit->palette();
    if (palette.color(QPalette::Base) == colour)
        return;
    palette.setColor(QPalette::Base, colour);
    edit->setPalette(palette);
}

void TMainForm::startFlash()
{
    // A flash already running keeps its end.
    if (!Timer1->isActive())
        Timer1->start();
}

void TMainForm::focusSink(QTextEdit *box)
{
    if (box)
        putCaretAtStart(box);
    Edit1->setFocus();
}

void TMainForm::TntFormMouseDown(int box, Qt::MouseButton button)
{
    if (box < 1 || box > m_choice.count)
        return;
    if (button == Qt::RightButton) {
        PlayWordSound(m_choice.slots[size_t(box - 1)]);
        return;
    }
    if (button != Qt::LeftButton)
        return;
    const bool right = m_boxText[size_t(box - 1)] == m_rightAnswerText ||
                       m_boxQuestionText[size_t(box - 1)] == m_questionText;
    setBoxColour(box, right ? m_colours.rightAnswer : m_colours.wrongAnswer);
    focusSink(AnswerBoxes[size_t(box - 1)]);
    if (right)
        RightAnswer();
    else
        WrongAnswer();
}

void TMainForm::RightAnswer()
{
    startFlash();
    // The flash must be seen before the next question is built; a synchronous repaint shows it without
    // letting a second click reach the old question.
    centralWidget()->repaint();
    if (m_session.rightAnswer())
        endPass();
    Button1Click();
}

void TMainForm::endPass()
{
    setRemainedLabel(0);
    const int mistakes = m_session.mistakeCount();
    QMessageBox grade(QMessageBox::NoIcon, gradeForMistakes(mistakes), UiText(UiTextId::WordsRanOut),
                      QMessageBox::Ok, this);
    grade.setObjectName(QStringLiteral("GradeMessage"));
    grade.exec();
    if (mistakes <= 0)
        return;
    if (m_windows.FormFuxi->ShowDifficultWords(m_wordTable, m_session.mistakes()) &&
        m_session.learnMistakes()) {
        setMistakesLabel(0);
        setRemainedLabel(int(m_session.queue().size()));
    }
}

void TMainForm::WrongAnswer()
{
    startFlash();
    m_session.wrongAnswer();
    setMistakesLabel(m_session.mistakeCount());
}

void TMainForm::Timer1Timer()
{
    for (int box = 1; box <= MaxAnswerBoxes; ++box)
        setBoxColour(box, box == m_hoverBox ? m_colours.question : m_colours.answer);
    PanelAnswer->setPalette(QPalette());
    Timer1->stop();
}

void TMainForm::TntFormMouseMove(int box)
{
    if (box > 0)
        m_hoverBox = box;
    for (int other = 1; other <= MaxAnswerBoxes; ++other) {
        const QColor &colour = m_boxColours[size_t(other - 1)];
        if (colour == m_colours.rightAnswer || colour == m_colours.wrongAnswer)
            continue;
        setBoxColour(other, other == box ? m_colours.question : m_colours.answer);
    }
    resetIdleCounter();
}

void TMainForm::TntFormMouseUp(int box)
{
    if (box > 0)
        focusSink(AnswerBoxes[size_t(box - 1)]);
    if (PanelAnswer->isVisible())
        CoolGirlEdit->setFocus();
}

void TMainForm::TntRichEdit0MouseDown(Qt::MouseButton button)
{
    focusSink(TntRichEdit0);
    if (button == Qt::RightButton && m_session.hasCurrentWord())
        PlayWordSound(m_session.currentWord());
}

void TMainForm::TntRichEdit0MouseUp()
{
    focusSink(TntRichEdit0);
}

void TMainForm::ButtonShowClick()
{
    ButtonShow->hide();
    PanelMask->hide();
}

void TMainForm::Timer2Timer()
{
    ++m_idleTicks;
    QScreen *shownOn = screen();
    if (idleAnimationDue(m_idleTicks, QCursor::pos(shownOn), shownOn->geometry()))
        m_windows.Form3->startAnimation(shownOn);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonDblClick)
        return QMainWindow::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;

    if (watched == TntRichEdit0->viewport()) {
        if (press)
            TntRichEdit0MouseDown(mouse->button());
        else if (type == QEvent::MouseButtonRelease)
            TntRichEdit0MouseUp();
        return true;
    }
    if (watched == ButtonShow) {
        if (type == QEvent::MouseMove)
            resetIdleCounter();
        return false;
    }
    int box = 0;
    for (int i = 1; i <= MaxAnswerBoxes; ++i) {
        if (watched == AnswerBoxes[size_t(i - 1)]->viewport())
            box = i;
    }
    if (box == 0 && watched != centralWidget())
        return QMainWindow::eventFilter(watched, event);
    if (press)
        TntFormMouseDown(box, mouse->button());
    else if (type == QEvent::MouseMove)
        TntFormMouseMove(box);
    else
        TntFormMouseUp(box);
    return box != 0;
}

// ---- Keyboard answers --------------------------------------------------------------------------------

void TMainForm::PrepareKeyboardAnswer()
{
    const TLessonOptions *options = m_windows.LessonOptions;
    PanelAnswer->setVisible(options->CoolGirl->isChecked() && options->CheckShowBut->isChecked());
    if (PanelAnswer->isVisible()) {
        PanelAnswer->raise();
        CoolGirlEdit->setFocus();
        CoolGirlEdit->clear();
    }
    PanelMask->setVisible(options->CheckBoxMask->isChecked());
    FillMask();
    PanelMask->raise();
    if (m_refocusLessonList) {
        m_refocusLessonList = false;
        options->ListBox1->setFocus();
    }
}

void TMainForm::FillMask()
{
    const int word = m_session.currentWord();
    const qsizetype length = word >= 0 ? m_wordTable.cell(SimplifiedColumn, word).size() : 0;
    PanelMask->setText(QString(length, QChar(0x7F)));
}

void TMainForm::CoolGirlOKClick()
{
    if (!m_session.hasCurrentWord())
        return;
    const auto flashPanel = [this](const QColor &colour) {
        QPalette palette = PanelAnswer->palette();
        palette.setColor(QPalette::Window, colour);
        PanelAnswer->setPalette(palette);
    };
    if (CoolGirlEdit->text() == m_wordTable.cell(SimplifiedColumn, m_session.currentWord())) {
        flashPanel(m_colours.rightAnswer);
        RightAnswer();
        return;
    }
    flashPanel(m_colours.wrongAnswer);
    for (int box = 1; box <= MaxAnswerBoxes; ++box)
        setBoxColour(box, m_colours.wrongAnswer);
    WrongAnswer();
    ButtonShow->hide();
    PanelMask->hide();
    PanelAnswer->hide();
    Edit1->setFocus();
}

void TMainForm::PlayWordSound(int word)
{
    if (!m_windows.LessonOptions->CheckBoxSound->isChecked() || word < 0 || word >= TotalWordCount())
        return;
    m_soundPlayer->playPinyin(m_wordTable.cell(PinyinColumn, word));
}

// ---- Menu commands -------------------------------------------------------------------------------------

void TMainForm::N8Click()
{
    TLessonOptions *options = m_windows.LessonOptions;
    centreOnScreen(options);
    options->exec();
}

void TMainForm::N3Click()
{
    QFileDialog dialog(this, QStringLiteral("Словарь"),
                       QDir::current().filePath(QStringLiteral("Dictionary")),
                       QStringLiteral("Dictionary (*.dic)"));
    dialog.setObjectName(QStringLiteral("OpenDictDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();

    hide();
    TForm1 *splash = m_windows.Form1;
    splash->PrepareForLoading();
    m_dictionaryText.clear();
    ClearWordTable();
    m_windows.LessonOptions->ClearLessonList();
    splash->setDictionaryPath(path);
    splash->show();
    splash->Button1Click();
}

namespace {

// Both lesson dialogs offer the one file type, start in "Saves" and propose "MyLesson".
void prepareLessonDialog(QFileDialog &dialog, const char *name)
{
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDirectory(QDir::current().filePath(QStringLiteral("Saves")));
    dialog.setNameFilter(QStringLiteral("Lesson (*.ke4)"));
    dialog.setDefaultSuffix(QStringLiteral("ke4"));
    dialog.selectFile(QStringLiteral("MyLesson"));
}

void showError(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Wordlark"), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("LessonFileError"));
    box.exec();
}

} // namespace

void TMainForm::N4Click()
{
    QFileDialog dialog(this);
    prepareLessonDialog(dialog, "OpenLDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;

    // The whole file is read and checked before the session is touched: a broken file changes nothing.
    const LessonFileResult result = loadLessonFile(dialog.selectedFiles().constFirst(), TotalWordCount());
    if (!result.progress) {
        showError(this, result.error);
        return;
    }
    LessonProgress progress = *result.progress;
    if (progress.dictionaryPath != m_windows.Form1->DictionaryPath()) {
        QMessageBox warning(QMessageBox::Warning, QStringLiteral("Предупреждение"),
                            QStringLiteral("В уроке используется другой словарь."), QMessageBox::Ok, this);
        warning.setObjectName(QStringLiteral("OtherDictionaryWarning"));
        warning.exec();
    }
    const int queueLength = int(progress.queue.size());
    m_session.restore(std::move(progress.queue), progress.mistakeCount, std::move(progress.mistakes));
    setMistakesLabel(m_session.mistakeCount());
    setRemainedLabel(queueLength);
    Button1->click();
}

void TMainForm::N5Click()
{
    QFileDialog dialog(this);
    prepareLessonDialog(dialog, "SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const LessonProgress progress{m_windows.Form1->DictionaryPath(), m_session.queue(),
                                  m_session.mistakeCount(), m_session.mistakes()};
    const QString error = saveLessonFile(dialog.selectedFiles().constFirst(), progress);
    if (!error.isEmpty())
        showError(this, error);
}

void TMainForm::N6Click()
{
    close();
}

void TMainForm::N11Click()
{
    centreOnScreen(m_windows.AboutForm);
    m_windows.AboutForm->exec();
}

void TMainForm::N12Click()
{
    centreOnScreen(m_windows.FormHelp);
    m_windows.FormHelp->exec();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    // The splash window is the program's main window: closing it ends the program.
    m_windows.Form1->close();
}
