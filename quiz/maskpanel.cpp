#include "quiz/maskpanel.h"

#include <QPainter>

namespace {
constexpr char16_t kPlaceholder = 0x7F;
constexpr char16_t kVisiblePlaceholder = u'\u25A1'; // white square
// The panel has room for a handful of squares; drawing the mask of an endless field would only stall.
constexpr qsizetype kMostPainted = 64;
} // namespace

MaskPanel::MaskPanel(QWidget *parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
}

void MaskPanel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    update();
}

void MaskPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QString shown = m_text.first(qMin(m_text.size(), kMostPainted));
    shown.replace(QChar(kPlaceholder), QChar(kVisiblePlaceholder));
    QPainter painter(this);
    painter.setFont(font());
    painter.drawText(contentsRect(), Qt::AlignCenter, shown);
}
