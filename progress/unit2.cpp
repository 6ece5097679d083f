#include "progress/unit2.h"

#include "progress/statistics.h"
#include "ui/dialogplacement.h"
#include "ui/uitexts.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>

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

// The characters of one list, one row each. The view asks only for the rows it shows.
class CharacterModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setCharacters(CharacterList characters)
    {
        beginResetModel();
        m_characters = std::move(characters);
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_characters.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || size_t(index.row()) >= m_characters.size())
            return {};
        if (role == Qt::DisplayRole)
            return characterText(m_characters[size_t(index.row())]);
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return {};
    }

private:
    CharacterList m_characters;
};

// A list of characters in a row or a column. A text box would lay out and draw the whole row of some
// 20,000 characters at every showing, which takes seconds; the view draws only the cells in sight.
QListView *makeCharacterList(const char *name, QWidget *parent)
{
    auto *list = new QListView(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setModel(new CharacterModel(list));
    list->setUniformItemSizes(true);
    list->setWrapping(false);
    list->setMovement(QListView::Static);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One character can be chosen and copied with Ctrl+C.
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setTextElideMode(Qt::ElideNone);
    return list;
}

void setFontFamily(QListView *list, const QString &family)
{
    QFont font(family);
    font.setPixelSize(kListFontPixels);
    // Unhinted glyphs load several times faster, and at this size look the same.
    font.setHintingPreference(QFont::PreferNoHinting);
    list->setFont(font);
    // Cells as wide as a Chinese character, so that a row reads like text with no gaps.
    const QFontMetrics metrics(font);
    list->setGridSize(QSize(metrics.horizontalAdvance(QChar(0x4E2D)), metrics.height()));
}

void showCharacters(QListView *list, CharacterList characters, bool oneAPerLine)
{
    // The list stands for a text box: its text, as the box would hold it, is readable as a property by
    // accessibility tools and tests.
    list->setProperty("plainText", joinCharacters(characters, oneAPerLine ? u"\n" : u""));
    static_cast<CharacterModel *>(list->model())->setCharacters(std::move(characters));
    list->horizontalScrollBar()->setValue(0);
    list->verticalScrollBar()->setValue(0);
}

} // namespace

TFormStat::TFormStat(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FormStat"));
    QFont dialogFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setPixelSize(11);
    setFont(dialogFont);
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

void TFormStat::ShowStatistics(const WordTable &table, const LessonList &lessons,
                               const QString &simpleFontFamily, const QString &fullFontFamily)
{
    m_table = &table;
    m_lessons = &lessons;
    setFontFamily(m_tntMemo1, simpleFontFamily);
    setFontFamily(m_tntMemo2, fullFontFamily);
    ComputeStatistics();
    execCentred(this);
    m_table = nullptr;
    m_lessons = nullptr;
}

void TFormStat::applyLayout()
{
    const Qt::ScrollBarPolicy horizontal = m_vertical ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn;
    const Qt::ScrollBarPolicy vertical = m_vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    for (QListView *list : {m_tntMemo1, m_tntMemo2}) {
        list->setHorizontalScrollBarPolicy(horizontal);
        list->setVerticalScrollBarPolicy(vertical);
        list->setFlow(m_vertical ? QListView::TopToBottom : QListView::LeftToRight);
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
    DictionaryStatistics statistics = computeStatistics(*m_table, *m_lessons, scope);
    m_memo1->setPlainText(statisticsSummary(statistics));
    showCharacters(m_tntMemo1, std::move(statistics.simplified), m_vertical);
    showCharacters(m_tntMemo2, std::move(statistics.full), m_vertical);
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
