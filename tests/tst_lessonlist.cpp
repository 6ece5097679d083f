#include "lessonchoice.h"

#include "dictionary/lessonkeys.h"
#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace wordlark;

using testutil::flagsFor;

namespace {

constexpr int kBigRowCount = 1400;

// Lesson sizes 2, 5, 7, 11, 1, 13, 4 over and over; the last lesson is cut to fill exactly 1,400 rows.
QList<int> bigLessonSizes()
{
    static constexpr int pattern[] = {2, 5, 7, 11, 1, 13, 4};
    QList<int> sizes;
    int rows = 0;
    for (int k = 0; rows < kBigRowCount; ++k) {
        const int size = std::min(pattern[k % 7], kBigRowCount - rows);
        sizes.append(size);
        rows += size;
    }
    return sizes;
}

QString bigLabel(int lesson)
{
    return u"L%1"_s.arg(lesson + 1, 3, 10, QChar(u'0'));
}

WordTable bigTable()
{
    WordTable table;
    table.setRowCount(kBigRowCount);
    int row = 0;
    const QList<int> sizes = bigLessonSizes();
    for (int lesson = 0; lesson < sizes.size(); ++lesson) {
        for (int i = 0; i < sizes[lesson]; ++i, ++row) {
            table.setCell(SimplifiedColumn, row, u"字%1"_s.arg(row));
            table.setCell(LessonColumn, row, bigLabel(lesson));
        }
    }
    return table;
}

// A table whose rows carry the given lesson labels, one row each.
WordTable tableOfLabels(const QStringList &labels)
{
    WordTable table;
    table.setRowCount(int(labels.size()));
    for (int row = 0; row < table.rowCount(); ++row)
        table.setCell(LessonColumn, row, labels[row]);
    return table;
}

// The chosen words the slow way: lessons in list order, and within each lesson every row with its label.
QList<int> walkChosenWords(const WordTable &table, const LessonList &lessons)
{
    QList<int> words;
    for (int lesson = 0; lesson < lessons.lessonCount(); ++lesson) {
        if (!lessons.selectionFlags()[size_t(lesson)])
            continue;
        for (int row = 0; row < table.rowCount(); ++row) {
            if (table.cell(LessonColumn, row) == lessons.labels()[lesson])
                words.append(row);
        }
    }
    return words;
}

QList<int> allSelectedWords(const LessonList &lessons)
{
    QList<int> words;
    for (int n = 0; n < lessons.selectedWordCount(); ++n)
        words.append(lessons.nthSelectedWord(n));
    return words;
}

QList<int> range(int first, int last)
{
    QList<int> values;
    for (int value = first; value <= last; ++value)
        values.append(value);
    return values;
}

} // namespace

class TestLessonList final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void labelsInOrderOfFirstOccurrence();
    void buildChoosesEverything();
    void selection_data();
    void selection();
    void flagVectorOfOtherLength();
    void selectionIsRecorded();
    void scatteredLesson();
    void blankLinesFormLessonWithEmptyLabel();
    void emptyTable();
    void rebuildForgetsOldLessons();
    void selectionKeys_data();
    void selectionKeys();
};

void TestLessonList::labelsInOrderOfFirstOccurrence()
{
    WordTable table;
    parseDictionary({u"a\t*\tx\t*\tx\t*\t3\t*\tt"_s, u"b\t*\tx\t*\tx\t*\t3\t*\tt"_s,
                     u"c\t*\tx\t*\tx\t*\t1\t*\tt"_s, u"d\t*\tx\t*\tx\t*\t2\t*\tt"_s,
                     u"e\t*\tx\t*\tx\t*\t2\t*\tt"_s},
                    table);
    LessonList lessons;
    lessons.build(table);

    QCOMPARE(lessons.labels(), (QStringList{u"03"_s, u"01"_s, u"02"_s}));
    QCOMPARE(lessons.lessonCount(), 3);
    QCOMPARE(lessons.lessonSize(0), 2);
    QCOMPARE(lessons.lessonSize(1), 1);
    QCOMPARE(lessons.lessonSize(2), 2);
}

void TestLessonList::buildChoosesEverything()
{
    const WordTable table = bigTable();
    LessonList lessons;
    lessons.build(table);

    QCOMPARE(lessons.lessonCount(), int(bigLessonSizes().size()));
    QCOMPARE(lessons.selectionFlags(), std::vector<bool>(size_t(lessons.lessonCount()), true));
    QCOMPARE(lessons.selectedWordCount(), kBigRowCount);
    QCOMPARE(allSelectedWords(lessons), range(0, kBigRowCount - 1));
}

