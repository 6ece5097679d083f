#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace wordlark {

// A decoded picture: rows of packed 8-bit RGB triples, top row first.
struct RgbPicture {
    int width = 0;
    int height = 0;
    QByteArray pixels;
};

// Decodes a baseline or progressive JPEG with libjpeg. Broken, truncated or foreign data gives no picture
// and an explanation in `error`, never a crash or an exit.
std::optional<RgbPicture> decodeJpeg(QByteArrayView data, QString *error = nullptr);

} // namespace wordlark
