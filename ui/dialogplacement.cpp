#include "ui/dialogplacement.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
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
