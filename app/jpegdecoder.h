#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "dictionary/result.h"

namespace wordlark {

// A decoded picture: rows of packed 8-bit RGB triples, top row first.
struct RgbPicture {
    int width = 0;
    int height = 0;
    QByteArray pixels;
};

// Decodes a baseline or progressive JPEG with libjpeg. Broken, truncated or foreign data gives a failure
// that explains it, never a crash or an exit.
Result<RgbPicture> decodeJpeg(QByteArrayView data);

} // namespace wordlark
