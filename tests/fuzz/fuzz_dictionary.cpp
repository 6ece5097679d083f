// Feeds arbitrary bytes through everything a dictionary file goes through on loading.

#include "dictionary/lessonlist.h"
#include "dictionary/textdecoding.h"
#include "dictionary/wordtable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = wordlark::splitLines(wordlark::decodeText(bytes));
    wordlark::WordTable table;
    wordlark::parseDictionary(lines, table);
    wordlark::LessonList lessons;
    lessons.build(table);
    for (int n = 0; n < lessons.selectedWordCount(); n += 7)
        (void)lessons.nthSelectedWord(n);
    return 0;
}
