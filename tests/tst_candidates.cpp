#include "lessonchoice.h"

#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"
#include "quiz/candidates.h"
#include "quiz/quizsession.h"

#include <QSet>
#include <QTest>

#include <cmath>
#include <random>

using namespace Qt::StringLiterals;
using namespace wordlark;

using testutil::flagsFor;

namespace {

// Simplified characters: `length` copies of one CJK character that differs from row to row.
QString hanzi(int length, int row)
{
    return QString(length, QChar(char16_t(0x4E00 + row % 2000)));
}

// 1,400 rows in lessons of 2, 5, 7, 11, 1, 13, 4 words over and over (the last one cut short); the
// simplified form of row r has r % 8 characters, so every length 0..7 is common.
WordTable bigTable()
{
    static constexpr int pattern[] = {2, 5, 7, 11, 1, 13, 4};
    WordTable table;
    table.setRowCount(1400);
    int lesson = 0, leftInLesson = pattern[0];
    for (int row = 0; row < table.rowCount(); ++row) {
        if (leftInLesson == 0)
            leftInLesson = pattern[++lesson % 7];
        --leftInLesson;
        table.setCell(SimplifiedColumn, row, hanzi(row % 8, row));
        table.setCell(LessonColumn, row, u"%1"_s.arg(lesson + 1, 3, 10, QChar(u'0')));
    }
    return table;
}

// A table whose simplified forms have the given lengths, all in one lesson.
WordTable tableOfLengths(const QList<int> &lengths)
{
    WordTable table;
    table.setRowCount(int(lengths.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        table.setCell(SimplifiedColumn, row, hanzi(lengths[row], row));
        table.setCell(LessonColumn, row, u"01"_s);
    }
    return table;
}

QSet<int> chosenWords(const LessonList &lessons)
{
    QSet<int> words;
    for (int n = 0; n < lessons.selectedWordCount(); ++n)
        words.insert(lessons.nthSelectedWord(n));
    return words;
}

QList<int> usedSlots(const CandidateChoice &choice)
{
    return QList<int>(choice.slots.begin(), choice.slots.begin() + choice.count);
}

// What every choice must satisfy: the asked word in the right slot, distinct valid words in the used
// slots, -1 in the others, and from "selected lessons" distractors of the chosen lessons only.
void checkChoice(const CandidateChoice &choice, const WordTable &table, const LessonList &lessons, int word,
                 bool fromAllLessons, int expectedCount)
{
    QCOMPARE(choice.count, expectedCount);
    QVERIFY(choice.rightSlot >= 0 && choice.rightSlot < choice.count);
    QCOMPARE(choice.slots[size_t(choice.rightSlot)], word);
    for (int slot = choice.count; slot < MaxAnswerBoxes; ++slot)
        QCOMPARE(choice.slots[size_t(slot)], -1);

    const QList<int> used = usedSlots(choice);
    QCOMPARE(QSet<int>(used.begin(), used.end()).size(), used.size());
    const QSet<int> chosen = fromAllLessons ? QSet<int>() : chosenWords(lessons);
    for (int slot = 0; slot < choice.count; ++slot) {
        const int candidate = choice.slots[size_t(slot)];
        QVERIFY(candidate >= 0 && candidate < table.rowCount());
        if (!fromAllLessons && slot != choice.rightSlot)
            QVERIFY2(chosen.contains(candidate),
                     qPrintable(u"word %1 is not in a chosen lesson"_s.arg(candidate)));
    }
}

} // namespace

Q_DECLARE_METATYPE(FieldSet)

class TestCandidates final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void count_data();
    void count();
    void poolOfExactlyTheCount_data();
    void poolOfExactlyTheCount();
    void askedWordSlotIsUniform_data();
    void askedWordSlotIsUniform();

    void lengthRule_data();
    void lengthRule();
    void lengthRuleTakesAllFewSameLengthWords();
    void lengthRuleGivesWay_data();
    void lengthRuleGivesWay();
    void lengthCountsUtf16CodeUnits();
    void selectedLessonsHaveNoLengthRule();

    void shownField_data();
    void shownField();
    void joinFields_data();
    void joinFields();
    void layOutAnswers_data();
    void layOutAnswers();
};

