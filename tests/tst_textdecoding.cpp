#include "dictionary/lessonlist.h"
#include "dictionary/textdecoding.h"
#include "dictionary/wordtable.h"

#include "badinput.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <initializer_list>

#include <malloc.h>

using namespace Qt::StringLiterals;
using namespace wordlark;

using testutil::entriesOf;
using testutil::Entry;
using testutil::makeEntry;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int value : values)
        out.append(char(value));
    return out;
}

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

// UTF-16 code units written in the given byte order, without a mark.
QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray out;
    for (QChar unit : text) {
        const char high = char(unit.unicode() >> 8), low = char(unit.unicode() & 0xFF);
        out.append(bigEndian ? high : low);
        out.append(bigEndian ? low : high);
    }
    return out;
}

QStringList cells(const WordTable::Row &row)
{
    return QStringList(row.begin(), row.end());
}

const QByteArray kUtf16LeMark = bytes({0xFF, 0xFE});
const QByteArray kUtf16BeMark = bytes({0xFE, 0xFF});
const QByteArray kUtf8Mark = bytes({0xEF, 0xBB, 0xBF});

} // namespace

class TestTextDecoding final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void byteOrderMark_data();
    void byteOrderMark();
    void withoutMark_data();
    void withoutMark();
    void sameTableFromEveryEncoding_data();
    void sameTableFromEveryEncoding();
    void marksInsideTheTextAreKept_data();
    void marksInsideTheTextAreKept();
    void cp1251Dictionary();
    void badDictionaries_data();
    void badDictionaries();

    void cp1251RoundTripsEveryByte();
    void cp1251Letters_data();
    void cp1251Letters();
    void cp1251Lossless_data();
    void cp1251Lossless();

    void lineBreaks_data();
    void lineBreaks();
    void largeDictionaryHoldsAtMostThreeTimesItsFile();
};

void TestTextDecoding::byteOrderMark_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected");

    const QString text = u"nǐ\t*\t你好"_s;
    QTest::newRow("UTF-16 LE") << kUtf16LeMark + utf16(text, false) << text;
    QTest::newRow("UTF-16 BE") << kUtf16BeMark + utf16(text, true) << text;
    QTest::newRow("UTF-8") << kUtf8Mark + utf8(text) << text;
    QTest::newRow("UTF-16 LE, pair of surrogates")
        << kUtf16LeMark + utf16(u"\U00020BB7"_s, false) << u"\U00020BB7"_s;
    QTest::newRow("UTF-16 LE, NUL unit") << kUtf16LeMark + bytes({0x00, 0x00, 0x41, 0x00}) << u"\0A"_s;

    QTest::newRow("UTF-16 LE, last odd byte ignored") << kUtf16LeMark + bytes({0x61, 0x00, 0x62}) << u"a"_s;
    QTest::newRow("UTF-16 BE, last odd byte ignored") << kUtf16BeMark + bytes({0x00, 0x61, 0x00}) << u"a"_s;
    QTest::newRow("lone UTF-16 LE mark") << kUtf16LeMark << QString();
    QTest::newRow("lone UTF-16 BE mark") << kUtf16BeMark << QString();
    QTest::newRow("lone UTF-8 mark") << kUtf8Mark << QString();
    QTest::newRow("UTF-16 LE mark and one byte") << kUtf16LeMark + bytes({0x41}) << QString();
    QTest::newRow("UTF-16 BE mark and one byte") << kUtf16BeMark + bytes({0x41}) << QString();

    // Too short to hold a mark: the bytes are code page 1251 text.
    QTest::newRow("single FF byte") << bytes({0xFF}) << u"я"_s;
    QTest::newRow("single FE byte") << bytes({0xFE}) << u"ю"_s;
    QTest::newRow("first two bytes of the UTF-8 mark") << bytes({0xEF, 0xBB}) << u"п»"_s;
}

void TestTextDecoding::byteOrderMark()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, expected);

    QCOMPARE(decodeText(input), expected);
}

