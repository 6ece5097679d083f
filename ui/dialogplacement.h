#pragma once

#include <QMessageBox>

class QDialog;
class QMargins;
class QRect;
class QSize;
class QString;
class QWidget;

// The frame the window manager puts round the window: its own once it has been shown, before that its
// parent window's, which the same window manager framed; none where neither has a frame.
QMargins expectedFrame(const QWidget *window);

// Where a window of the `wanted` size with the `frame` goes in the screen's area for windows: as large
// as it may be up to `wanted`, with its frame inside the area and in the middle of it. The window's own
// rectangle, without the frame, comes back.
QRect fittedGeometry(const QSize &wanted, const QMargins &frame, const QRect &available);

// Puts the window, its frame included, in the middle of the screen's area for windows: the splash before
// every load, the dialogs each time they open, the first time too, when the frame is not known yet and
// expectedFrame() stands in for it.
void centreOnScreen(QWidget *window);
// Makes the window as large as `wanted` or as much of it as the screen's area holds with the frame (but
// never smaller than its minimum size), and centres it.
void fitOnScreen(QWidget *window, const QSize &wanted);

// Centres the dialog and shows it modally; returns what exec() returns.
int execCentred(QDialog *dialog);

// A message box with an OK button, named so that a test can find and answer it, shown modally at once and
// answered before the caller goes on. It stands over the window that asks, or, while that is not on screen
// yet (the quiz window while the program starts), over the nearest window above it that is: a box left
// beside a hidden window would be covered when that window comes up, and would block it from behind.
// Every message that can come while the program starts goes through here.
void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
                 const QString &objectName);