void TestCandidates::count_data()
{
    QTest::addColumn<bool>("fromAllLessons");
    QTest::addColumn<QList<int>>("chosen"); // lessons chosen in the big table; {-1}: all
    QTest::addColumn<int>("maxAnswers");
    QTest::addColumn<int>("word");
    QTest::addColumn<int>("count");

    const QList<int> all{-1};
    QTest::newRow("all lessons, 12") << true << all << 12 << 100 << 12;
    QTest::newRow("all lessons, 4") << true << all << 4 << 100 << 4;
    QTest::newRow("all lessons, 1") << true << all << 1 << 100 << 1;
    QTest::newRow("all lessons, none chosen") << true << QList<int>{} << 12 << 100 << 12;
    QTest::newRow("selected, all chosen") << false << all << 12 << 100 << 12;
    QTest::newRow("selected, 5 words") << false << QList<int>{1} << 12 << 3 << 5;
    QTest::newRow("selected, 9 words, 6 answers") << false << QList<int>{0, 2} << 6 << 8 << 6;
    QTest::newRow("selected, 9 words, 9 answers") << false << QList<int>{0, 2} << 9 << 8 << 9;
    QTest::newRow("selected, one-word lesson") << false << QList<int>{4} << 12 << 25 << 1;
    QTest::newRow("selected, asked word outside the choice") << false << QList<int>{1} << 12 << 100 << 5;
    QTest::newRow("selected, none chosen") << false << QList<int>{} << 12 << 100 << 1;
}

void TestCandidates::count()
{
    QFETCH(bool, fromAllLessons);
    QFETCH(QList<int>, chosen);
    QFETCH(int, maxAnswers);
    QFETCH(int, word);
    QFETCH(int, count);

    const WordTable table = bigTable();
    LessonList lessons;
    lessons.build(table);
    if (chosen != QList<int>{-1})
        lessons.countSelected(flagsFor(chosen, lessons.lessonCount()));

    SeededRandom random(7);
    for (int question = 0; question < 50; ++question) {
        const CandidateChoice choice =
            chooseCandidates(table, lessons, word, maxAnswers, fromAllLessons, random);
        checkChoice(choice, table, lessons, word, fromAllLessons, count);
        if (QTest::currentTestFailed())
            return;
    }
}

void TestCandidates::poolOfExactlyTheCount_data()
{
    QTest::addColumn<bool>("fromAllLessons");

    QTest::newRow("all lessons") << true;
    QTest::newRow("selected lessons") << false;
}

void TestCandidates::poolOfExactlyTheCount()
{
    QFETCH(bool, fromAllLessons);

    // Twelve words of mixed lengths, two of them blank rows: every one must be used, whatever its length.
    const WordTable table = tableOfLengths({2, 0, 1, 2, 3, 4, 5, 6, 7, 2, 0, 2});
    LessonList lessons;
    lessons.build(table);
    SeededRandom random(11);
    for (int question = 0; question < 20; ++question) {
        const int word = question % table.rowCount();
        const CandidateChoice choice = chooseCandidates(table, lessons, word, 12, fromAllLessons, random);
        checkChoice(choice, table, lessons, word, fromAllLessons, 12);
        if (QTest::currentTestFailed())
            return;
    }
}

void TestCandidates::askedWordSlotIsUniform_data()
{
    QTest::addColumn<bool>("fromAllLessons");
    QTest::addColumn<int>("maxAnswers");

    QTest::newRow("all lessons, 2") << true << 2;
    QTest::newRow("all lessons, 5") << true << 5;
    QTest::newRow("all lessons, 12") << true << 12;
    QTest::newRow("selected lessons, 3") << false << 3;
    QTest::newRow("selected lessons, 12") << false << 12;
}

void TestCandidates::askedWordSlotIsUniform()
{
    QFETCH(bool, fromAllLessons);
    QFETCH(int, maxAnswers);

    const WordTable table = bigTable();
    LessonList lessons;
    lessons.build(table);
    SeededRandom random(20240611);

    constexpr int perSlot = 500;
    const int draws = perSlot * maxAnswers;
    QList<int> hits(maxAnswers, 0);
    for (int question = 0; question < draws; ++question) {
        const int word = (question * 37) % table.rowCount();
        const CandidateChoice choice =
            chooseCandidates(table, lessons, word, maxAnswers, fromAllLessons, random);
        QCOMPARE(choice.count, maxAnswers);
        QCOMPARE(choice.slots[size_t(choice.rightSlot)], word);
        ++hits[choice.rightSlot];
    }

    // Chi-square against equal chances, with a wide margin: a fair draw stays far below it, a slot that
    // is never or always used goes far above it.
    double chiSquare = 0;
    for (int observed : std::as_const(hits))
        chiSquare += double(observed - perSlot) * (observed - perSlot) / perSlot;
    const int freedom = maxAnswers - 1;
    const double bound = freedom + 6 * std::sqrt(2.0 * freedom) + 5;
    QString counts;
    for (int observed : std::as_const(hits))
        counts += u" %1"_s.arg(observed);
    QVERIFY2(chiSquare < bound,
             qPrintable(u"chi-square %1 >= %2, hits:%3"_s.arg(chiSquare).arg(bound).arg(counts)));
}

