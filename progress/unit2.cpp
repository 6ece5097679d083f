#include "progress/unit2.h"

#include "progress/statistics.h"
#include "ui/dialogplacement.h"
#include "ui/fonts.h"
#include "ui/screenlook.h"
#include "ui/uitexts.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>

using namespace wordlark;

namespace {

constexpr int kListFontPixels = 24;

// The busy pointer for as long as the figures are worked out, and no longer: the open window waits for
// the learner, not the other way round.
class BusyCursor final {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

QPlainTextEdit *makeTextBox(const char *name, QWidget *parent)
{
    auto *box = new QPlainTextEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setUndoRedoEnabled(false);
    return box;
}

// A read-only box of characters: the learner can select a run of them and copy it, by mouse or keyboard.
// Lines never wrap: in a row the whole list is one line under a horizontal scroll bar.
QPlainTextEdit *makeCharacterList(const char *name, QWidget *parent)
{
    QPlainTextEdit *list = makeTextBox(name, parent);
    list->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    return list;
}

void setFontFamily(QPlainTextEdit *list, const QString &family)
{
    QFont font(family);
    font.setPixelSize(kListFontPixels);
    // Unhinted glyphs load several times faster, and at this size look the same.
    font.setHintingPreference(QFont::PreferNoHinting);
    list->setFont(font);
}

void showCharacters(QPlainTextEdit *list, const CharacterList &characters, bool oneAPerLine)
{
    list->setPlainText(joinCharacters(characters, oneAPerLine ? u"\n" : u""));
    list->moveCursor(QTextCursor::Start);
    list->horizontalScrollBar()->setValue(0);
    list->verticalScrollBar()->setValue(0);
}

} // namespace

TFormStat::TFormStat(const ScreenLook &look, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_look(look)
{
    setObjectName(QStringLiteral("FormStat"));
    setFont(dialogFont());
    setFixedSize(379, 357);
    setMouseTracking(true);
    createControls();
    applyLayout();
    applyUiTexts();
}

void TFormStat::createControls()
{
    m_radioButton1 = new QRadioButton(this);
    m_radioButton1->setObjectName(QStringLiteral("RadioButton1"));
    m_radioButton1->move(75, 4);
    m_radioButton1->setChecked(true);
    m_radioButton2 = new QRadioButton(this);
    m_radioButton2->setObjectName(QStringLiteral("RadioButton2"));
    m_radioButton2->move(190, 4);
    for (QRadioButton *button : {m_radioButton1, m_radioButton2})
        connect(button, &QRadioButton::clicked, this, &TFormStat::RadioButton1Click);

    m_memo1 = makeTextBox("Memo1", this);
    m_memo1->setGeometry(5, 24, 369, 129);
    m_memo1->viewport()->setMouseTracking(true);
    m_memo1->viewport()->installEventFilter(this);

    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->move(5, 168);
    m_tntMemo1 = makeCharacterList("TntMemo1", this);
    m_label2 = new QLabel(this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_tntMemo2 = makeCharacterList("TntMemo2", this);

    m_buttonHV = new QPushButton(this);
    m_buttonHV->setObjectName(QStringLiteral("ButtonHV"));
    m_buttonHV->setGeometry(5, 331, 100, 20);
    m_buttonHV->setAutoDefault(false);
    connect(m_buttonHV, &QPushButton::clicked, this, &TFormStat::ButtonHVClick);

    m_button1 = new QPushButton(QStringLiteral("OK"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(274, 326, 100, 25);
    m_button1->setDefault(true);
    connect(m_button1, &QPushButton::clicked, this, &TFormStat::Button1Click);
}

void TFormStat::applyUiTexts()
{
    setWindowTitle(UiText(UiTextId::Statistics));
    m_radioButton1->setText(UiText(UiTextId::AllLessons));
    m_radioButton2->setText(UiText(UiTextId::SelectedLessons));
    m_label1->setText(UiText(UiTextId::SimpleHanzi));
    m_label2->setText(UiText(UiTextId::FullHanzi));
    m_buttonHV->setText(UiText(UiTextId::HorizontalVertical));
    for (QWidget *control : {static_cast<QWidget *>(m_radioButton1), static_cast<QWidget *>(m_radioButton2),
                             static_cast<QWidget *>(m_label1), static_cast<QWidget *>(m_label2)})
        control->adjustSize();
}

void TFormStat::ShowStatistics(const WordTable &table, const LessonList &lessons)
{
    m_table = &table;
    m_lessons = &lessons;
    setFontFamily(m_tntMemo1, m_look.field(FieldKind::Simplified).font.family());
    setFontFamily(m_tntMemo2, m_look.field(FieldKind::Full).font.family());
    ComputeStatistics();
    execCentred(this);
    m_table = nullptr;
    m_lessons = nullptr;
}

void TFormStat::applyLayout()
{
    const Qt::ScrollBarPolicy horizontal = m_vertical ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn;
    const Qt::ScrollBarPolicy vertical = m_vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    for (QPlainTextEdit *list : {m_tntMemo1, m_tntMemo2}) {
        list->setHorizontalScrollBarPolicy(horizontal);
        list->setVerticalScrollBarPolicy(vertical);
    }
    if (m_vertical) {
        m_tntMemo1->setGeometry(5, 184, 90, 137);
        m_tntMemo2->setGeometry(189, 184, 90, 137);
        m_label2->move(189, 168);
    } else {
        m_tntMemo1->setGeometry(5, 184, 369, 57);
        m_tntMemo2->setGeometry(5, 264, 369, 57);
        m_label2->move(5, 248);
    }
}

void TFormStat::ComputeStatistics()
{
    if (!m_table || !m_lessons) {
        m_memo1->clear();
        showCharacters(m_tntMemo1, {}, m_vertical);
        showCharacters(m_tntMemo2, {}, m_vertical);
        return;
    }
    const BusyCursor busy;
    const StatisticsScope scope =
        m_radioButton2->isChecked() ? StatisticsScope::ChosenLessons : StatisticsScope::AllLessons;
    const DictionaryStatistics statistics = computeStatistics(*m_table, *m_lessons, scope);
    m_memo1->setPlainText(statisticsSummary(statistics));
    showCharacters(m_tntMemo1, statistics.simplified, m_vertical);
    showCharacters(m_tntMemo2, statistics.full, m_vertical);
}

void TFormStat::RadioButton1Click()
{
    ComputeStatistics();
}

void TFormStat::ButtonHVClick()
{
    m_vertical = !m_vertical;
    applyLayout();
    ComputeStatistics();
}

void TFormStat::Button1Click()
{
    accept();
}

void TFormStat::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT learnerActive();
    QDialog::mouseMoveEvent(event);
}

bool TFormStat::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_memo1->viewport() && event->type() == QEvent::MouseMove)
        Q_EMIT learnerActive();
    return QDialog::eventFilter(watched, event);
}
