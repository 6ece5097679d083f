#include "dictionary/wordtable.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace wordlark;

namespace {

QStringList cells(const WordTable::Row &row)
{
    return QStringList(row.begin(), row.end());
}

QStringList fields(const QString &pinyin, const QString &simplified, const QString &full,
                   const QString &lesson, const QString &translation)
{
    return {pinyin, simplified, full, lesson, translation};
}

const QStringList kEmptyRow = fields({}, {}, {}, {}, {});

// A well-formed line: fields joined by tab, "*", tab.
QString line(const QString &pinyin, const QString &simplified, const QString &full, const QString &lesson,
             const QString &translation)
{
    return QStringList{pinyin, simplified, full, lesson, translation}.join(u"\t*\t"_s);
}

} // namespace

class TestWordTable final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void trimming_data();
    void trimming();
    void loneDigit_data();
    void loneDigit();
    void quotes_data();
    void quotes();

    void parseLine_data();
    void parseLine();
    void shortLines_data();
    void shortLines();

    void dictionaryKeepsOneRowPerLine();
    void blankLineAfterWordIsEmpty();
    void reparseReplacesOldRows();
    void progressSeesEveryLine();
    void keptCellsStayAsTheyWere();
    void cellsAreWholeStrings_data();
    void cellsAreWholeStrings();
};

void TestWordTable::trimming_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("expected");

    QTest::newRow("pinyin loses its last") << int(PinyinColumn) << u"nǐ hǎo\t"_s << u"nǐ hǎo"_s;
    QTest::newRow("simplified loses first and last") << int(SimplifiedColumn) << u"\t你好\t"_s << u"你好"_s;
    QTest::newRow("full loses first and last") << int(FullColumn) << u"\t你們\t"_s << u"你們"_s;
    QTest::newRow("lesson loses first and last") << int(LessonColumn) << u"\t12\t"_s << u"12"_s;
    QTest::newRow("translation loses its first") << int(TranslationColumn) << u"\tпривет"_s << u"привет"_s;

    // Whatever the character is, exactly one goes on each side that touched a "*".
    QTest::newRow("pinyin, blank instead of tab") << int(PinyinColumn) << u"ni "_s << u"ni"_s;
    QTest::newRow("pinyin, two blanks keep one") << int(PinyinColumn) << u"ni  "_s << u"ni "_s;
    QTest::newRow("pinyin, two tabs keep one") << int(PinyinColumn) << u"ni\t\t"_s << u"ni\t"_s;
    QTest::newRow("pinyin, no padding loses a letter") << int(PinyinColumn) << u"nihao"_s << u"niha"_s;
    QTest::newRow("simplified, two tabs each side")
        << int(SimplifiedColumn) << u"\t\t你\t\t"_s << u"\t你\t"_s;
    QTest::newRow("lesson, blanks") << int(LessonColumn) << u"  3  "_s << u" 3 "_s;
    QTest::newRow("translation, two tabs keep one") << int(TranslationColumn) << u"\t\tты"_s << u"\tты"_s;
    QTest::newRow("translation, trailing tab stays") << int(TranslationColumn) << u"\tты\t"_s << u"ты\t"_s;

    QTest::newRow("pinyin, empty") << int(PinyinColumn) << QString() << QString();
    QTest::newRow("pinyin, padding only") << int(PinyinColumn) << u"\t"_s << QString();
    QTest::newRow("simplified, empty") << int(SimplifiedColumn) << QString() << QString();
    QTest::newRow("simplified, one character") << int(SimplifiedColumn) << u"\t"_s << QString();
    QTest::newRow("simplified, padding only") << int(SimplifiedColumn) << u"\t\t"_s << QString();
    QTest::newRow("full, padding only") << int(FullColumn) << u"\t\t"_s << QString();
    QTest::newRow("lesson, one character") << int(LessonColumn) << u"x"_s << QString();
    QTest::newRow("translation, empty") << int(TranslationColumn) << QString() << QString();
    QTest::newRow("translation, padding only") << int(TranslationColumn) << u"\t"_s << QString();
    QTest::newRow("simplified, surrogate pair kept whole")
        << int(SimplifiedColumn) << u"\t\U00020BB7\t"_s << u"\U00020BB7"_s;
}

