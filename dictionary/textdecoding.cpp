#include "dictionary/textdecoding.h"

#include "dictionary/fileio.h"

#include <QStringDecoder>
#include <QtAlgorithms>

#include <array>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// Only the file's first mark says how it is encoded; Qt's decoder would drop a mark at the start of
// whatever it is given (a line, the text after the file's mark), where it is text, as in UTF-16.
constexpr QStringConverter::Flags kKeepMarks =
    QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

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
        return QStringDecoder(QStringConverter::Utf8, kKeepMarks)(bytes.sliced(3));

    QStringDecoder utf8(QStringConverter::Utf8, kKeepMarks);
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

constexpr quint64 kOnes = 0x0101010101010101ULL;

quint64 eightBytes(const char *data)
{
    quint64 value = 0;
    std::memcpy(&value, data, sizeof value);
    return value;
}

// How many bytes from `p` on, at most `left`, are ASCII other than CR and LF: text that needs no closer
// look. Sixteen bytes at a time where the processor can.
qsizetype plainAsciiRun(const char *p, qsizetype left)
{
    qsizetype n = 0;
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    for (; n + 16 <= left; n += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + n));
        const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf));
        // The top bit of each byte: set for a byte from 0x80 on and for a break.
        const int stops = _mm_movemask_epi8(_mm_or_si128(bytes, breaks));
        if (stops != 0)
            return n + qCountTrailingZeroBits(unsigned(stops));
    }
#endif
    for (; n < left; ++n) {
        const auto byte = static_cast<unsigned char>(p[n]);
        if (byte >= 0x80 || byte == '\r' || byte == '\n')
            break;
    }
    return n;
}

// The first byte from `from` on, before `end`, that can begin a line break: CR, LF or, in UTF-8, the first
// byte of U+2028.
qsizetype nextBreakStart(const char *p, qsizetype from, qsizetype end, bool utf8)
{
    qsizetype i = from;
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    const __m128i separator = _mm_set1_epi8(utf8 ? '\xE2' : '\n');
    for (; i + 16 <= end; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const __m128i starts =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)),
                         _mm_cmpeq_epi8(bytes, separator));
        if (const int found = _mm_movemask_epi8(starts); found != 0)
            return i + qCountTrailingZeroBits(unsigned(found));
    }
#endif
    for (; i < end; ++i) {
        if (p[i] == '\r' || p[i] == '\n' || (utf8 && p[i] == '\xE2'))
            return i;
    }
    return end;
}

// The length of the well-formed UTF-8 sequence at `p`, or 0 where Qt's decoder would see an error: a
// stray continuation byte, a cut sequence, an overlong form, a surrogate, a code point beyond U+10FFFF.
inline qsizetype utf8SequenceLength(const unsigned char *p, qsizetype left)
{
    const unsigned lead = p[0];
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high)
        return 0;
    for (qsizetype k = 2; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// Counts lines and their code units as the text is gone through once.
struct LineCount {
    qsizetype lines = 0;
    qsizetype nonEmptyLines = 0;
    qsizetype units = 0;
    qsizetype longest = 0;
    qsizetype current = 0; // units of the line being counted

    void endLine()
    {
        ++lines;
        if (current > 0) {
            ++nonEmptyLines;
            units += current;
            longest = qMax(longest, current);
        }
        current = 0;
    }
    // The text's end ends a line only when that line holds something.
    void endText()
    {
        if (current > 0)
            endLine();
    }
};

// Counts the lines of UTF-8 text; false (and a useless count) when the bytes are not valid UTF-8, unless
// `marked`: then the file's mark says UTF-8 whatever follows, and a byte that is no UTF-8 is counted as
// the unit that replaces it.
bool countUtf8Lines(QByteArrayView bytes, bool marked, LineCount &count)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const qsizetype plain = plainAsciiRun(bytes.data() + i, size - i);
        count.current += plain;
        i += plain;
        // Characters beyond ASCII, as many as follow one another.
        while (i < size && data[i] >= 0x80) {
            const qsizetype length = utf8SequenceLength(data + i, size - i);
            if (length == 0 && !marked)
                return false;
            if (length == 3 && data[i] == 0xE2 && data[i + 1] == 0x80 && data[i + 2] == 0xA8)
                count.endLine();
            else
                count.current += length == 4 ? 2 : 1; // beyond the basic plane: a pair of surrogates
            i += qMax(length, qsizetype(1));
        }
        if (i == size || (data[i] != '\n' && data[i] != '\r'))
            continue;
        // Runs of empty lines, as a damaged file may hold millions of them.
        if (i + 8 <= size) {
            static const quint64 kCrLfs = eightBytes("\r\n\r\n\r\n\r\n");
            const quint64 eight = eightBytes(bytes.data() + i);
            const int emptyLines = eight == kOnes * '\n' ? 8 : eight == kCrLfs ? 4 : 0;
            if (emptyLines > 0) {
                count.endLine();
                count.lines += emptyLines - 1;
                i += 8;
                continue;
            }
        }
        count.endLine();
        i += data[i] == '\r' && i + 1 < size && data[i + 1] == '\n' ? 2 : 1;
    }
    count.endText();
    return true;
}

void countCp1251Lines(QByteArrayView bytes, LineCount &count)
{
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char byte = bytes[i];
        if (byte != '\n' && byte != '\r') {
            ++count.current;
            continue;
        }
        count.endLine();
        if (byte == '\r' && i + 1 < size && bytes[i + 1] == '\n')
            ++i;
    }
    count.endText();
}

