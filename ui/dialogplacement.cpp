#include "ui/dialogplacement.h"

#include <QDialog>
#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

QMargins frameOf(const QWidget *window)
{
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

const QScreen *screenOf(const QWidget *window)
{
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

} // namespace

QMargins expectedFrame(const QWidget *window)
{
    const QMargins own = frameOf(window);
    if (!own.isNull() || !window->parentWidget() || window->windowFlags().testFlag(Qt::FramelessWindowHint))
        return own;
    return frameOf(window->parentWidget()->window());
}

QRect fittedGeometry(const QSize &wanted, const QMargins &frame, const QRect &available)
{
    const QSize room = available.marginsRemoved(frame).size();
    QRect outer(QPoint(), wanted.boundedTo(room).grownBy(frame));
    outer.moveCenter(available.center());
    return outer.marginsRemoved(frame);
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = screenOf(window);
    if (!screen)
        return;
    // A window not sized by its maker takes the size its first showing would give it.
    if (!window->isVisible() && !window->testAttribute(Qt::WA_Resized)) {
        window->adjustSize();
        window->setAttribute(Qt::WA_Resized, false);
    }
    QMargins frame = expectedFrame(window);
    // A window of its own has no parent to take the frame from: its platform window is made now, as the
    // platform may know its frame before it is shown.
    if (frame.isNull() && !window->parentWidget() &&
        !window->windowFlags().testFlag(Qt::FramelessWindowHint)) {
        window->winId();
        if (const QWindow *handle = window->windowHandle())
            frame = handle->frameMargins();
    }
    QRect outer = window->geometry().marginsAdded(frame);
    outer.moveCenter(screen->availableGeometry().center());
    window->move(outer.topLeft());
}

void fitOnScreen(QWidget *window, const QSize &wanted)
{
    if (const QScreen *screen = screenOf(window))
        window->resize(fittedGeometry(wanted, expectedFrame(window), screen->availableGeometry()).size());
    centreOnScreen(window);
}

namespace {

// The window that `widget` belongs to if it is on screen, else the nearest one above it that is; none
// when no window of its line is shown.
QWidget *windowOnScreen(QWidget *widget)
{
    for (QWidget *window = widget ? widget->window() : nullptr; window;
         window = window->parentWidget() ? window->parentWidget()->window() : nullptr) {
        if (window->isVisible())
            return window;
    }
    return nullptr;
}

} // namespace

void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
                 const QString &objectName)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, windowOnScreen(parent));
    box.setObjectName(objectName);
    box.exec();
}

int execCentred(QDialog *dialog)
{
    centreOnScreen(dialog);
    return dialog->exec();
}