void TestWordTable::trimming()
{
    QFETCH(int, column);
    QFETCH(QString, raw);
    QFETCH(QString, expected);

    QCOMPARE(finishField(column, raw), expected);
}

void TestWordTable::loneDigit_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("expected");

    QTest::newRow("lesson 7") << int(LessonColumn) << u"\t7\t"_s << u"07"_s;
    QTest::newRow("lesson 0") << int(LessonColumn) << u"\t0\t"_s << u"00"_s;
    QTest::newRow("translation 5") << int(TranslationColumn) << u"\t5"_s << u"05"_s;
    QTest::newRow("pinyin 9") << int(PinyinColumn) << u"9\t"_s << u"09"_s;
    QTest::newRow("simplified 1") << int(SimplifiedColumn) << u"\t1\t"_s << u"01"_s;
    QTest::newRow("full 3") << int(FullColumn) << u"\t3\t"_s << u"03"_s;

    QTest::newRow("lesson 07 unchanged") << int(LessonColumn) << u"\t07\t"_s << u"07"_s;
    QTest::newRow("lesson 10 unchanged") << int(LessonColumn) << u"\t10\t"_s << u"10"_s;
    QTest::newRow("lesson 50 unchanged") << int(LessonColumn) << u"\t50\t"_s << u"50"_s;
    QTest::newRow("lesson 007 unchanged") << int(LessonColumn) << u"\t007\t"_s << u"007"_s;
    QTest::newRow("lone letter unchanged") << int(LessonColumn) << u"\ta\t"_s << u"a"_s;
    QTest::newRow("digit with blank unchanged") << int(LessonColumn) << u"\t7 \t"_s << u"7 "_s;
    QTest::newRow("full-width digit unchanged") << int(LessonColumn) << u"\t７\t"_s << u"７"_s;
    QTest::newRow("Arabic-Indic digit unchanged") << int(LessonColumn) << u"\t٣\t"_s << u"٣"_s;
    QTest::newRow("superscript two unchanged") << int(TranslationColumn) << u"\t²"_s << u"²"_s;
}

void TestWordTable::loneDigit()
{
    QFETCH(int, column);
    QFETCH(QString, raw);
    QFETCH(QString, expected);

    QCOMPARE(finishField(column, raw), expected);
}

void TestWordTable::quotes_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("expected");

    const int translation = TranslationColumn;
    QTest::newRow("quoted") << translation << u"\t\"книга\""_s << u"книга"_s;
    QTest::newRow("doubled quotes inside") << translation << u"\t\"a \"\"b\"\" c\""_s << u"a \"b\" c"_s;
    QTest::newRow("doubled quote at the inner end") << translation << u"\t\"x\"\"\""_s << u"x\""_s;
    QTest::newRow("four quotes") << translation << u"\t\"\"\"\""_s << u"\""_s;
    QTest::newRow("three quotes inside keep two") << translation << u"\t\"a\"\"\"b\""_s << u"a\"\"b"_s;
    QTest::newRow("single quote inside stays") << translation << u"\t\"a\"b\""_s << u"a\"b"_s;
    QTest::newRow("lone quote") << translation << u"\t\""_s << QString();
    QTest::newRow("two quotes") << translation << u"\t\"\""_s << QString();
    QTest::newRow("quoted blank") << translation << u"\t\" \""_s << u" "_s;
    QTest::newRow("only begins with a quote") << translation << u"\t\"a \"\"b"_s << u"\"a \"\"b"_s;
    QTest::newRow("only ends with a quote") << translation << u"\ta \"\"b\""_s << u"a \"\"b\""_s;
    QTest::newRow("quote after the padding only") << translation << u"\"\tx\""_s << u"\tx\""_s;

    QTest::newRow("pinyin keeps quotes") << int(PinyinColumn) << u"\"ni\"\t"_s << u"\"ni\""_s;
    QTest::newRow("simplified keeps quotes") << int(SimplifiedColumn) << u"\t\"你\"\t"_s << u"\"你\""_s;
    QTest::newRow("full keeps doubled quotes") << int(FullColumn) << u"\t\"\"\t"_s << u"\"\""_s;
    QTest::newRow("lesson keeps quotes") << int(LessonColumn) << u"\t\"1\"\t"_s << u"\"1\""_s;
}

