#pragma once

#include <QMessageBox>

class QDialog;
class QString;
class QWidget;

// Puts the window, its frame included, in the middle of the screen's area for windows: the splash before
// every load, the dialogs each time they open. A window that has not been on screen yet has no known
// frame; it is taken to have the frame of the window it belongs to, as dialogs and the quiz screen get the
// same frame from the desktop.
void centreOnScreen(QWidget *window);

// Centres the dialog and shows it modally; returns what exec() returns.
int execCentred(QDialog *dialog);

// A message box with an OK button, named so that a test can find and answer it, shown modally.
void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
                 const QString &objectName);
// The same box without waiting for it: modal to its window, deleted once closed.
void openMessage(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
                 const QString &objectName);
