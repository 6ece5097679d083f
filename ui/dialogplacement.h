#pragma once

class QDialog;
class QWidget;

// Puts the window, its frame included where the frame is known, in the middle of the screen's area for
// windows: the splash before every load, the dialogs each time they open.
void centreOnScreen(QWidget *window);

// Centres the dialog and shows it modally; returns what exec() returns.
int execCentred(QDialog *dialog);
