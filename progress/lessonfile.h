#pragma once

#include "dictionary/result.h"
#include "quiz/quizsession.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

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

// The lesson file: 8-bit text, one value per line, each line ended by CR LF. Line 1 holds the dictionary
// path in the local 8-bit encoding; the rest are ASCII: a marker line, the queue length and the queue,
// a marker, the mistake counter, a marker, the record count and per record the word and its misses.
QByteArray serializeLessonFile(const LessonProgress &progress);

// Reads and checks the whole file; a progress comes back only when everything is valid, so a caller
// never ends up with half a lesson. Word indices must lie in
// 0..totalWordCount-1. `fileNameForMessages` names the file in the messages.
Result<LessonProgress> parseLessonFile(QByteArrayView bytes, int totalWordCount,
                                       const QString &fileNameForMessages);

// Writes the file atomically: when anything fails an existing file keeps its bytes.
Result<void> saveLessonFile(const QString &path, const LessonProgress &progress);

// Reads the file and parses it; a file that cannot be read gives a message naming the failure.
Result<LessonProgress> loadLessonFile(const QString &path, int totalWordCount);

} // namespace wordlark
