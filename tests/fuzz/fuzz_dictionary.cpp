// Feeds arbitrary bytes through everything a dictionary file goes through on loading, and checks that the
// lines found in the bytes are the lines of the text decoded whole.

#include "dictionary/lessonlist.h"
#include "dictionary/textdecoding.h"
#include "dictionary/wordtable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const wordlark::TextLines lines(bytes);
    if (lines.toStringList() != wordlark::splitLines(wordlark::decodeText(bytes)))
        std::abort();
    wordlark::WordTable table;
    wordlark::parseDictionaryText(lines, table);
    wordlark::LessonList lessons;
    lessons.build(table);
    for (int n = 0; n < lessons.selectedWordCount(); n += 7)
        (void)lessons.nthSelectedWord(n);
    return 0;
}