void TestWordTable::quotes()
{
    QFETCH(int, column);
    QFETCH(QString, raw);
    QFETCH(QString, expected);

    QCOMPARE(finishField(column, raw), expected);
}

void TestWordTable::parseLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("well-formed") << line(u"nǐ hǎo"_s, u"你好"_s, u"你好"_s, u"01"_s, u"здравствуйте"_s)
                                 << fields(u"nǐ hǎo"_s, u"你好"_s, u"你好"_s, u"01"_s, u"здравствуйте"_s);
    QTest::newRow("no full form") << line(u"shū"_s, u"书"_s, QString(), u"02"_s, u"книга"_s)
                                  << fields(u"shū"_s, u"书"_s, QString(), u"02"_s, u"книга"_s);
    QTest::newRow("lone digits padded") << line(u"yī"_s, u"一"_s, u"一"_s, u"7"_s, u"1"_s)
                                        << fields(u"yī"_s, u"一"_s, u"一"_s, u"07"_s, u"01"_s);
    QTest::newRow("quoted translation") << line(u"a"_s, u"b"_s, u"c"_s, u"01"_s, u"\"a \"\"b\"\" c\""_s)
                                        << fields(u"a"_s, u"b"_s, u"c"_s, u"01"_s, u"a \"b\" c"_s);
    QTest::newRow("quotes in other fields stay")
        << line(u"\"a\""_s, u"\"b\""_s, u"\"c\""_s, u"01"_s, u"d"_s)
        << fields(u"\"a\""_s, u"\"b\""_s, u"\"c\""_s, u"01"_s, u"d"_s);
    QTest::newRow("blanks instead of tabs")
        << u"ni * 你 * 你 * 3 * ты"_s << fields(u"ni"_s, u"你"_s, u"你"_s, u"03"_s, u"ты"_s);
    QTest::newRow("extra blanks kept")
        << u"ni  *  你  *  你  *  3  *  ты"_s << fields(u"ni "_s, u" 你 "_s, u" 你 "_s, u" 3 "_s, u" ты"_s);
    QTest::newRow("two tabs keep one") << u"ni\t\t*\t\t你\t\t*\t\t你\t\t*\t\t01\t\t*\t\tты"_s
                                       << fields(u"ni\t"_s, u"\t你\t"_s, u"\t你\t"_s, u"\t01\t"_s, u"\tты"_s);
    QTest::newRow("no padding at all")
        << u"ni*你*你*1*ты"_s << fields(u"n"_s, QString(), QString(), QString(), u"ы"_s);

    QTest::newRow("ends with tab, star, tab")
        << u"a\t*\tb\t*\tc\t*\t01\t*\t"_s << fields(u"a"_s, u"b"_s, u"c"_s, u"01"_s, QString());
    QTest::newRow("ends with star") << u"a\t*\tb\t*\tc\t*\t01\t*"_s
                                    << fields(u"a"_s, u"b"_s, u"c"_s, u"01"_s, QString());
    QTest::newRow("star in translation")
        << u"a\t*\tb\t*\tc\t*\t01\t*\tone\t*\ttwo"_s << fields(u"a"_s, u"b"_s, u"c"_s, u"01"_s, u"one\t"_s);
    QTest::newRow("star in translation, no tabs")
        << u"a\t*\tb\t*\tc\t*\t01\t*\tone*two*three"_s << fields(u"a"_s, u"b"_s, u"c"_s, u"01"_s, u"one"_s);
    QTest::newRow("star inside a quoted translation")
        << u"a\t*\tb\t*\tc\t*\t01\t*\t\"x*y\""_s << fields(u"a"_s, u"b"_s, u"c"_s, u"01"_s, u"\"x"_s);
    QTest::newRow("translation of a lone quote")
        << u"a\t*\tb\t*\tc\t*\t01\t*\t\""_s << fields(u"a"_s, u"b"_s, u"c"_s, u"01"_s, QString());

    QTest::newRow("separators only") << u"****"_s << kEmptyRow;
    QTest::newRow("six separators") << u"******"_s << kEmptyRow;
    QTest::newRow("padded separators only") << u"\t*\t\t*\t\t*\t\t*\t"_s << kEmptyRow;
    QTest::newRow("tab only") << u"\t"_s << kEmptyRow;
}

