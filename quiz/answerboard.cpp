#include "quiz/answerboard.h"

#include "quiz/maskpanel.h"
#include "ui/fonts.h"
#include "ui/uitexts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>

using namespace wordlark;

namespace {

constexpr int kBoardWidth = 800;
constexpr int kQuestionLeft = 10;
constexpr int kQuestionTop = 20;
constexpr int kQuestionWidth = 780;
constexpr int kQuestionHeight = 50;
constexpr int kAnswerWidth = 385;
constexpr int kFlashMs = 200;

// Moving a cursor makes Qt lay the line out again to remember the caret's x position, so a caret that is
// already at the start is left alone.
void putCaretAtStart(QTextEdit *box)
{
    QTextCursor cursor = box->textCursor();
    if (cursor.position() == 0 && !cursor.hasSelection())
        return;
    cursor.setPosition(0);
    box->setTextCursor(cursor);
}

// A box that is only ever rewritten whole: no undo history (it would grow with every question), and a caret
// that stays at the start while the next word is inserted there.
void prepareForRewriting(QTextEdit *box)
{
    box->setUndoRedoEnabled(false);
    QTextCursor caret = box->textCursor();
    caret.setKeepPositionOnInsert(true);
    box->setTextCursor(caret);
}

const FieldFont &fontOfColumn(const FieldFonts &fonts, int column)
{
    if (column == SimplifiedColumn)
        return fonts.simplified;
    if (column == FullColumn)
        return fonts.full;
    return fonts.letters;
}

// The character format of each column's field: the whole font of its kind and its colour. Made once per
// question rather than for every field of every box.
AnswerBoard::ColumnFormats columnFormats(const FieldFonts &fonts)
{
    AnswerBoard::ColumnFormats formats;
    for (int column = 0; column < ColumnCount; ++column) {
        const FieldFont &kind = fontOfColumn(fonts, column);
        QFont font = kind.font;
        // Characters unhinted: hinting gains little on strokes this size, and it is most of what a
        // character costs the first time it is drawn (with a large dictionary, most questions bring some).
        if (column == SimplifiedColumn || column == FullColumn)
            font.setHintingPreference(QFont::PreferNoHinting);
        formats[size_t(column)].setFont(font, QTextCharFormat::FontPropertiesAll);
        formats[size_t(column)].setForeground(kind.colour);
    }
    return formats;
}

// Writes the word's fields at the cursor, each in the format of its column, with a blank in the box's own
// font between fields.
void insertWord(QTextCursor &cursor, int word, const FieldSet &fields, const WordTable &table,
                const AnswerBoard::ColumnFormats &formats, const QFont &blankFont)
{
    QTextCharFormat blankFormat;
    blankFormat.setFont(blankFont);
    bool empty = true;
    for (int column = 0; column < ColumnCount; ++column) {
        if (!fields[size_t(column)])
            continue;
        // A blank only between fields, so an empty first field leaves no leading blank.
        if (!empty)
            cursor.insertText(QStringLiteral(" "), blankFormat);
        const QString &cell = table.cell(column, word);
        cursor.insertText(shownField(cell), formats[size_t(column)]);
        empty = empty && cell.isEmpty();
    }
}

// The keyboard panel and the mask at rest: controls in the desktop's own button colours, whatever
// background a scheme gives the screen around them (text in a fixed colour on the scheme's background
// could vanish, as black on a dark scheme does).
QPalette restingPanelPalette()
{
    const QPalette desktop = QGuiApplication::palette();
    QPalette palette;
    palette.setColor(QPalette::Window, desktop.color(QPalette::Button));
    palette.setColor(QPalette::WindowText, desktop.color(QPalette::ButtonText));
    return palette;
}

} // namespace

AnswerBoard::AnswerBoard(const QuizColours &colours, int areaBottom, QWidget *parent)
    : QWidget(parent)
    , m_colours(colours)
    , m_answerAreaBottom(areaBottom)
{
    setObjectName(QStringLiteral("QuizScreen"));
    setAutoFillBackground(true);
    setMouseTracking(true);
    QPalette screenPalette = palette();
    screenPalette.setColor(QPalette::Window, m_colours.background);
    setPalette(screenPalette);

    createQuestionBox();
    for (int box = 1; box <= MaxAnswerBoxes; ++box)
        AnswerBoxes[slotOfBox(box)] = createAnswerBox(box);
    for (int box = 1; box <= MaxAnswerBoxes; ++box)
        setBoxColour(box, m_colours.answer);
    createCover();

    // Takes the keyboard focus after every question and click, so no box shows a caret.
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setGeometry(-200, -200, 100, 20);

    LayOutAnswers(MaxAnswerBoxes);
    ButtonShow->raise();
    createKeyboardPanels();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kFlashMs);
    connect(Timer1, &QTimer::timeout, this, &AnswerBoard::Timer1Timer);
}

