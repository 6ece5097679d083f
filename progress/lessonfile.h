#pragma once

#include "quiz/quizsession.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace wordlark {

// The progress of a pass as a lesson file keeps it.
struct LessonProgress {
    // The dictionary the pass was made over, exactly as the program holds the path.
    QString dictionaryPath;
    QList<int> queue;
    int mistakeCount = 0;
    QList<MistakeRecord> mistakes;
    friend bool operator==(const LessonProgress &, const LessonProgress &) = default;
};

// Either a complete, checked progress or the message that tells the learner why there is none.
struct LessonFileResult {
    std::optional<LessonProgress> progress;
    QString error;
};

// The lesson file: 8-bit text, one value per line, each line ended by CR LF. Line 1 holds the dictionary
// path in the local 8-bit encoding; the rest are ASCII: a marker line, the queue length and the queue,
// a marker, the mistake counter, a marker, the record count and per record the word and its misses.
QByteArray serializeLessonFile(const LessonProgress &progress);

// Reads and checks the whole file; the progress is set only when everything is valid, so a caller that
// applies only a set progress never ends up with half a lesson. Word indices must lie in
// 0..totalWordCount-1. `fileNameForMessages` names the file in the messages.
LessonFileResult parseLessonFile(QByteArrayView bytes, int totalWordCount,
                                 const QString &fileNameForMessages);

// Writes the file atomically: when anything fails an existing file keeps its bytes. Returns the error
// message, empty on success.
QString saveLessonFile(const QString &path, const LessonProgress &progress);

// Reads the file and parses it; a file that cannot be read gives a message naming the failure.
LessonFileResult loadLessonFile(const QString &path, int totalWordCount);

} // namespace wordlark
