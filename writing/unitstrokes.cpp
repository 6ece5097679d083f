#include "writing/unitstrokes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace wordlark;

namespace {

constexpr int kCellSide = 200;
constexpr int kMaxWidth = 900;

} // namespace

TFormStrokes::TFormStrokes(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormStrokes"));
    setWindowTitle(QStringLiteral("Порядок черт"));
    setModal(true);

    m_cellArea = new QWidget(this);
    m_cellArea->setObjectName(QStringLiteral("CellArea"));
    LabelNoStrokes = new QLabel(this);
    LabelNoStrokes->setObjectName(QStringLiteral("LabelNoStrokes"));
    LabelNoStrokes->setWordWrap(true);
    ButtonAgain = new QPushButton(QStringLiteral("Ещё раз"), this);
    ButtonAgain->setObjectName(QStringLiteral("ButtonAgain"));
    connect(ButtonAgain, &QPushButton::clicked, this, &TFormStrokes::ButtonAgainClick);
    ButtonClose = new QPushButton(QStringLiteral("Закрыть"), this);
    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
    ButtonClose->setDefault(true);
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonAgain);
    buttons->addWidget(ButtonClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_cellArea, 0, Qt::AlignHCenter);
    layout->addWidget(LabelNoStrokes);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(StrokeMs);
    connect(Timer1, &QTimer::timeout, this, &TFormStrokes::Timer1Timer);
}

void TFormStrokes::showStrokeOrder(const QStringList &characters, const WrittenWord::Lookup &lookup,
                                   const WritingColours &colours, const QFont &characterFont)
{
    m_colours = colours;
    qDeleteAll(m_cells);
    m_cells.clear();
    m_strokeCounts.clear();
    const int count = int(characters.size());
    const int side = std::min(kCellSide, count > 0 ? (kMaxWidth - 8 * (count - 1)) / count : kCellSide);
    QStringList withoutData;
    for (int i = 0; i < count; ++i) {
        const CharacterStrokes *strokes = lookup ? lookup(characters[i]) : nullptr;
        auto *cell = new WritingCell(i + 1, m_colours, m_cellArea);
        cell->showCharacter(strokes, characters[i], characterFont);
        cell->setRadicalShown(true);
        cell->setGeometry(i * (side + 8), 0, side, side);
        cell->show();
        m_cells.push_back(cell);
        m_strokeCounts.push_back(strokes ? strokes->strokeCount() : 0);
        if (!strokes)
            withoutData.append(characters[i]);
    }
    m_cellArea->setFixedSize(std::max(side, count * (side + 8) - 8), side);
    LabelNoStrokes->setText(
        withoutData.isEmpty()
            ? QString()
            : QStringLiteral("Для «%1» нет данных о чертах.").arg(withoutData.join(QString())));
    LabelNoStrokes->setVisible(!withoutData.isEmpty());
    // The size is known before the window is centred.
    layout()->activate();
    adjustSize();
    ButtonAgainClick();
}

bool TFormStrokes::finished() const
{
    return !Timer1->isActive();
}

void TFormStrokes::ButtonAgainClick()
{
    for (WritingCell *cell : m_cells)
        cell->setWrittenStrokes(0);
    m_cell = 0;
    Timer1->start();
}

void TFormStrokes::Timer1Timer()
{
    while (m_cell < int(m_cells.size()) &&
           m_cells[size_t(m_cell)]->writtenStrokes() >= m_strokeCounts[size_t(m_cell)])
        ++m_cell;
    if (m_cell >= int(m_cells.size())) {
        Timer1->stop();
        return;
    }
    WritingCell *cell = m_cells[size_t(m_cell)];
    cell->setWrittenStrokes(cell->writtenStrokes() + 1);
}

void TFormStrokes::done(int result)
{
    Timer1->stop();
    QDialog::done(result);
}
