#include "dictionary/textdecoding.h"

#include "dictionary/fileio.h"

#include <QStringDecoder>

#include <array>
#include <limits>
#include <stdexcept>

namespace wordlark {
namespace {

// Upper half of code page 1251; 0x98 is unassigned and kept as the C1 control of the same value so that
// every byte survives a round trip.
constexpr std::array<char16_t, 128> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410,
    0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A,
    0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444,
    0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

bool startsWith(QByteArrayView bytes, std::initializer_list<unsigned char> mark)
{
    if (bytes.size() < qsizetype(mark.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char byte : mark) {
        if (static_cast<unsigned char>(bytes[i++]) != byte)
            return false;
    }
    return true;
}

// Copies code units as they are (unpaired surrogates included); a last odd byte is ignored.
QString fromUtf16(QByteArrayView bytes, bool bigEndian)
{
    const qsizetype units = bytes.size() / 2;
    QString text(units, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    for (qsizetype i = 0; i < units; ++i) {
        const unsigned first = in[2 * i], second = in[2 * i + 1];
        out[i] = static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    return text;
}

} // namespace

QString fromCp1251(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out[i] = byte < 0x80 ? char16_t(byte) : kCp1251High[byte - 0x80];
    }
    return text;
}

QByteArray toCp1251(QStringView text, bool *lossless)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bool allMapped = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        char byte = '?';
        if (unit < 0x80) {
            byte = char(unit);
        } else {
            const auto *found = std::find(kCp1251High.begin(), kCp1251High.end(), unit);
            if (found != kCp1251High.end())
                byte = char(0x80 + (found - kCp1251High.begin()));
            else
                allMapped = false;
        }
        bytes[i] = byte;
    }
    if (lossless)
        *lossless = allMapped;
    return bytes;
}

QString decodeText(QByteArrayView bytes)
{
    if (startsWith(bytes, {0xFF, 0xFE}))
        return fromUtf16(bytes.sliced(2), false);
    if (startsWith(bytes, {0xFE, 0xFF}))
        return fromUtf16(bytes.sliced(2), true);
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF}))
        return QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless)(bytes.sliced(3));

    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return fromCp1251(bytes);
}

QStringList splitLines(QStringView text)
{
    QStringList lines;
    forEachLine(text, [&lines, text](qsizetype begin, qsizetype end) {
        lines.append(text.sliced(begin, end - begin).toString());
        return true;
    });
    return lines;
}

namespace {

// Which encoding decodeText() would read the bytes in, and where the text begins after the mark.
std::pair<TextLines::Encoding, qsizetype> encodingOf(QByteArrayView bytes)
{
    if (startsWith(bytes, {0xFF, 0xFE}))
        return {TextLines::Encoding::Utf16Le, 2};
    if (startsWith(bytes, {0xFE, 0xFF}))
        return {TextLines::Encoding::Utf16Be, 2};
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF}))
        return {TextLines::Encoding::Utf8, 3};
    // Checked a piece at a time, cut only at CR or LF, which never stand inside a UTF-8 sequence: the
    // decoded text is not kept.
    constexpr qsizetype kPiece = qsizetype(1) << 20;
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype end = qMin(start + kPiece, bytes.size());
        while (end < bytes.size() && bytes[end - 1] != '\n' && bytes[end - 1] != '\r')
            ++end;
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString piece = utf8(bytes.sliced(start, end - start));
        if (utf8.hasError())
            return {TextLines::Encoding::Cp1251, 0};
        start = end;
    }
    return {TextLines::Encoding::Utf8, 0};
}

bool isUtf16(TextLines::Encoding encoding)
{
    return encoding == TextLines::Encoding::Utf16Le || encoding == TextLines::Encoding::Utf16Be;
}

char16_t unitAt(const QByteArray &bytes, qsizetype offset, bool bigEndian)
{
    const auto first = static_cast<unsigned char>(bytes[offset]);
    const auto second = static_cast<unsigned char>(bytes[offset + 1]);
    return static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
}

} // namespace

TextLines::TextLines(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
    if (m_bytes.size() >= qsizetype(std::numeric_limits<quint32>::max()))
        throw std::length_error("text file beyond 4 GiB");
    const auto [encoding, textStart] = encodingOf(m_bytes);
    m_encoding = encoding;
    // The same lines as splitLines() gives for the decoded text.
    const auto add = [this](qsizetype begin, qsizetype end) {
        m_bounds.push_back(quint32(begin));
        m_bounds.push_back(quint32(end));
        return true;
    };
    const qsizetype size = m_bytes.size();
    if (isUtf16(encoding)) {
        const bool bigEndian = encoding == Encoding::Utf16Be;
        const qsizetype end = textStart + (size - textStart) / 2 * 2; // a last odd byte is no unit
        const auto breakAt = [this, bigEndian, end](qsizetype i) {
            const char16_t next = i + 2 < end ? unitAt(m_bytes, i + 2, bigEndian) : u'\0';
            return 2 * lineBreakLength(unitAt(m_bytes, i, bigEndian), next);
        };
        forEachLine(textStart, end, 2, breakAt, add);
        return;
    }
    // In code page 1251 and UTF-8 CR and LF are single bytes; UTF-8 writes U+2028 in three.
    const char *data = m_bytes.constData();
    const bool utf8 = encoding == Encoding::Utf8;
    const auto breakAt = [data, size, utf8](qsizetype i) -> qsizetype {
        if (utf8 && data[i] == '\xE2' && i + 2 < size && data[i + 1] == '\x80' && data[i + 2] == '\xA8')
            return 3;
        const char16_t unit = data[i] == '\r' || data[i] == '\n' ? char16_t(data[i]) : u'\0';
        return lineBreakLength(unit,
                               i + 1 < size ? char16_t(static_cast<unsigned char>(data[i + 1])) : u'\0');
    };
    forEachLine(textStart, size, 1, breakAt, add);
}

void TextLines::lineInto(qsizetype index, QString &text) const
{
    const qsizetype begin = m_bounds[size_t(2 * index)];
    const QByteArrayView bytes(m_bytes.constData() + begin, m_bounds[size_t(2 * index + 1)] - begin);
    switch (m_encoding) {
    case Encoding::Utf8: {
        text.resize(bytes.size());
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QChar *end = utf8.appendToBuffer(text.data(), bytes);
        text.resize(end - text.constData());
        return;
    }
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        const bool bigEndian = m_encoding == Encoding::Utf16Be;
        text.resize(bytes.size() / 2);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(unitAt(m_bytes, begin + 2 * i, bigEndian));
        return;
    }
    case Encoding::Cp1251:
        text.resize(bytes.size());
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            text[i] = QChar(byte < 0x80 ? char16_t(byte) : kCp1251High[byte - 0x80]);
        }
        return;
    }
}

QString TextLines::line(qsizetype index) const
{
    QString text;
    lineInto(index, text);
    return text;
}

QStringList TextLines::toStringList() const
{
    QStringList lines;
    lines.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        lines.append(line(i));
    return lines;
}

Result<TextLines> readTextLines(const QString &path)
{
    ReadRefusal refusal = ReadRefusal::None;
    Result<QByteArray> bytes = readFileBytes(path, FileKind::Dictionary, &refusal);
    if (refusal == ReadRefusal::Folder || refusal == ReadRefusal::NotRegular)
        return Failure{QStringLiteral("«%1» — не обычный файл.").arg(shownPath(path))};
    if (!bytes)
        return Failure{bytes.error()};
    return TextLines(std::move(bytes).value());
}

} // namespace wordlark