void TestLessonList::selection_data()
{
    QTest::addColumn<QList<int>>("chosen");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("words"); // empty: only the slow walk decides

    const int lastLesson = int(bigLessonSizes().size()) - 1;
    QTest::newRow("second only") << QList<int>{1} << 5 << range(2, 6);
    QTest::newRow("first and third") << QList<int>{0, 2} << 9 << QList<int>{0, 1, 7, 8, 9, 10, 11, 12, 13};
    QTest::newRow("one-word lesson") << QList<int>{4} << 1 << QList<int>{25};
    QTest::newRow("last, cut short") << QList<int>{lastLesson} << 10 << range(1390, 1399);
    QTest::newRow("first and last") << QList<int>{0, lastLesson} << 12
                                    << QList<int>{0,    1,    1390, 1391, 1392, 1393,
                                                  1394, 1395, 1396, 1397, 1398, 1399};
    QTest::newRow("none") << QList<int>{} << 0 << QList<int>{};

    QList<int> everyThird;
    int words = 0;
    for (int lesson = 0; lesson <= lastLesson; lesson += 3) {
        everyThird.append(lesson);
        words += bigLessonSizes()[lesson];
    }
    QTest::newRow("every third") << everyThird << words << QList<int>{};
}

void TestLessonList::selection()
{
    QFETCH(QList<int>, chosen);
    QFETCH(int, count);
    QFETCH(QList<int>, words);

    const WordTable table = bigTable();
    LessonList lessons;
    lessons.build(table);

    QCOMPARE(lessons.countSelected(flagsFor(chosen, lessons.lessonCount())), count);
    QCOMPARE(lessons.selectedWordCount(), count);
    const QList<int> found = allSelectedWords(lessons);
    if (!words.isEmpty())
        QCOMPARE(found, words);
    QCOMPARE(found, walkChosenWords(table, lessons));
}

void TestLessonList::flagVectorOfOtherLength()
{
    const WordTable table = bigTable();
    LessonList lessons;
    lessons.build(table);

    // Lessons the flags do not reach are not chosen.
    QCOMPARE(lessons.countSelected({false, true}), 5);
    QCOMPARE(allSelectedWords(lessons), range(2, 6));
    QCOMPARE(lessons.countSelected({}), 0);

    // Flags past the last lesson are ignored.
    std::vector<bool> tooMany(size_t(lessons.lessonCount()) + 5, true);
    QCOMPARE(lessons.countSelected(tooMany), kBigRowCount);
    QCOMPARE(lessons.selectionFlags().size(), size_t(lessons.lessonCount()));
}

void TestLessonList::selectionIsRecorded()
{
    const WordTable table = bigTable();
    LessonList lessons;
    lessons.build(table);

    const std::vector<bool> flags = flagsFor({0, 2}, lessons.lessonCount());
    lessons.countSelected(flags);
    QCOMPARE(lessons.selectionFlags(), flags);
    QCOMPARE(lessons.selectedWordCount(), 9);

    // A later count replaces the earlier choice completely.
    lessons.countSelected(flagsFor({1}, lessons.lessonCount()));
    QCOMPARE(lessons.selectionFlags(), flagsFor({1}, lessons.lessonCount()));
    QCOMPARE(allSelectedWords(lessons), range(2, 6));

    // Building again chooses every lesson once more.
    lessons.build(table);
    QCOMPARE(lessons.selectedWordCount(), kBigRowCount);
}

void TestLessonList::scatteredLesson()
{
    // Rows:                                   0       1       2       3       4       5       6       7
    const WordTable table =
        tableOfLabels({u"01"_s, u"01"_s, u"02"_s, u"02"_s, u"02"_s, u"01"_s, u"03"_s, u"01"_s});
    LessonList lessons;
    lessons.build(table);

    QCOMPARE(lessons.labels(), (QStringList{u"01"_s, u"02"_s, u"03"_s}));
    QCOMPARE(lessons.lessonSize(0), 4);
    QCOMPARE(lessons.blocks(0), (QList<RowBlock>{{0, 1}, {5, 5}, {7, 7}}));
    QCOMPARE(lessons.blocks(1), (QList<RowBlock>{{2, 4}}));

    QCOMPARE(lessons.countSelected({true, false, false}), 4);
    QCOMPARE(allSelectedWords(lessons), (QList<int>{0, 1, 5, 7}));

    QCOMPARE(lessons.countSelected({true, false, true}), 5);
    QCOMPARE(allSelectedWords(lessons), (QList<int>{0, 1, 5, 7, 6}));

    QCOMPARE(lessons.countSelected({true, true, true}), 8);
    QCOMPARE(allSelectedWords(lessons), (QList<int>{0, 1, 5, 7, 2, 3, 4, 6}));
}