void TestCandidates::lengthRule_data()
{
    QTest::addColumn<int>("askedLength");
    QTest::addColumn<int>("minLength");
    QTest::addColumn<int>("maxLength");

    QTest::newRow("1 character") << 1 << 1 << 1;
    QTest::newRow("2 characters") << 2 << 2 << 2;
    QTest::newRow("3 characters") << 3 << 3 << 3;
    QTest::newRow("4 characters") << 4 << 4 << 4;
    QTest::newRow("5 characters") << 5 << 5 << 7;
    QTest::newRow("6 characters") << 6 << 5 << 7;
    QTest::newRow("7 characters") << 7 << 5 << 7;
    QTest::newRow("no characters") << 0 << 0 << 7;
}

void TestCandidates::lengthRule()
{
    QFETCH(int, askedLength);
    QFETCH(int, minLength);
    QFETCH(int, maxLength);

    const WordTable table = bigTable();
    LessonList lessons;
    lessons.build(table);
    SeededRandom random(3);
    QSet<qsizetype> lengthsSeen;
    for (int question = 0; question < 170; ++question) {
        const int word = askedLength + 8 * question; // bigTable: row % 8 characters
        QCOMPARE(table.cell(SimplifiedColumn, word).size(), qsizetype(askedLength));
        const CandidateChoice choice = chooseCandidates(table, lessons, word, 12, true, random);
        checkChoice(choice, table, lessons, word, true, 12);
        for (int candidate : usedSlots(choice)) {
            const qsizetype length = table.cell(SimplifiedColumn, candidate).size();
            QVERIFY2(
                length >= minLength && length <= maxLength,
                qPrintable(u"question %1: distractor %2 has %3 characters"_s.arg(question).arg(candidate).arg(
                    length)));
            lengthsSeen.insert(length);
        }
    }
    // The allowed lengths all turn up, so the rule narrows nothing further.
    QCOMPARE(lengthsSeen.size(), qsizetype(maxLength - minLength + 1));
}

void TestCandidates::lengthRuleTakesAllFewSameLengthWords()
{
    // 700 words of one character and just twelve of four: the eleven other four-character words are
    // enough, and the rule must find them all rather than give up early.
    QList<int> lengths(700, 1);
    QList<int> fourCharacterRows;
    for (int row = 30; row < 700; row += 56) {
        lengths[row] = 4;
        fourCharacterRows.append(row);
    }
    QCOMPARE(fourCharacterRows.size(), qsizetype(12));
    const WordTable table = tableOfLengths(lengths);
    LessonList lessons;
    lessons.build(table);

    SeededRandom random(5);
    const int word = fourCharacterRows.front();
    const CandidateChoice choice = chooseCandidates(table, lessons, word, 12, true, random);
    checkChoice(choice, table, lessons, word, true, 12);
    QList<int> used = usedSlots(choice);
    std::sort(used.begin(), used.end());
    QCOMPARE(used, fourCharacterRows);
}

void TestCandidates::lengthRuleGivesWay_data()
{
    QTest::addColumn<QList<int>>("lengths");
    QTest::addColumn<int>("word");
    QTest::addColumn<QList<int>>("mustInclude");

    QList<int> twoOthers(30, 1);
    twoOthers[0] = twoOthers[9] = twoOthers[20] = 3;
    QTest::newRow("two other words of three characters") << twoOthers << 0 << QList<int>{9, 20};

    QList<int> noLong(20, 2);
    noLong[4] = 6;
    QTest::newRow("six characters, no long word") << noLong << 4 << QList<int>{};

    QList<int> noSameLength(500, 2);
    noSameLength[250] = 1;
    QTest::newRow("only word of its length, big table") << noSameLength << 250 << QList<int>{};
}

