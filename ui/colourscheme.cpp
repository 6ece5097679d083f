#include "ui/colourscheme.h"

#include "dictionary/textdecoding.h"

#include <QFileInfo>
#include <QSaveFile>

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
        bytes.append(encodeColourScheme(scheme));
    return bytes;
}

Result<QList<ColourScheme>> loadColourSchemes(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Failure{QStringLiteral("File not found")};
    // Opening a FIFO or a device would block or read forever.
    if (!info.isFile())
        return Failure{QStringLiteral("File access denied")};
    Result<QByteArray> bytes = readFileBytes(path);
    if (!bytes)
        return Failure{bytes.error()};
    return parseColourSchemes(*bytes);
}

Result<void> saveColourSchemes(const QString &path, const QList<ColourScheme> &schemes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure{file.errorString()};
    const QByteArray bytes = serializeColourSchemes(schemes);
    // write() may only fill a buffer: a full disk shows at flush(), and commit() could still rename a
    // short file over the old one, so nothing is committed before the flush succeeded.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Failure{reason};
    }
    if (!file.commit())
        return Failure{file.errorString()};
    return {};
}

} // namespace wordlark