void TestTextDecoding::withoutMark_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ASCII") << QByteArray("ni\t*\tabc") << u"ni\t*\tabc"_s;
    QTest::newRow("UTF-8 Chinese") << utf8(u"你好 lǜ"_s) << u"你好 lǜ"_s;
    QTest::newRow("UTF-8 Russian") << utf8(u"Привет, ёж"_s) << u"Привет, ёж"_s;
    QTest::newRow("UTF-8 outside the basic plane") << utf8(u"\U00020BB7"_s) << u"\U00020BB7"_s;
    QTest::newRow("NUL bytes") << QByteArray("a\0b\0", 4) << u"a\0b\0"_s;

    QTest::newRow("cp1251 Cyrillic") << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2") << u"Привет"_s;
    QTest::newRow("cp1251 within ASCII fields") << QByteArray("ni\t*\t\xcc\xe8\xf0") << u"ni\t*\tМир"_s;
    QTest::newRow("cp1251 yo, number sign, euro") << QByteArray("\xa8\xb8\xb9\x88") << u"Ёё№€"_s;
    // One bad byte anywhere makes the whole text code page 1251, valid UTF-8 before it included.
    QTest::newRow("valid UTF-8 then one bad byte") << utf8(u"你"_s) + bytes({0xFF}) << u"дЅ\u00A0я"_s;
    QTest::newRow("UTF-8 sequence cut at the end") << utf8(u"你"_s).first(2) << u"дЅ"_s;
    QTest::newRow("overlong UTF-8") << bytes({0xC0, 0x80}) << u"АЂ"_s;
    QTest::newRow("UTF-8 encoded surrogate") << bytes({0xED, 0xA0, 0x80}) << u"н\u00A0Ђ"_s;
}

void TestTextDecoding::withoutMark()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, expected);

    QCOMPARE(decodeText(input), expected);
}

void TestTextDecoding::sameTableFromEveryEncoding_data()
{
    QTest::addColumn<QByteArray>("file");

    const QString text = u"nǐ hǎo\t*\t你好\t*\t你好\t*\t1\t*\tздравствуйте\r\n"
                         u"shū\t*\t书\t*\t書\t*\t1\t*\t\"книга, \"\"том\"\"\"\r\n"
                         u"\r\n"
                         u"lǜ\t*\t绿\t*\t綠\t*\t2\t*\tзелёный\r\n"_s;
    QTest::newRow("UTF-16 LE") << kUtf16LeMark + utf16(text, false);
    QTest::newRow("UTF-16 BE") << kUtf16BeMark + utf16(text, true);
    QTest::newRow("UTF-8 with mark") << kUtf8Mark + utf8(text);
    QTest::newRow("UTF-8 without mark") << utf8(text);
}

void TestTextDecoding::sameTableFromEveryEncoding()
{
    QFETCH(QByteArray, file);

    const QList<QStringList> expected = {
        {u"nǐ hǎo"_s, u"你好"_s, u"你好"_s, u"01"_s, u"здравствуйте"_s},
        {u"shū"_s, u"书"_s, u"書"_s, u"01"_s, u"книга, \"том\""_s},
        {QString(), QString(), QString(), QString(), QString()},
        {u"lǜ"_s, u"绿"_s, u"綠"_s, u"02"_s, u"зелёный"_s},
    };
    WordTable table;
    parseDictionary(splitLines(decodeText(file)), table);
    QCOMPARE(table.rowCount(), int(expected.size()));
    for (int row = 0; row < table.rowCount(); ++row)
        QCOMPARE(cells(table.row(row)), expected[row]);
}

void TestTextDecoding::marksInsideTheTextAreKept_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pinyin");

    // Two files saved with a mark and joined: the second mark starts a line.
    QTest::newRow("mark at the start of a line")
        << u"a\t*\r\n\uFEFFb\t*\r\n"_s << QStringList{u"a"_s, u"\uFEFFb"_s};
    QTest::newRow("second mark right after the first") << u"\uFEFFa\t*"_s << QStringList{u"\uFEFFa"_s};
    QTest::newRow("mark after a lone CR") << u"a\t*\r\uFEFF\t*\r"_s << QStringList{u"a"_s, u"\uFEFF"_s};
    QTest::newRow("mark starting a field") << u"\uFEFFa\t*\t\uFEFF\uFEFFb"_s << QStringList{u"\uFEFFa"_s};
}

