// Feeds arbitrary bytes to the colour scheme file reader; whatever it reads must write back to a file that
// reads the same.

#include "ui/colourscheme.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<wordlark::ColourScheme> schemes = wordlark::parseColourSchemes(bytes);
    if (schemes.size() != qsizetype(size) / wordlark::ColourSchemeRecordSize)
        std::abort();
    const QByteArray written = wordlark::serializeColourSchemes(schemes);
    if (wordlark::parseColourSchemes(written) != schemes)
        std::abort();
    return 0;
}
