#pragma once

#include <QList>

#include <vector>

namespace testutil {

// The choice flags of a lesson list with the given lessons chosen.
inline std::vector<bool> flagsFor(const QList<int> &chosen, int lessonCount)
{
    std::vector<bool> flags(size_t(lessonCount), false);
    for (int lesson : chosen)
        flags[size_t(lesson)] = true;
    return flags;
}

} // namespace testutil