void TestTextDecoding::marksInsideTheTextAreKept()
{
    QFETCH(QString, text);
    QFETCH(QStringList, pinyin);

    const QList<QByteArray> files = {kUtf8Mark + utf8(text), kUtf16LeMark + utf16(text, false),
                                     kUtf16BeMark + utf16(text, true)};
    for (const QByteArray &file : files) {
        QCOMPARE(decodeText(file), text);
        // Line by line as a dictionary file is read, and whole.
        WordTable table;
        parseDictionaryText(TextLines(file), table);
        WordTable wholeTable;
        parseDictionary(splitLines(decodeText(file)), wholeTable);
        QCOMPARE(table.rowCount(), int(pinyin.size()));
        QCOMPARE(wholeTable.rowCount(), int(pinyin.size()));
        for (int row = 0; row < table.rowCount(); ++row) {
            QCOMPARE(table.cell(PinyinColumn, row), pinyin[row]);
            QCOMPARE(wholeTable.row(row), table.row(row));
        }
    }
}

void TestTextDecoding::cp1251Dictionary()
{
    // Written as an old 8-bit file: "ni hao * x * x * 3 * Привет" and "shu * y * * 3 * «Книга»".
    const QByteArray file("ni hao\t*\tx\t*\tx\t*\t3\t*\t\xcf\xf0\xe8\xe2\xe5\xf2\r\n"
                          "shu\t*\ty\t*\t\t*\t3\t*\t\xab\xca\xed\xe8\xe3\xe0\xbb\r\n");
    WordTable table;
    parseDictionary(splitLines(decodeText(file)), table);

    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(table.cell(TranslationColumn, 0), u"Привет"_s);
    QCOMPARE(table.cell(TranslationColumn, 1), u"«Книга»"_s);
    QCOMPARE(table.cell(LessonColumn, 1), u"03"_s);
    QCOMPARE(table.cell(FullColumn, 1), QString());
}