void TestWordTable::parseLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, expected);

    WordTable::Row row;
    wordlark::parseLine(line, row);
    QCOMPARE(cells(row), expected);
}

void TestWordTable::shortLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("one separator") << u"ni\t*\t你\t"_s << fields(u"ni"_s, u"你"_s, {}, {}, {});
    QTest::newRow("one separator at the end") << u"ni\t*"_s << fields(u"ni"_s, {}, {}, {}, {});
    QTest::newRow("two separators") << u"ni\t*\t你\t*\t你\t"_s << fields(u"ni"_s, u"你"_s, u"你"_s, {}, {});
    QTest::newRow("three separators")
        << u"ni\t*\t你\t*\t你\t*\t01\t"_s << fields(u"ni"_s, u"你"_s, u"你"_s, u"01"_s, {});
    QTest::newRow("three separators, one-digit lesson")
        << u"ni\t*\t你\t*\t你\t*\t1\t"_s << fields(u"ni"_s, u"你"_s, u"你"_s, u"01"_s, {});
    QTest::newRow("single star") << u"*"_s << kEmptyRow;
    QTest::newRow("single character") << u"x"_s << kEmptyRow;
}

void TestWordTable::shortLines()
{
    QFETCH(QString, line);
    QFETCH(QStringList, expected);

    WordTable::Row row;
    wordlark::parseLine(line, row);
    QCOMPARE(cells(row), expected);
}

void TestWordTable::dictionaryKeepsOneRowPerLine()
{
    const QStringList lines = {
        line(u"nǐ"_s, u"你"_s, u"你"_s, u"1"_s, u"ты"_s),
        QString(),
        line(u"hǎo"_s, u"好"_s, u"好"_s, u"1"_s, u"\"хорошо, \"\"да\"\"\""_s),
        u"shū\t*\t书"_s,
        QString(),
    };
    WordTable table;
    parseDictionary(lines, table);

    QCOMPARE(table.rowCount(), 5);
    QCOMPARE(cells(table.row(0)), fields(u"nǐ"_s, u"你"_s, u"你"_s, u"01"_s, u"ты"_s));
    QCOMPARE(cells(table.row(1)), kEmptyRow);
    QCOMPARE(cells(table.row(2)), fields(u"hǎo"_s, u"好"_s, u"好"_s, u"01"_s, u"хорошо, \"да\""_s));
    QCOMPARE(table.cell(PinyinColumn, 3), u"shū"_s);
    QCOMPARE(table.cell(LessonColumn, 3), QString());
    QCOMPARE(cells(table.row(4)), kEmptyRow);
}

void TestWordTable::blankLineAfterWordIsEmpty()
{
    // A short line after a full one must not keep cells of the line before.
    const QStringList lines = {
        line(u"a"_s, u"b"_s, u"c"_s, u"01"_s, u"d"_s),
        u"e\t*\tf\t"_s,
        QString(),
    };
    WordTable table;
    parseDictionary(lines, table);

    QCOMPARE(cells(table.row(1)), fields(u"e"_s, u"f"_s, {}, {}, {}));
    QCOMPARE(cells(table.row(2)), kEmptyRow);
}

void TestWordTable::reparseReplacesOldRows()
{
    WordTable table;
    parseDictionary({line(u"a"_s, u"b"_s, u"c"_s, u"01"_s, u"d"_s),
                     line(u"e"_s, u"f"_s, u"g"_s, u"02"_s, u"h"_s),
                     line(u"i"_s, u"j"_s, u"k"_s, u"03"_s, u"l"_s)},
                    table);
    parseDictionary({line(u"x"_s, u"y"_s, u"z"_s, u"09"_s, u"w"_s), QString()}, table);

    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(cells(table.row(0)), fields(u"x"_s, u"y"_s, u"z"_s, u"09"_s, u"w"_s));
    QCOMPARE(cells(table.row(1)), kEmptyRow);

    parseDictionary({}, table);
    QCOMPARE(table.rowCount(), 0);
}