void AnswerBoard::createQuestionBox()
{
    TntRichEdit0 = new QTextEdit(this);
    TntRichEdit0->setObjectName(QStringLiteral("TntRichEdit0"));
    TntRichEdit0->setReadOnly(true);
    prepareForRewriting(TntRichEdit0);
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
}

QTextEdit *AnswerBoard::createAnswerBox(int number)
{
    auto *box = new QTextEdit(this);
    box->setObjectName(QStringLiteral("AnswerBox%1").arg(number));
    box->setReadOnly(true);
    prepareForRewriting(box);
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
    const int left = number % 2 == 1 ? kBoardWidth / 2 - kAnswerWidth - 5 : kBoardWidth / 2 + 5;
    box->setGeometry(left, 0, kAnswerWidth, 10);
    box->hide();
    return box;
}

void AnswerBoard::createCover()
{
    ButtonShow = new QPushButton(UiText(UiTextId::ShowAnswers), this);
    ButtonShow->setObjectName(QStringLiteral("ButtonShow"));
    ButtonShow->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 21));
    ButtonShow->setCursor(Qt::PointingHandCursor);
    ButtonShow->setMouseTracking(true);
    ButtonShow->installEventFilter(this);
    ButtonShow->hide();
    connect(ButtonShow, &QPushButton::clicked, this, &AnswerBoard::ButtonShowClick);
}

void AnswerBoard::createKeyboardPanels()
{
    PanelAnswer = new QFrame(this);
    PanelAnswer->setObjectName(QStringLiteral("PanelAnswer"));
    PanelAnswer->setFrameShape(QFrame::Panel);
    PanelAnswer->setFrameShadow(QFrame::Raised);
    PanelAnswer->setAutoFillBackground(true);
    PanelAnswer->setPalette(restingPanelPalette());
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
    connect(CoolGirlEdit, &QLineEdit::returnPressed, this, &AnswerBoard::typedAnswerEntered);

    CoolGirlOK = new QPushButton(QStringLiteral("OK"), PanelAnswer);
    CoolGirlOK->setObjectName(QStringLiteral("CoolGirlOK"));
    CoolGirlOK->setGeometry(85, 115, 75, 25);
    connect(CoolGirlOK, &QPushButton::clicked, this, &AnswerBoard::typedAnswerEntered);

    PanelMask = new MaskPanel(this);
    PanelMask->setObjectName(QStringLiteral("PanelMask"));
    PanelMask->setFont(pixelFont(QStringLiteral("Courier New"), 32, true));
    PanelMask->setPalette(restingPanelPalette());
    PanelMask->setGeometry(307, 114, 185, 55);
    PanelMask->hide();
}

void AnswerBoard::LayOutAnswers(int count)
{
    m_answerAreaTop = TntRichEdit0->y() + TntRichEdit0->height() + 5;
    const AnswerLayout layout = layOutAnswers(count, m_answerAreaTop, m_answerAreaBottom);
    for (int number = 1; number <= MaxAnswerBoxes; ++number) {
        QTextEdit *box = answerBox(number);
        box->hide();
        box->setGeometry(box->x(), layout.top(int(slotOfBox(number))), kAnswerWidth, layout.boxHeight);
    }
    ButtonShow->setGeometry(kQuestionLeft, m_answerAreaTop - 1, kQuestionWidth,
                            m_answerAreaBottom - m_answerAreaTop + 2);
}

void AnswerBoard::ShowQuestion(const Question &question, const WordTable &table, const FieldFonts &fonts,
                               const QuizSettings &settings)
{
    m_usedBoxes = question.count();
    ButtonShow->setVisible(settings.hideAnswers);
    const ColumnFormats formats = columnFormats(fonts);
    FillBox(TntRichEdit0, question.word, question.questionFields, table, formats);
    for (int number = 1; number <= MaxAnswerBoxes; ++number) {
        QTextEdit *box = answerBox(number);
        const bool used = number <= question.count();
        if (used)
            FillBox(box, question.wordInBox(number), question.answerFields, table, formats);
        box->setVisible(used);
    }
    Edit1->setFocus();
    PrepareKeyboardAnswer(question, settings);
}

void AnswerBoard::showQuestionAlone(const Question &question, const WordTable &table, const FieldFonts &fonts)
{
    m_usedBoxes = 0;
    FillBox(TntRichEdit0, question.word, question.questionFields, table, columnFormats(fonts));
    hideAnswers();
}

void AnswerBoard::hideAnswers()
{
    for (QTextEdit *box : AnswerBoxes)
        box->hide();
    ButtonShow->hide();
    PanelAnswer->hide();
    PanelMask->hide();
    Edit1->setFocus();
}

QRect AnswerBoard::answerArea() const
{
    return QRect(kQuestionLeft, m_answerAreaTop, kQuestionWidth, m_answerAreaBottom - m_answerAreaTop);
}