void TestCandidates::lengthRuleGivesWay()
{
    QFETCH(QList<int>, lengths);
    QFETCH(int, word);
    QFETCH(QList<int>, mustInclude);

    const WordTable table = tableOfLengths(lengths);
    LessonList lessons;
    lessons.build(table);
    SeededRandom random(9);
    for (int question = 0; question < 3; ++question) {
        const CandidateChoice choice = chooseCandidates(table, lessons, word, 12, true, random);
        checkChoice(choice, table, lessons, word, true, 12);
        // Ten thousand draws find the few words that do fit before the rule is given up.
        for (int wanted : std::as_const(mustInclude))
            QVERIFY2(usedSlots(choice).contains(wanted), qPrintable(u"word %1 left out"_s.arg(wanted)));
    }
}

void TestCandidates::lengthCountsUtf16CodeUnits()
{
    // Lengths are UTF-16 code units, as everywhere in the program: a character outside the basic plane
    // (U+20BB7) counts two and gets two-unit distractors. Rows 0-199: one unit; rows 200-399: two units.
    WordTable table;
    table.setRowCount(401);
    for (int row = 0; row < 400; ++row) {
        table.setCell(SimplifiedColumn, row, hanzi(row < 200 ? 1 : 2, row));
        table.setCell(LessonColumn, row, u"01"_s);
    }
    table.setCell(SimplifiedColumn, 400, u"\U00020BB7"_s);
    table.setCell(LessonColumn, 400, u"01"_s);
    LessonList lessons;
    lessons.build(table);

    SeededRandom random(13);
    const CandidateChoice choice = chooseCandidates(table, lessons, 400, 12, true, random);
    checkChoice(choice, table, lessons, 400, true, 12);
    int twoUnitDistractors = 0;
    for (int candidate : usedSlots(choice))
        twoUnitDistractors += candidate >= 200 && candidate < 400;
    QCOMPARE(twoUnitDistractors, choice.count - 1);
}

void TestCandidates::selectedLessonsHaveNoLengthRule()
{
    const WordTable table = bigTable();
    LessonList lessons;
    lessons.build(table);

    // Lessons 0 and 2: rows 0-1 and 7-13, nine words in all, so nine answers use every one.
    lessons.countSelected(flagsFor({0, 2}, lessons.lessonCount()));
    SeededRandom random(17);
    CandidateChoice choice = chooseCandidates(table, lessons, 7, 12, false, random);
    checkChoice(choice, table, lessons, 7, false, 9);
    const QList<int> used = usedSlots(choice);
    QCOMPARE(QSet<int>(used.begin(), used.end()), (QSet<int>{0, 1, 7, 8, 9, 10, 11, 12, 13}));

    // Lesson 3: rows 14-24 of every length; fewer answers than words still mix lengths.
    lessons.countSelected(flagsFor({3}, lessons.lessonCount()));
    QSet<qsizetype> lengthsSeen;
    for (int question = 0; question < 100; ++question) {
        choice = chooseCandidates(table, lessons, 17, 4, false, random);
        checkChoice(choice, table, lessons, 17, false, 4);
        for (int candidate : usedSlots(choice))
            lengthsSeen.insert(table.cell(SimplifiedColumn, candidate).size());
    }
    QCOMPARE(lengthsSeen.size(), qsizetype(8));
}

void TestCandidates::joinFields_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<FieldSet>("fields");
    QTest::addColumn<QString>("expected");

    const QStringList word{u"nǐ hǎo"_s, u"你好"_s, u"你好"_s, u"01"_s, u"здравствуйте"_s};
    const FieldSet none{};
    QTest::newRow("pinyin and simplified")
        << word << FieldSet{true, true, false, false, false} << u"nǐ hǎo 你好"_s;
    QTest::newRow("column order") << word << FieldSet{true, false, false, false, true}
                                  << u"nǐ hǎo здравствуйте"_s;
    QTest::newRow("all five") << word << FieldSet{true, true, true, true, true}
                              << u"nǐ hǎo 你好 你好 01 здравствуйте"_s;
    QTest::newRow("one field") << word << FieldSet{false, false, false, false, true} << u"здравствуйте"_s;
    QTest::newRow("no field") << word << none << QString();

    const QStringList noPinyin{QString(), u"书"_s, QString(), u"02"_s, u"книга"_s};
    QTest::newRow("empty first field, no leading blank")
        << noPinyin << FieldSet{true, false, false, false, true} << u"книга"_s;
    QTest::newRow("empty middle field keeps its blank")
        << noPinyin << FieldSet{false, true, true, false, true} << u"书  книга"_s;
    QTest::newRow("empty last field keeps its blank")
        << noPinyin << FieldSet{false, true, true, false, false} << u"书 "_s;
    QTest::newRow("only an empty field")
        << noPinyin << FieldSet{false, false, true, false, false} << QString();
}