char16_t unitAt(const QByteArray &bytes, qsizetype offset, bool bigEndian)
{
    const auto first = static_cast<unsigned char>(bytes[offset]);
    const auto second = static_cast<unsigned char>(bytes[offset + 1]);
    return static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
}

bool isBreak(char16_t unit)
{
    return lineBreakLength(unit, u'\0') != 0;
}

} // namespace

TextLines::TextLines(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
    m_textEnd = m_bytes.size();
    if (startsWith(m_bytes, {0xFF, 0xFE}) || startsWith(m_bytes, {0xFE, 0xFF})) {
        m_encoding = m_bytes.front() == '\xFF' ? Encoding::Utf16Le : Encoding::Utf16Be;
        m_textStart = 2;
        m_textEnd = m_textStart + (m_bytes.size() - m_textStart) / 2 * 2;
    } else if (startsWith(m_bytes, {0xEF, 0xBB, 0xBF})) {
        m_textStart = 3;
    }
    count();
}

void TextLines::count()
{
    LineCount count;
    const QByteArrayView text = QByteArrayView(m_bytes).sliced(m_textStart, m_textEnd - m_textStart);
    if (m_encoding == Encoding::Utf16Le || m_encoding == Encoding::Utf16Be) {
        const bool bigEndian = m_encoding == Encoding::Utf16Be;
        for (qsizetype i = m_textStart; i < m_textEnd; i += 2) {
            const char16_t unit = unitAt(m_bytes, i, bigEndian);
            if (!isBreak(unit)) {
                ++count.current;
                continue;
            }
            count.endLine();
            if (unit == u'\r' && i + 2 < m_textEnd && unitAt(m_bytes, i + 2, bigEndian) == u'\n')
                i += 2;
        }
        count.endText();
    } else if (!countUtf8Lines(text, m_textStart > 0, count)) {
        // Without a mark, one byte that is not UTF-8 makes the whole file code page 1251.
        m_encoding = Encoding::Cp1251;
        count = {};
        countCp1251Lines(text, count);
    }
    m_lineCount = count.lines;
    m_nonEmptyLines = count.nonEmptyLines;
    m_textUnits = count.units;
    m_longestLine = count.longest;
}

std::pair<qsizetype, qsizetype> TextLines::lineEnd(qsizetype begin) const
{
    const char *data = m_bytes.constData();
    if (m_encoding == Encoding::Utf16Le || m_encoding == Encoding::Utf16Be) {
        const bool bigEndian = m_encoding == Encoding::Utf16Be;
        for (qsizetype i = begin; i < m_textEnd; i += 2) {
            const char16_t unit = unitAt(m_bytes, i, bigEndian);
            if (!isBreak(unit))
                continue;
            const bool crLf =
                unit == u'\r' && i + 2 < m_textEnd && unitAt(m_bytes, i + 2, bigEndian) == u'\n';
            return {i, i + (crLf ? 4 : 2)};
        }
        return {m_textEnd, m_textEnd};
    }
    const bool utf8 = m_encoding == Encoding::Utf8;
    for (qsizetype i = nextBreakStart(data, begin, m_textEnd, utf8); i < m_textEnd;
         i = nextBreakStart(data, i + 1, m_textEnd, utf8)) {
        if (data[i] == '\n')
            return {i, i + 1};
        if (data[i] == '\r')
            return {i, i + (i + 1 < m_textEnd && data[i + 1] == '\n' ? 2 : 1)};
        if (i + 2 < m_textEnd && data[i + 1] == '\x80' && data[i + 2] == '\xA8')
            return {i, i + 3};
    }
    return {m_textEnd, m_textEnd};
}

void TextLines::decodeInto(qsizetype begin, qsizetype end, QString &text) const
{
    const QByteArrayView bytes(m_bytes.constData() + begin, end - begin);
    switch (m_encoding) {
    case Encoding::Utf8: {
        text.resize(bytes.size());
        QStringDecoder utf8(QStringConverter::Utf8, kKeepMarks);
        const QChar *last = utf8.appendToBuffer(text.data(), bytes);
        text.resize(last - text.constData());
        return;
    }
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        const bool bigEndian = m_encoding == Encoding::Utf16Be;
        text.resize(bytes.size() / 2);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype i = 0; i < text.size(); ++i)
            out[i] = unitAt(m_bytes, begin + 2 * i, bigEndian);
        return;
    }
    case Encoding::Cp1251: {
        text.resize(bytes.size());
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            out[i] = byte < 0x80 ? char16_t(byte) : kCp1251High[byte - 0x80];
        }
        return;
    }
    }
}

TextLines::Reader::Reader(const TextLines &lines)
    : m_lines(lines)
    , m_position(lines.m_textStart)
{
}

bool TextLines::Reader::next(QString &line)
{
    if (m_position >= m_lines.m_textEnd)
        return false;
    const auto [end, next] = m_lines.lineEnd(m_position);
    m_lines.decodeInto(m_position, end, line);
    m_position = next;
    return true;
}

QStringList TextLines::toStringList() const
{
    QStringList lines;
    lines.reserve(size());
    Reader reader(*this);
    for (QString line; reader.next(line);)
        lines.append(line);
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
