#pragma once

#include "dictionary/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

namespace wordlark {

// A colour as the scheme file stores it, little-endian: either RGB with red in the lowest byte
// (0x00BBGGRR), or a reference to a system colour, high byte 0xFF and the system colour's index in the
// lowest byte. References follow the desktop's palette instead of fixing a shade.
using ColourValue = std::uint32_t;

inline constexpr ColourValue SystemButtonFace = 0xFF00000Fu;
inline constexpr ColourValue SystemWindow = 0xFF000005u;
inline constexpr ColourValue SystemWindowText = 0xFF000008u;

constexpr ColourValue colourValue(int red, int green, int blue)
{
    return ColourValue(red & 0xFF) | ColourValue(green & 0xFF) << 8 | ColourValue(blue & 0xFF) << 16;
}
constexpr bool isSystemColour(ColourValue value)
{
    return value >> 24 == 0xFF;
}
constexpr int systemColourIndex(ColourValue value)
{
    return int(value & 0xFF);
}
constexpr int redOf(ColourValue value)
{
    return int(value & 0xFF);
}
constexpr int greenOf(ColourValue value)
{
    return int(value >> 8 & 0xFF);
}
constexpr int blueOf(ColourValue value)
{
    return int(value >> 16 & 0xFF);
}

// The ten colours of a scheme, in the order of their fields in a record.
enum class ColourRole : int {
    Background,
    Answer,
    Question,
    RightAnswer,
    WrongAnswer,
    RemainedText,
    MistakesText,
    LettersFont,
    SimpleHanziFont,
    FullHanziFont,
};
inline constexpr int ColourRoleCount = 10;
using SchemeColours = std::array<ColourValue, ColourRoleCount>;

constexpr ColourValue colourOf(const SchemeColours &colours, ColourRole role)
{
    return colours[size_t(role)];
}

// The colours the quiz screen starts with, before any scheme is applied.
inline constexpr SchemeColours BuiltInColours = {
    SystemButtonFace,         // background
    SystemButtonFace,         // answers
    SystemWindow,             // question
    colourValue(0, 221, 0),   // right answer
    colourValue(221, 0, 0),   // wrong answer
    colourValue(0, 128, 0),   // remaining words
    colourValue(168, 34, 91), // mistakes
    SystemWindowText,         // letters
    SystemWindowText,         // simplified characters
    SystemWindowText,         // full characters
};

struct ColourScheme {
    SchemeColours colours{};
    QString name;
    // The record exactly as the file held it, reserved field and the bytes after the name included; empty
    // for a scheme made in this run. Writing the file back gives these bytes unchanged, so adding a scheme
    // never alters what other programs (or older versions) stored in the earlier records.
    QByteArray stored;
    // Two schemes are the same when they show the same: how a record's unused bytes were filled is no part
    // of the scheme.
    friend bool operator==(const ColourScheme &a, const ColourScheme &b)
    {
        return a.colours == b.colours && a.name == b.name;
    }
};

// One record of the scheme file: the colours at 0, 4 and 12..40 (bytes 8..11 are reserved and written as
// 0), the name's length at 44, up to 100 name bytes in code page 1251 from 45, zero filler to 148.
inline constexpr int ColourSchemeRecordSize = 148;
inline constexpr int MaxSchemeNameLength = 100;

// A new record for the scheme: reserved field and everything after the name zero.
QByteArray encodeColourScheme(const ColourScheme &scheme);
// `record` holds at least ColourSchemeRecordSize bytes. A length byte over 100 reads as 100. The scheme
// keeps the record's bytes in `stored`.
ColourScheme decodeColourScheme(QByteArrayView record);

// The name as the file gives it back: cut to 100 characters, characters code page 1251 lacks as '?'.
QString storableSchemeName(QStringView name);

// The records one after another; a trailing partial record is not read.
QList<ColourScheme> parseColourSchemes(QByteArrayView bytes);
// Schemes read from the file as their stored bytes, new ones encoded.
QByteArray serializeColourSchemes(const QList<ColourScheme> &schemes);

// The schemes of the file, or why it could not be read ("File not found" for a missing file).
Result<QList<ColourScheme>> loadColourSchemes(const QString &path);

// Replaces the file with the schemes only once the new file is complete: on any failure the old file
// keeps its bytes.
Result<void> saveColourSchemes(const QString &path, const QList<ColourScheme> &schemes);

} // namespace wordlark
