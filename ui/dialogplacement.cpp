#include "ui/dialogplacement.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

QMargins frameMargins(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

} // namespace

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // A window not sized by its maker takes the size its first showing would give it.
    if (!window->isVisible() && !window->testAttribute(Qt::WA_Resized)) {
        window->adjustSize();
        window->setAttribute(Qt::WA_Resized, false);
    }
    // Until a window has been on screen its frame may not be known (an X11 desktop frames a window only
    // once it is shown), and centred without it a dialog's first showing would sit off the middle by half
    // its title bar. The window it belongs to has the same frame. A window of its own is made now, as the
    // platform may know its frame before it is shown.
    QMargins margins = frameMargins(window);
    if (margins.isNull() && !window->windowFlags().testFlag(Qt::FramelessWindowHint)) {
        const QWidget *owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
        if (owner && owner->isVisible()) {
            margins = frameMargins(owner);
        } else {
            window->winId();
            if (const QWindow *handle = window->windowHandle())
                margins = handle->frameMargins();
        }
    }
    QRect frame = window->geometry().marginsAdded(margins);
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
                 const QString &objectName)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setObjectName(objectName);
    box.exec();
}

void openMessage(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
                 const QString &objectName)
{
    auto *box = new QMessageBox(icon, caption, text, QMessageBox::Ok, parent);
    box->setObjectName(objectName);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

int execCentred(QDialog *dialog)
{
    centreOnScreen(dialog);
    return dialog->exec();
}