void TestCandidates::joinFields()
{
    QFETCH(QStringList, cells);
    QFETCH(FieldSet, fields);
    QFETCH(QString, expected);

    WordTable table;
    table.setRowCount(3);
    for (int column = 0; column < ColumnCount; ++column) {
        table.setCell(column, 0, u"other"_s);
        table.setCell(column, 1, cells[column]);
        table.setCell(column, 2, u"other"_s);
    }
    QCOMPARE(wordlark::joinFields(table, 1, fields), expected);
}

void TestCandidates::layOutAnswers_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("areaTop");
    QTest::addColumn<int>("areaBottom");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("boxHeight");
    QTest::addColumn<QList<int>>("tops"); // of slots 0, 1, 2, ...

    QTest::newRow("5 candidates") << 5 << 0 << 304 << 3 << 100 << QList<int>{0, 0, 102, 102, 204};
    QTest::newRow("1 candidate takes the whole height") << 1 << 10 << 110 << 1 << 100 << QList<int>{10};
    QTest::newRow("2 candidates share one row") << 2 << 10 << 110 << 1 << 100 << QList<int>{10, 10};
    QTest::newRow("12 candidates") << 12 << 50 << 450 << 6 << 65
                                   << QList<int>{50, 50, 117, 117, 184, 184, 251, 251, 318, 318, 385, 385};
    QTest::newRow("3 candidates, offset area") << 3 << 40 << 141 << 2 << 50 << QList<int>{40, 40, 92};

    // (height - gaps) / rows ending in one half goes to the even neighbour.
    QTest::newRow("49.5 rounds up to 50") << 4 << 0 << 101 << 2 << 50 << QList<int>{0, 0, 52, 52};
    QTest::newRow("48.5 rounds down to 48") << 4 << 0 << 99 << 2 << 48 << QList<int>{0, 0, 50, 50};
    QTest::newRow("50.5 rounds down to 50") << 3 << 0 << 103 << 2 << 50 << QList<int>{0, 0, 52};
    QTest::newRow("51.5 rounds up to 52") << 4 << 0 << 105 << 2 << 52 << QList<int>{0, 0, 54, 54};
    QTest::newRow("26.5 rounds down to 26")
        << 8 << 0 << 112 << 4 << 26 << QList<int>{0, 0, 28, 28, 56, 56, 84, 84};
    QTest::newRow("thirds round to nearest") << 6 << 0 << 105 << 3 << 34 << QList<int>{0, 0, 36, 36, 72, 72};
    QTest::newRow("one third rounds down") << 6 << 0 << 104 << 3 << 33 << QList<int>{0, 0, 35, 35, 70, 70};
}

void TestCandidates::layOutAnswers()
{
    QFETCH(int, count);
    QFETCH(int, areaTop);
    QFETCH(int, areaBottom);
    QFETCH(int, rows);
    QFETCH(int, boxHeight);
    QFETCH(QList<int>, tops);

    const AnswerLayout layout = wordlark::layOutAnswers(count, areaTop, areaBottom);
    QCOMPARE(layout.rows, rows);
    QCOMPARE(layout.boxHeight, boxHeight);
    QList<int> found;
    for (int slot = 0; slot < count; ++slot)
        found.append(layout.top(slot));
    QCOMPARE(found, tops);
}

void TestCandidates::shownField_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("shown");

    const QString limit(MaxShownFieldLength, u'字');
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("short") << u"хорошо"_s << u"хорошо"_s;
    QTest::newRow("exactly the limit") << limit << limit;
    QTest::newRow("one more") << limit + u'x' << limit + u'…';
    QTest::newRow("two megabytes") << QString(2 * 1024 * 1024, u'a')
                                   << QString(MaxShownFieldLength, u'a') + u'…';
    // U+20000 takes two code units; the cut never leaves half of one.
    const QString pairAcrossTheLimit = QString(MaxShownFieldLength - 1, u'a') + u"\U00020000"_s + u'b';
    QTest::newRow("surrogate pair across the limit")
        << pairAcrossTheLimit << QString(MaxShownFieldLength - 1, u'a') + u'…';
}

void TestCandidates::shownField()
{
    QFETCH(QString, cell);
    QFETCH(QString, shown);
    QCOMPARE(wordlark::shownField(cell), shown);
}

QTEST_APPLESS_MAIN(TestCandidates)
#include "tst_candidates.moc"
