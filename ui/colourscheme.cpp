#include "ui/colourscheme.h"

#include "dictionary/fileio.h"
#include "dictionary/textdecoding.h"

namespace wordlark {
namespace {

// Byte offsets of the ten colours; 8..11 is the reserved field.
constexpr std::array<int, ColourRoleCount> kColourOffsets = {0, 4, 12, 16, 20, 24, 28, 32, 36, 40};
constexpr int kNameLengthOffset = 44;
constexpr int kNameOffset = 45;

void putValue(QByteArray &record, int offset, ColourValue value)
{
    for (int i = 0; i < 4; ++i)
        record[offset + i] = char(value >> (8 * i) & 0xFF);
}

ColourValue getValue(QByteArrayView record, int offset)
{
    ColourValue value = 0;
    for (int i = 0; i < 4; ++i)
        value |= ColourValue(quint8(record[offset + i])) << (8 * i);
    return value;
}

QByteArray storableNameBytes(QStringView name)
{
    return toCp1251(name).left(MaxSchemeNameLength);
}

} // namespace

QByteArray encodeColourScheme(const ColourScheme &scheme)
{
    QByteArray record(ColourSchemeRecordSize, '\0');
    for (int role = 0; role < ColourRoleCount; ++role)
        putValue(record, kColourOffsets[size_t(role)], scheme.colours[size_t(role)]);
    const QByteArray name = storableNameBytes(scheme.name);
    record[kNameLengthOffset] = char(name.size());
    record.replace(kNameOffset, name.size(), name);
    return record;
}

ColourScheme decodeColourScheme(QByteArrayView record)
{
    Q_ASSERT(record.size() >= ColourSchemeRecordSize);
    ColourScheme scheme;
    for (int role = 0; role < ColourRoleCount; ++role)
        scheme.colours[size_t(role)] = getValue(record, kColourOffsets[size_t(role)]);
    const int length = qMin(int(quint8(record[kNameLengthOffset])), MaxSchemeNameLength);
    scheme.name = fromCp1251(record.sliced(kNameOffset, length));
    scheme.stored = record.first(ColourSchemeRecordSize).toByteArray();
    return scheme;
}

QString storableSchemeName(QStringView name)
{
    return fromCp1251(storableNameBytes(name));
}

QList<ColourScheme> parseColourSchemes(QByteArrayView bytes)
{
    QList<ColourScheme> schemes;
    const qsizetype count = bytes.size() / ColourSchemeRecordSize;
    schemes.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        schemes.append(decodeColourScheme(bytes.sliced(i * ColourSchemeRecordSize, ColourSchemeRecordSize)));
    return schemes;
}

QByteArray serializeColourSchemes(const QList<ColourScheme> &schemes)
{
    QByteArray bytes;
    bytes.reserve(schemes.size() * ColourSchemeRecordSize);
    for (const ColourScheme &scheme : schemes)
        bytes.append(scheme.stored.size() == ColourSchemeRecordSize ? scheme.stored
                                                                    : encodeColourScheme(scheme));
    return bytes;
}

Result<QList<ColourScheme>> loadColourSchemes(const QString &path)
{
    ReadRefusal refusal = ReadRefusal::None;
    Result<QByteArray> bytes = readFileBytes(path, FileKind::SchemeFile, &refusal);
    switch (refusal) {
    case ReadRefusal::None:
        return parseColourSchemes(*bytes);
    case ReadRefusal::Missing:
        return Failure{QStringLiteral("File not found")};
    case ReadRefusal::Folder:
    case ReadRefusal::NotRegular:
    case ReadRefusal::TooLarge:
        return Failure{QStringLiteral("File access denied")};
    case ReadRefusal::Unreadable:
        break;
    }
    return Failure{bytes.error()};
}

Result<void> saveColourSchemes(const QString &path, const QList<ColourScheme> &schemes)
{
    return writeFileAtomically(path, serializeColourSchemes(schemes));
}

} // namespace wordlark
