// Feeds arbitrary bytes to the lesson file reader; whatever it accepts must write back to a file that
// reads the same.

#include "progress/lessonfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const wordlark::Result<wordlark::LessonProgress> result =
        wordlark::parseLessonFile(bytes, 1400, QStringLiteral("fuzz.ke4"));
    if (!result)
        return 0;
    const QByteArray written = wordlark::serializeLessonFile(result.value());
    const wordlark::Result<wordlark::LessonProgress> again =
        wordlark::parseLessonFile(written, 1400, QStringLiteral("fuzz.ke4"));
    if (!again || !(again.value() == result.value()))
        std::abort();
    return 0;
}