void TestWordTable::progressSeesEveryLine()
{
    const QStringList lines = {line(u"a"_s, u"b"_s, u"c"_s, u"01"_s, u"d"_s), QString(), u"*"_s};
    QList<int> seen;
    WordTable table;
    parseDictionary(lines, table, [&seen](int index) { seen.append(index); });

    QCOMPARE(seen, (QList<int>{0, 1, 2}));
}

// A cell shares the table's text; whatever happens to the table or to the copy afterwards, a cell once
// read keeps its text and the table keeps its own.
void TestWordTable::keptCellsStayAsTheyWere()
{
    auto table = std::make_unique<WordTable>();
    parseDictionary(
        {line(u"nǐ"_s, u"你"_s, u"你"_s, u"1"_s, u"ты"_s), line(u"hǎo"_s, u"好"_s, {}, u"2"_s, u"да"_s)},
        *table);
    QString translation = table->cell(TranslationColumn, 0);
    const QString pinyin = table->cell(PinyinColumn, 1);
    const QString lesson = table->cell(LessonColumn, 1);

    translation.append(u"!"_s);
    QCOMPARE(translation, u"ты!"_s);
    QCOMPARE(table->cell(TranslationColumn, 0), u"ты"_s);
    QCOMPARE(table->cell(PinyinColumn, 1), u"hǎo"_s);

    table->setCell(PinyinColumn, 1, u"hào"_s);
    QCOMPARE(table->cell(PinyinColumn, 1), u"hào"_s);
    QCOMPARE(pinyin, u"hǎo"_s);

    parseDictionary({line(u"a"_s, u"b"_s, u"c"_s, u"3"_s, u"d"_s)}, *table);
    table.reset();
    QCOMPARE(pinyin, u"hǎo"_s);
    QCOMPARE(lesson, u"02"_s);
    QCOMPARE(translation, u"ты!"_s);
}

void TestWordTable::cellsAreWholeStrings_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("one character") << u"字"_s;
    QTest::newRow("NUL inside") << QString(u"a\0b"_s);
    QTest::newRow("surrogate pair") << u"\U00020BB7"_s;
    QTest::newRow("long") << QString(5000, u'ж');
    // Lengths from 32,768 on take two units in the table.
    QTest::newRow("32,768 units") << QString(32768, u'ж');
    QTest::newRow("more than 65,536 units") << QString(70001, u'a');
}

// What the table hands out behaves as a string of its own: its length, its end mark, its copies.
void TestWordTable::cellsAreWholeStrings()
{
    QFETCH(QString, text);
    WordTable table;
    table.setRowCount(3);
    table.setCell(SimplifiedColumn, 0, u"before"_s);
    table.setCell(SimplifiedColumn, 1, text);
    table.setCell(SimplifiedColumn, 2, u"after"_s);

    const QString cell = table.cell(SimplifiedColumn, 1);
    QCOMPARE(cell.size(), text.size());
    QCOMPARE(cell, text);
    QCOMPARE(table.cellView(SimplifiedColumn, 1), QStringView(text));
    // Handed to anything that wants a terminated array, it ends where it should.
    QCOMPARE(cell.utf16()[cell.size()], ushort(0));
    QCOMPARE(cell.toUcs4(), text.toUcs4());
    QCOMPARE(table.cell(FullColumn, 1), QString());
    QCOMPARE(table.row(1)[size_t(SimplifiedColumn)], text);

    QString changed = cell;
    changed.prepend(u'<');
    changed.append(u'>');
    QCOMPARE(changed, u'<' + text + u'>');
    QCOMPARE(table.cell(SimplifiedColumn, 0), u"before"_s);
    QCOMPARE(table.cell(SimplifiedColumn, 1), text);
    QCOMPARE(table.cell(SimplifiedColumn, 2), u"after"_s);
}

QTEST_APPLESS_MAIN(TestWordTable)
#include "tst_wordtable.moc"