void TestTextDecoding::badDictionaries_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("rows");             // -1: whatever the line breaks give
    QTest::addColumn<QStringList>("firstRow"); // empty: not pinned
    const auto row = [](const char *tag, const QByteArray &input, int rows, const QStringList &firstRow) {
        QTest::newRow(tag) << Entry::File << input << rows << firstRow;
    };
    // Not a file the program can read: it says so and falls back to the built-in course.
    const auto notAFile = [](const char *tag, Entry entry) {
        QTest::newRow(tag) << entry << QByteArray() << -1 << QStringList();
    };
    notAFile("missing file", Entry::Missing);
    notAFile("folder", Entry::Folder);
    notAFile("FIFO", Entry::Fifo);
    notAFile("link to a device", Entry::LinkToDevice);
    notAFile("file no one may read", Entry::Unreadable);
    notAFile("20 GB file", Entry::Huge);
    const QStringList blankRow(ColumnCount, QString());
    const QString word = u"ni\t*\t你\t*\t\t*\t1\t*\tты"_s;

    row("empty file", QByteArray(), 0, {});
    row("only a UTF-8 mark", kUtf8Mark, 0, {});
    row("only a UTF-16 LE mark", kUtf16LeMark, 0, {});
    row("only a UTF-16 BE mark", kUtf16BeMark, 0, {});
    row("odd byte after a UTF-16 LE mark", kUtf16LeMark + bytes({0x41}), 0, {});
    row("odd byte after a UTF-16 BE mark", kUtf16BeMark + utf16(word, true) + bytes({0x0A}), 1,
        {u"ni"_s, u"你"_s, QString(), u"01"_s, u"ты"_s});
    row("UTF-16 LE, truncated unit", kUtf16LeMark + bytes({0x2A, 0x00, 0x0A}), 1, blankRow);
    row("lines of only separators", "*****\n*\n**********\n**", 4, blankRow);
    row("2 MB of separators", QByteArray(2 << 20, '*'), 1, blankRow);
    row("line breaks only", "\r\n\r\r\n\n\n", 5, blankRow);
    row("NUL bytes", QByteArray("\0\0*\0\n\0\t*\t\0", 10), 2,
        {u"\0"_s, QString(), QString(), QString(), QString()});
    row("invalid UTF-8 after a mark", kUtf8Mark + "ni" + bytes({0xFF}) + utf8(word.sliced(2)), 1,
        {u"ni\uFFFD"_s, u"你"_s, QString(), u"01"_s, u"ты"_s});
    row("UTF-8 mark, then nothing but invalid UTF-8", kUtf8Mark + bytes({0xFF, 0x2A, 0xC0, 0x0A, 0xE4, 0xBD}),
        2, blankRow);
    row("invalid UTF-8 without a mark is code page 1251", bytes({0xFF, 0x2A, 0xFE, 0x2A, 0x0D}), 1, blankRow);
    const QString surrogates = QString(QChar(0xD800)) + u"x\t*\t"_s + QChar(0xDC00) + u"\t*\t\t*\t2\t*\tя"_s;
    row("unpaired surrogates are kept", kUtf16LeMark + utf16(surrogates, false), 1,
        {QString(QChar(0xD800)) + u'x', QString(QChar(0xDC00)), QString(), u"02"_s, u"я"_s});
    row("CR-only line breaks", utf8(word + u'\r' + word + u'\r'), 2,
        {u"ni"_s, u"你"_s, QString(), u"01"_s, u"ты"_s});
    row("UTF-16 LE with line separators", kUtf16LeMark + utf16(u"a\u2028b\t*\t\u2028\r"_s, false), 3, {});
    QByteArray everyByte;
    for (int value = 0; value < 256; ++value)
        everyByte.append(char(value));
    row("every byte value", everyByte, -1, {});
    QByteArray noise(1 << 16, Qt::Uninitialized);
    QRandomGenerator random(14);
    for (char &byte : noise)
        byte = char(random.bounded(256));
    row("random bytes", noise, -1, {});
    const QString longTranslation(2 << 20, u'ж');
    row("a 2 MB line", utf8(word.chopped(2) + longTranslation), 1,
        {u"ni"_s, u"你"_s, QString(), u"01"_s, longTranslation});
    row("1,000,000 lines", utf8(word + u'\n').repeated(1000000), 1000000,
        {u"ni"_s, u"你"_s, QString(), u"01"_s, u"ты"_s});
}

void TestTextDecoding::badDictionaries()
{
    QFETCH(Entry, entry);
    QFETCH(QByteArray, input);
    QFETCH(int, rows);
    QFETCH(QStringList, firstRow);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Dict.dic"));
    QVERIFY(makeEntry(entry, path, input));
    const Result<TextLines> read = [&path] {
        const testutil::WithoutReadOverride notRoot;
        return readTextLines(path);
    }();
    if (entry != Entry::File) {
        QVERIFY(!read.ok());
        QVERIFY(!read.error().isEmpty());
        return;
    }
    QVERIFY(read.ok());
    const QStringList lines = read->toStringList();
    // Read whole and split, as short texts are, the file gives the same lines.
    QCOMPARE(lines, splitLines(decodeText(input)));
    WordTable table;
    parseDictionaryText(*read, table);
    QCOMPARE(table.rowCount(), int(lines.size()));
    if (rows >= 0)
        QCOMPARE(table.rowCount(), rows);
    if (!firstRow.isEmpty())
        QCOMPARE(cells(table.row(0)), firstRow);

    // Every row is a word of exactly one lesson, however odd its label.
    LessonList lessons;
    lessons.build(table);
    QCOMPARE(lessons.selectedWordCount(), table.rowCount());
    std::vector<bool> seen(size_t(table.rowCount()), false);
    for (int n = 0; n < lessons.selectedWordCount(); ++n) {
        const int index = lessons.nthSelectedWord(n);
        QVERIFY(index >= 0 && index < table.rowCount());
        QVERIFY(!seen[size_t(index)]);
        seen[size_t(index)] = true;
    }
}

