#pragma once

#include <QMessageBox>

class QDialog;
class QString;
class QWidget;

// Puts the window, its frame included where the frame is known, in the middle of the screen's area for
// windows: the splash before every load, the dialogs each time they open.
void centreOnScreen(QWidget *window);

// Centres the dialog and shows it modally; returns what exec() returns.
int execCentred(QDialog *dialog);

// A message box with an OK button, named so that a test can find and answer it, shown modally at once and
// answered before the caller goes on. It stands over the window that asks, or, while that is not on screen
// yet (the quiz window while the program starts), over the nearest window above it that is: a box left
// beside a hidden window would be covered when that window comes up, and would block it from behind.
// Every message that can come while the program starts goes through here.
void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
                 const QString &objectName);
