#pragma once

#include <QString>

class QWidget;

namespace wordlark {

// The program's file dialogs: Qt's own widgets, named so that they can be found and driven. Each returns
// the chosen file's path, or an empty text when the learner cancels.

// An existing dictionary from the folder "Dictionary"; the full path.
QString askDictionaryFile(QWidget *parent);
// A lesson file in "Saves", "MyLesson" proposed: one to open, or a name to save under.
QString askLessonFileToOpen(QWidget *parent);
QString askLessonFileToSave(QWidget *parent);

// A lesson file that could not be read or written.
void showLessonFileError(QWidget *parent, const QString &text);

// A lesson file made with another dictionary than the one loaded: its word numbers may name other words.
void warnOtherDictionary(QWidget *parent);

} // namespace wordlark