void TestLessonList::blankLinesFormLessonWithEmptyLabel()
{
    WordTable table;
    parseDictionary({u"a\t*\tx\t*\tx\t*\t1\t*\tt"_s, u"b\t*\tx\t*\tx\t*\t1\t*\tt"_s, QString(),
                     u"c\t*\tx\t*\tx\t*\t2\t*\tt"_s, QString(), u"d\t*\tx\t*\tx\t*\t3\t*\tt"_s},
                    table);
    LessonList lessons;
    lessons.build(table);

    QCOMPARE(lessons.labels(), (QStringList{u"01"_s, QString(), u"02"_s, u"03"_s}));
    QCOMPARE(lessons.lessonSize(1), 2);
    QCOMPARE(lessons.selectedWordCount(), 6);

    QCOMPARE(lessons.countSelected({false, true}), 2);
    QCOMPARE(allSelectedWords(lessons), (QList<int>{2, 4}));
    QCOMPARE(lessons.countSelected({false, false, true, true}), 2);
    QCOMPARE(allSelectedWords(lessons), (QList<int>{3, 5}));
}

void TestLessonList::emptyTable()
{
    LessonList lessons;
    lessons.build(WordTable{});

    QCOMPARE(lessons.lessonCount(), 0);
    QVERIFY(lessons.labels().isEmpty());
    QCOMPARE(lessons.selectedWordCount(), 0);
    QCOMPARE(lessons.countSelected({true, true}), 0);
    QVERIFY(lessons.selectionFlags().empty());
}

void TestLessonList::rebuildForgetsOldLessons()
{
    LessonList lessons;
    lessons.build(bigTable());
    lessons.countSelected({true});

    const WordTable small = tableOfLabels({u"x"_s, u"y"_s, u"x"_s});
    lessons.build(small);
    QCOMPARE(lessons.labels(), (QStringList{u"x"_s, u"y"_s}));
    QCOMPARE(lessons.selectedWordCount(), 3);
    QCOMPARE(allSelectedWords(lessons), (QList<int>{0, 2, 1}));

    lessons.clear();
    QCOMPARE(lessons.lessonCount(), 0);
    QCOMPARE(lessons.selectedWordCount(), 0);
}

void TestLessonList::selectionKeys_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<uint>("scanCode");
    QTest::addColumn<bool>("xkb");
    QTest::addColumn<bool>("recounts");

    QTest::newRow("space") << int(Qt::Key_Space) << 0u << false << true;
    QTest::newRow("page down") << int(Qt::Key_PageDown) << 0u << false << true;
    QTest::newRow("arrow, any layout") << int(Qt::Key_Left) << 113u << true << true;
    QTest::newRow("latin letter") << int(Qt::Key_Q) << 0u << false << true;
    QTest::newRow("digit") << int(Qt::Key_0) << 0u << false << true;
    QTest::newRow("tab") << int(Qt::Key_Tab) << 0u << false << false;
    QTest::newRow("control") << int(Qt::Key_Control) << 37u << true << false;
    QTest::newRow("Russian Й without scan code") << int(u'Й') << 0u << false << true;
    QTest::newRow("Russian Ж without scan code") << int(u'Ж') << 0u << false << false;
    // With X key codes the place decides, whatever letter the layout puts there.
    QTest::newRow("Greek letter on the A key") << int(u'Α') << 38u << true << true;
    QTest::newRow("Russian Ж on the ; key") << int(u'Ж') << 47u << true << false;
    QTest::newRow("digit row with shift, Russian") << int(u'№') << 12u << true << true;
    QTest::newRow("M key") << int(u'Ь') << 58u << true << true;
    QTest::newRow("comma key") << int(u'Б') << 59u << true << false;
}

void TestLessonList::selectionKeys()
{
    QFETCH(int, qtKey);
    QFETCH(uint, scanCode);
    QFETCH(bool, xkb);
    QFETCH(bool, recounts);
    QCOMPARE(isLessonSelectionKey({qtKey, scanCode}, xkb ? ScanCodeKind::XkbKeycode : ScanCodeKind::None),
             recounts);
}

QTEST_APPLESS_MAIN(TestLessonList)
#include "tst_lessonlist.moc"