void AnswerBoard::showNoQuestion(const QString &hint)
{
    m_usedBoxes = 0;
    TntRichEdit0->setPlainText(hint);
    TntRichEdit0->setAlignment(Qt::AlignHCenter);
    hideAnswers();
    PanelMask->setText({});
}

void AnswerBoard::FillBox(QTextEdit *box, int word, const FieldSet &fields, const WordTable &table,
                          const ColumnFormats &formats)
{
    // One edit block, so that the box is laid out once, when the whole word is in, and not after every
    // field. The old text is removed rather than the document cleared, which would rebuild its frame and
    // formats (only now and then is it cleared, to let go of the removed text). The new word goes in after
    // the old text, which is then cut away in front of it: so the box's own caret stays at the start with
    // nothing selected, and need not be put there (moving it costs a new layout of the line).
    forgetRemovedText(box);
    QTextCursor cursor(box->document());
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    const int oldEnd = cursor.position();
    if (word >= 0)
        insertWord(cursor, word, fields, table, formats, box->font());
    writtenSinceClear(box) += cursor.position() - oldEnd;
    cursor.setPosition(0);
    cursor.setPosition(oldEnd, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    QTextBlockFormat block;
    // The question centred; the answers in two columns, towards the middle: odd boxes on the left.
    const int number = boxOfViewport(box->viewport());
    block.setAlignment(number == NoBox ? Qt::AlignHCenter
                                       : (number % 2 == 1 ? Qt::AlignRight : Qt::AlignLeft));
    cursor.setBlockFormat(block);
    // Qt drops a line's shaped glyphs after laying it out and shapes it again to paint it; a box of a few
    // words keeps them, which halves the text work of showing a question.
    for (QTextBlock paragraph = box->document()->begin(); paragraph.isValid(); paragraph = paragraph.next())
        paragraph.layout()->setCacheEnabled(true);
    cursor.endEditBlock();
    // Only a box that was empty before has its caret moved by the insertion.
    putCaretAtStart(box);
    // A box the learner scrolled shows the next word from its start.
    box->verticalScrollBar()->setValue(0);
}

qsizetype &AnswerBoard::writtenSinceClear(const QTextEdit *box)
{
    const int number = boxOfViewport(box->viewport());
    return m_writtenSinceClear[number == NoBox ? 0 : slotOfBox(number) + 1];
}

void AnswerBoard::forgetRemovedText(QTextEdit *box)
{
    // A document keeps the text cut out of it in its buffer, and without an undo history frees it only now
    // and then and not always: over a long session the boxes' buffers grew by about 40 bytes an answer.
    // Clearing the document now and then starts a new buffer; it costs one rebuild of its frame.
    constexpr qsizetype kClearAfterCharacters = 8192;
    qsizetype &written = writtenSinceClear(box);
    if (written < kClearAfterCharacters)
        return;
    box->document()->clear();
    written = 0;
}

void AnswerBoard::PrepareKeyboardAnswer(const Question &question, const QuizSettings &settings)
{
    PanelAnswer->setVisible(settings.keyboardPanelShown());
    if (PanelAnswer->isVisible()) {
        PanelAnswer->raise();
        CoolGirlEdit->setFocus();
        CoolGirlEdit->clear();
    }
    PanelMask->setVisible(settings.maskShown());
    PanelMask->setText(question.mask());
    PanelMask->raise();
}

// ---- Answers and colours ----------------------------------------------------------------------------

void AnswerBoard::setBoxColour(int box, const QColor &colour)
{
    QTextEdit *edit = answerBox(box);
    m_boxColours[slotOfBox(box)] = colour;
    QPalette palette = edit->palette();
    if (palette.color(QPalette::Base) == colour)
        return;
    palette.setColor(QPalette::Base, colour);
    edit->setPalette(palette);
}

void AnswerBoard::setPanelColour(const QColor &colour)
{
    QPalette palette = PanelAnswer->palette();
    palette.setColor(QPalette::Window, colour);
    PanelAnswer->setPalette(palette);
}

void AnswerBoard::startFlash()
{
    // A flash already running keeps its end.
    if (!Timer1->isActive())
        Timer1->start();
}

void AnswerBoard::flashBox(int box, bool right)
{
    setBoxColour(box, right ? m_colours.rightAnswer : m_colours.wrongAnswer);
    m_flashed = answerBox(box);
    startFlash();
}

void AnswerBoard::flashTypedAnswer(bool right)
{
    setPanelColour(right ? m_colours.rightAnswer : m_colours.wrongAnswer);
    m_flashed = PanelAnswer;
    startFlash();
    if (right)
        return;
    for (int box = 1; box <= MaxAnswerBoxes; ++box)
        setBoxColour(box, m_colours.wrongAnswer);
    ButtonShow->hide();
    PanelMask->hide();
    PanelAnswer->hide();
    Edit1->setFocus();
}

void AnswerBoard::repaintFlash()
{
    if (m_flashed)
        m_flashed->repaint();
    m_flashed = nullptr;
}

void AnswerBoard::Timer1Timer()
{
    for (int box = 1; box <= MaxAnswerBoxes; ++box)
        setBoxColour(box, box == m_hoverBox ? m_colours.question : m_colours.answer);
    PanelAnswer->setPalette(restingPanelPalette());
    Timer1->stop();
}

void AnswerBoard::takeColours(bool framed)
{
    QPalette screenPalette = palette();
    screenPalette.setColor(QPalette::Window, m_colours.background);
    setPalette(screenPalette);
    QPalette questionPalette = TntRichEdit0->palette();
    questionPalette.setColor(QPalette::Base, m_colours.question);
    TntRichEdit0->setPalette(questionPalette);
    for (int box = 1; box <= MaxAnswerBoxes; ++box)
        setBoxColour(box, m_colours.answer);
    const auto setBorder = [framed](QFrame *box) {
        box->setFrameStyle(framed ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
        box->setLineWidth(1);
    };
    setBorder(TntRichEdit0);
    for (QTextEdit *box : AnswerBoxes)
        setBorder(box);
}

void AnswerBoard::coverAnswers()
{
    ButtonShow->show();
    ButtonShow->raise();
    // The keyboard panel and the mask lie over the button.
    PanelAnswer->raise();
    PanelMask->raise();
}

void AnswerBoard::setKeyboardPanelShown(bool shown)
{
    PanelAnswer->setVisible(shown);
    PanelAnswer->raise();
}

void AnswerBoard::setMaskShown(bool shown)
{
    PanelMask->setVisible(shown);
}

void AnswerBoard::ButtonShowClick()
{
    ButtonShow->hide();
    PanelMask->hide();
}

// ---- Mouse --------------------------------------------------------------------------------------------

void AnswerBoard::focusSink(QTextEdit *box)
{
    if (box)
        putCaretAtStart(box);
    Edit1->setFocus();
}

void AnswerBoard::TntFormMouseMove(int box)
{
    if (box != NoBox)
        m_hoverBox = box;
    for (int other = 1; other <= MaxAnswerBoxes; ++other) {
        const QColor &colour = m_boxColours[slotOfBox(other)];
        if (colour == m_colours.rightAnswer || colour == m_colours.wrongAnswer)
            continue;
        setBoxColour(other, other == box ? m_colours.question : m_colours.answer);
    }
    Q_EMIT learnerActive();
}

void AnswerBoard::TntFormMouseUp(int box)
{
    if (box != NoBox)
        focusSink(answerBox(box));
    if (PanelAnswer->isVisible())
        CoolGirlEdit->setFocus();
}

void AnswerBoard::TntRichEdit0MouseDown(Qt::MouseButton button)
{
    focusSink(TntRichEdit0);
    if (button == Qt::RightButton)
        Q_EMIT questionSoundAsked();
}

int AnswerBoard::boxOfViewport(const QObject *viewport) const
{
    for (int box = 1; box <= MaxAnswerBoxes; ++box) {
        if (viewport == answerBox(box)->viewport())
            return box;
    }
    return NoBox;
}

void AnswerBoard::mouseMoveEvent(QMouseEvent *event)
{
    TntFormMouseMove(NoBox);
    QWidget::mouseMoveEvent(event);
}

void AnswerBoard::mouseReleaseEvent(QMouseEvent *event)
{
    TntFormMouseUp(NoBox);
    QWidget::mouseReleaseEvent(event);
}

bool AnswerBoard::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;

    if (watched == TntRichEdit0->viewport()) {
        if (press)
            TntRichEdit0MouseDown(mouse->button());
        else if (type == QEvent::MouseButtonRelease)
            focusSink(TntRichEdit0);
        return true;
    }
    if (watched == ButtonShow) {
        if (type == QEvent::MouseMove)
            Q_EMIT learnerActive();
        return false;
    }
    const int box = boxOfViewport(watched);
    if (box == NoBox)
        return QWidget::eventFilter(watched, event);
    if (press) {
        if (box <= m_usedBoxes) {
            if (mouse->button() == Qt::LeftButton)
                focusSink(answerBox(box));
            Q_EMIT boxPressed(box, mouse->button());
        }
    } else if (type == QEvent::MouseMove) {
        TntFormMouseMove(box);
    } else {
        TntFormMouseUp(box);
    }
    return true;
}

QString AnswerBoard::typedText() const
{
    return CoolGirlEdit->text();
}

void AnswerBoard::applyUiTexts()
{
    ButtonShow->setText(UiText(UiTextId::ShowAnswers));
}