void TestTextDecoding::cp1251RoundTripsEveryByte()
{
    QByteArray everyByte;
    for (int value = 0; value < 256; ++value)
        everyByte.append(char(value));

    const QString text = fromCp1251(everyByte);
    QCOMPARE(text.size(), qsizetype(256));

    bool lossless = false;
    QCOMPARE(toCp1251(text, &lossless), everyByte);
    QVERIFY(lossless);
}

void TestTextDecoding::cp1251Letters_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("character");

    QTest::newRow("A") << 0x41 << u"A"_s;
    QTest::newRow("tab") << 0x09 << u"\t"_s;
    QTest::newRow("capital A") << 0xC0 << u"А"_s;
    QTest::newRow("capital YA") << 0xDF << u"Я"_s;
    QTest::newRow("small a") << 0xE0 << u"а"_s;
    QTest::newRow("small ya") << 0xFF << u"я"_s;
    QTest::newRow("capital YO") << 0xA8 << u"Ё"_s;
    QTest::newRow("small yo") << 0xB8 << u"ё"_s;
    QTest::newRow("number sign") << 0xB9 << u"№"_s;
    QTest::newRow("euro") << 0x88 << u"€"_s;
    QTest::newRow("left guillemet") << 0xAB << u"«"_s;
    QTest::newRow("no-break space") << 0xA0 << u"\u00A0"_s;
    QTest::newRow("Ukrainian GHE with upturn") << 0xA5 << u"Ґ"_s;
    QTest::newRow("em dash") << 0x97 << u"—"_s;
}

void TestTextDecoding::cp1251Letters()
{
    QFETCH(int, byte);
    QFETCH(QString, character);

    QCOMPARE(fromCp1251(bytes({byte})), character);
    bool lossless = false;
    QCOMPARE(toCp1251(character, &lossless), bytes({byte}));
    QVERIFY(lossless);
}

void TestTextDecoding::cp1251Lossless_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("lossless");

    QTest::newRow("empty") << QString() << QByteArray() << true;
    QTest::newRow("Russian") << u"Ёж и ёлка"_s << QByteArray("\xa8\xe6 \xe8 \xb8\xeb\xea\xe0") << true;
    QTest::newRow("Chinese") << u"中"_s << QByteArray("?") << false;
    QTest::newRow("Latin with accent") << u"é"_s << QByteArray("?") << false;
    QTest::newRow("tone mark among mapped") << u"Ёlǜ"_s << QByteArray("\xa8l?") << false;
    QTest::newRow("pair of surrogates") << u"\U00020BB7"_s << QByteArray("??") << false;
    QTest::newRow("real question mark") << u"?"_s << QByteArray("?") << true;
}

void TestTextDecoding::cp1251Lossless()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QFETCH(bool, lossless);

    bool reported = !lossless; // the call must set it either way
    QCOMPARE(toCp1251(text, &reported), expected);
    QCOMPARE(reported, lossless);
    QCOMPARE(toCp1251(text), expected);
}

