#pragma once

#include "dictionary/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace wordlark {

// A path as the learner reads it in a message: with the system's own separators.
QString shownPath(const QString &path);

// The kinds of file the program reads, each with the largest size it takes in: a file beyond it could not
// be held (or, for a help text, read by anyone), so it is refused before a byte is read.
enum class FileKind {
    Dictionary,    // a load may take three times the file (loadFits()); 512 MiB is some ten million words
    LessonFile,    // one line per queued word: room for the queue of any dictionary above
    SchemeFile,    // 148 bytes a scheme: a hundred thousand schemes and more
    HelpText,      // a manual, not a book
    InstalledCopy, // a file of the installed data copied into the user's folder
    DeviceFile,    // another computer's answers in the sync folder: some 80 bytes an answer, millions of them
};
qint64 maxFileSize(FileKind kind);

// Why a file was not read.
enum class ReadRefusal {
    None,
    Missing,    // nothing at the path (or a folder on the way is missing)
    Folder,     // a folder
    NotRegular, // a FIFO, a device or a socket: opening could block, reading could go on forever
    TooLarge,   // larger than the kind of file can be
    Unreadable, // the system refused to open or read it
};

// The bytes of a regular file that can be read whole, or the system's reason why not (the text of errno:
// "No such file or directory", "Is a directory", "File too large", "Permission denied"; a FIFO or a
// device gives "Not a regular file"). `refusal`, when given, says which case it was, so that a reader can
// word its own message. Nothing but a regular file is ever opened, and never in a way that can block.
Result<QByteArray> readFileBytes(const QString &path, FileKind kind, ReadRefusal *refusal = nullptr);

// Replaces the file at `path` with `bytes` only once all of them are on disk: on any failure the old file
// keeps its bytes and no temporary file stays behind. The failure is the system's reason (from errno where
// Qt has lost it, as it does when a full disk shows only at the flush).
Result<void> writeFileAtomically(const QString &path, QByteArrayView bytes);

} // namespace wordlark
