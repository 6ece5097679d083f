#pragma once

#include <QString>

// Names the program to the desktop (the command's and the package's name, which also names the user's
// folder; the version; the menu entry the windows belong to) and gives every window the program's icon.
void setProgramIdentity();

// Makes the working folder current before any window is created: the program's own folder when its
// folders are beside it, else the user's data folder, laid out from the installed data on the first start
// and kept up to date without touching what the user changed. Problems are shown in a message box; the
// program goes on with what it has.
void enterWorkingFolder();

// Makes Qt's own dialogs and buttons (file, colour, font and input dialogs, message box buttons and the
// file dialog's questions) speak Russian, with Qt's translation from `folder`. Done once per application;
// where the translation is missing they stay English. True when the translation is in place.
bool installQtTranslation(const QString &folder);
bool installQtTranslation();