void TestTextDecoding::lineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty text") << QString() << QStringList();
    QTest::newRow("one line, no break") << u"a"_s << QStringList{u"a"_s};
    QTest::newRow("CR LF") << u"a\r\nb"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("lone CR") << u"a\rb"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("lone LF") << u"a\nb"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("line separator") << u"a\u2028b"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("all kinds mixed") << u"a\r\nb\nc\rd\u2028e"_s
                                     << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s};

    QTest::newRow("final CR LF adds no line") << u"a\r\nb\r\n"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("final LF adds no line") << u"a\n"_s << QStringList{u"a"_s};
    QTest::newRow("final CR adds no line") << u"a\r"_s << QStringList{u"a"_s};
    QTest::newRow("final line separator adds no line") << u"a\u2028"_s << QStringList{u"a"_s};
    QTest::newRow("break only") << u"\r\n"_s << QStringList{QString()};
    QTest::newRow("two breaks only") << u"\n\n"_s << QStringList{QString(), QString()};

    QTest::newRow("blank line in the middle, CR LF")
        << u"a\r\n\r\nb"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("blank line at the start") << u"\nb"_s << QStringList{QString(), u"b"_s};
    QTest::newRow("blank line before the final break") << u"a\n\n"_s << QStringList{u"a"_s, QString()};
    QTest::newRow("LF CR is two breaks") << u"a\n\rb"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("CR CR LF is two breaks") << u"a\r\r\nb"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("CR LF LF is two breaks") << u"a\r\n\nb"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("tabs and blanks stay") << u" a\t\n\t"_s << QStringList{u" a\t"_s, u"\t"_s};
    // Long runs of breaks, which a file read whole is counted in by eight bytes at a time.
    QStringList runs{u"a"_s};
    runs += QStringList(16, QString());
    runs += u"b"_s;
    runs += QStringList(9, QString());
    runs += u"c"_s;
    QTest::newRow("runs of empty lines")
        << u"a"_s + QString(17, u'\n') + u"b"_s + u"\r\n"_s.repeated(10) + u"c\r"_s << runs;
    QTest::newRow("run of CR LF after a CR")
        << u"a\r"_s + u"\r\n"_s.repeated(8) << QStringList{u"a"_s} + QStringList(8, QString());
}

void TestTextDecoding::lineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);

    QCOMPARE(splitLines(text), lines);
    // The same lines from a file, in each encoding.
    for (const QByteArray &file : {utf8(text), kUtf8Mark + utf8(text), kUtf16LeMark + utf16(text, false),
                                   kUtf16BeMark + utf16(text, true)}) {
        const TextLines fileLines(file);
        QCOMPARE(fileLines.size(), lines.size());
        QCOMPARE(fileLines.toStringList(), lines);
    }
}

namespace {

double heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd);
}

} // namespace

// A dictionary of half a million words, read as the program reads one: what the text and the table hold
// together stays within three times the file (each line as a string of its own, and each cell, took eight).
void TestTextDecoding::largeDictionaryHoldsAtMostThreeTimesItsFile()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer keeps freed blocks and pads every allocation");
#endif
    const QList<QByteArray> words = {
        "nǐ hǎo\t*\t你好\t*\t\t*\t%1\t*\tздравствуйте\r\n",
        "xué xiào\t*\t学校\t*\t學校\t*\t%1\t*\tшкола\r\n",
        "péng you\t*\t朋友\t*\t\t*\t%1\t*\t\"друг, \"\"товарищ\"\"\"\r\n",
        "diàn nǎo\t*\t电脑\t*\t電腦\t*\t%1\t*\tкомпьютер\r\n",
    };
    QByteArray bytes("\xEF\xBB\xBF");
    constexpr int kWords = 500000;
    for (int i = 0; i < kWords; ++i)
        bytes += QByteArray(words[i % words.size()]).replace("%1", QByteArray::number(i / 50 + 1));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.dic"));
    QVERIFY(makeEntry(Entry::File, path, bytes));
    const double fileSize = double(bytes.size());
    bytes = QByteArray();

    const double before = heapInUse();
    Result<TextLines> lines = readTextLines(path);
    QVERIFY(lines.ok());
    WordTable table;
    parseDictionaryText(*lines, table);
    const double held = heapInUse() - before;

    QCOMPARE(table.rowCount(), kWords);
    QCOMPARE(table.cell(TranslationColumn, 2), u"друг, \"товарищ\""_s);
    QCOMPARE(table.cell(LessonColumn, kWords - 1), QString::number(kWords / 50));
    QVERIFY2(held <= 3 * fileSize,
             qPrintable(u"%1 MB held for a file of %2 MB"_s.arg(held / 1e6).arg(fileSize / 1e6)));
}

QTEST_APPLESS_MAIN(TestTextDecoding)
#include "tst_textdecoding.moc"
