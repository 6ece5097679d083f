// Feeds arbitrary text to the pinyin conversions used to name and make sound files.

#include "audio/numberedpinyin.h"
#include "audio/soundname.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)wordlark::SoundNameFromPinyin(text);
    (void)wordlark::numberedPinyin(text);
    return 0;
}
