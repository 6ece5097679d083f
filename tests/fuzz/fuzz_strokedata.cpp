// Feeds arbitrary text to the stroke data's readers (outline paths and medians) and what reads their
// results: the matcher and the showing of a written word. The input's first line is read as a path,
// the rest as medians, one a line.

#include "writing/strokedata.h"
#include "writing/strokematcher.h"
#include "writing/writtenword.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace wordlark;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = text.split(u'\n');
    (void)parseStrokePath(lines.front());
    CharacterStrokes character;
    character.character = QStringLiteral("字");
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (std::optional<StrokeMedian> median = parseMedian(lines[i])) {
            character.medians.push_back(std::move(*median));
            character.outlines.emplace_back();
            character.radical.push_back(false);
        }
    }
    if (character.medians.empty())
        return 0;
    WrittenWord word({character.character, QStringLiteral("a")},
                     [&](const QString &c) { return c == character.character ? &character : nullptr; });
    for (const StrokeMedian &median : character.medians) {
        (void)compareStroke(median, character.medians.front());
        (void)word.offerStroke(median);
    }
    (void)word.showRemainingStrokes();
    return 0;
}
