#pragma once

// Names the program to the desktop (the command's and the package's name, which also names the user's
// folder; the version; the menu entry the windows belong to) and gives every window the program's icon.
void setProgramIdentity();

// Makes the working folder current before any window is created: the program's own folder when its
// folders are beside it, else the user's data folder, laid out from the installed data on the first start
// and kept up to date without touching what the user changed. Problems are shown in a message box; the
// program goes on with what it has.
void enterWorkingFolder();
