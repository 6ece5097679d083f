#include "progress/unitfuxi.h"

#include "quiz/candidates.h"
#include "ui/dialogplacement.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum GridColumn : int { GridWord = 0, GridTranslation = 1, GridMisses = 2, GridColumnCount = 3 };

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// A cell of a word's own text. The columns keep their widths, so a long translation (or word) is cut
// with "…"; resting the pointer on it shows the whole.
QTableWidgetItem *wordTextItem(const QString &text)
{
    QTableWidgetItem *item = readOnlyItem(text);
    item->setToolTip(text);
    return item;
}

} // namespace

TFormFuxi::TFormFuxi(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormFuxi"));
    setWindowTitle(QStringLiteral("Трудные слова"));
    setFixedSize(474, 348);

    m_label1 = new QLabel(QStringLiteral("Повторите эти слова ещё раз"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = m_label1->font();
    bold.setBold(true);
    m_label1->setFont(bold);

    m_grid = new QTableWidget(0, GridColumnCount, this);
    m_grid->setObjectName(QStringLiteral("TntStringGrid1"));
    m_grid->setHorizontalHeaderLabels(
        {QStringLiteral("Слово"), QStringLiteral("Перевод"), QStringLiteral("Ошибки")});
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setWordWrap(false);
    m_grid->setColumnWidth(GridWord, 130);
    m_grid->setColumnWidth(GridTranslation, 200);
    m_grid->setColumnWidth(GridMisses, 67);

    m_button1 = new QPushButton(QStringLiteral("Учить"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button2 = new QPushButton(QStringLiteral("Закрыть"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_button1);
    buttons->addWidget(m_button2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label1);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);

    connect(m_button1, &QPushButton::clicked, this, &TFormFuxi::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &TFormFuxi::Button2Click);
}

bool TFormFuxi::ShowDifficultWords(const wordlark::WordTable &table,
                                   const QList<wordlark::MistakeRecord> &mistakes)
{
    fillGrid(table, mistakes);
    m_learnChosen = false;
    execCentred(this);
    return m_learnChosen;
}

void TFormFuxi::Button1Click()
{
    LearnDifficultWords();
}

void TFormFuxi::Button2Click()
{
    reject();
}

void TFormFuxi::LearnDifficultWords()
{
    m_learnChosen = true;
    accept();
}

void TFormFuxi::fillGrid(const wordlark::WordTable &table, const QList<wordlark::MistakeRecord> &mistakes)
{
    // The Chinese column asks for the program's Chinese face first; the rest only matter where that name
    // is not mapped onto an installed font.
    QFont chinese = m_grid->font();
    chinese.setFamilies({QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                         QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    // Characters need more height than the Cyrillic around them to stay legible.
    chinese.setPixelSize(20);
    m_grid->verticalHeader()->setDefaultSectionSize(30);

    m_grid->clearContents();
    m_grid->setRowCount(int(mistakes.size()));
    for (int row = 0; row < int(mistakes.size()); ++row) {
        const wordlark::MistakeRecord &record = mistakes[row];
        // Records come from checked sources; a stale one must still not read outside the table.
        const bool known = record.word >= 0 && record.word < table.rowCount();
        auto *word = wordTextItem(
            known ? wordlark::shownField(table.cell(wordlark::SimplifiedColumn, record.word)) : QString());
        word->setFont(chinese);
        m_grid->setItem(row, GridWord, word);
        m_grid->setItem(
            row, GridTranslation,
            wordTextItem(known ? wordlark::shownField(table.cell(wordlark::TranslationColumn, record.word))
                               : QString()));
        m_grid->setItem(row, GridMisses, readOnlyItem(QString::number(record.misses)));
    }
    m_grid->setCurrentItem(nullptr);
    if (m_grid->rowCount() > 0)
        m_grid->scrollToTop();
}
