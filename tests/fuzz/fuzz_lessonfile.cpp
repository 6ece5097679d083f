// Feeds arbitrary bytes to the lesson file reader; whatever it accepts must write back to a file that
// reads the same.

#include "progress/lessonfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const wordlark::LessonFileResult result = wordlark::parseLessonFile(bytes, 1400, QStringLiteral("fuzz.ke4"));
    if (!result.progress)
        return 0;
    const QByteArray written = wordlark::serializeLessonFile(*result.progress);
    const wordlark::LessonFileResult again = wordlark::parseLessonFile(written, 1400, QStringLiteral("fuzz.ke4"));
    if (!again.progress || !(*again.progress == *result.progress))
        std::abort();
    return 0;
}
