#include "dictionary/lessonlistbox.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

LessonListBox::LessonListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

wordlark::ScanCodeKind LessonListBox::platformScanCodes()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == u"xcb" || platform.startsWith(u"wayland"))
        return wordlark::ScanCodeKind::XkbKeycode;
    return wordlark::ScanCodeKind::None;
}

// A right or middle click must leave the choice alone; the item view would otherwise choose the entry
// under the pointer.
void LessonListBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        QListWidget::mousePressEvent(event);
    else
        event->accept();
}

void LessonListBox::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() == Qt::NoButton || (event->buttons() & Qt::LeftButton))
        QListWidget::mouseMoveEvent(event);
    else
        event->accept();
}

// The item view applies a plain click on an entry that is already chosen only at the release, so the
// release is reported after the view has handled it.
void LessonListBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        QListWidget::mouseReleaseEvent(event);
    else
        event->accept();
    Q_EMIT mouseReleased();
}

void LessonListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        QListWidget::mouseDoubleClickEvent(event);
    else
        event->accept();
}

void LessonListBox::keyReleaseEvent(QKeyEvent *event)
{
    QListWidget::keyReleaseEvent(event);
    if (event->isAutoRepeat())
        return;
    if (wordlark::isLessonSelectionKey({event->key(), event->nativeScanCode()}, platformScanCodes()))
        Q_EMIT selectionKeyReleased();
}
