#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"
#include "progress/lessonfile.h"
#include "quiz/question.h"
#include "quiz/quizsession.h"

#include <QTest>

#include <limits>
#include <random>

using namespace Qt::StringLiterals;
using namespace wordlark;

namespace {

// For questions that must be settled without a draw.
class FailingRandom final : public RandomSource {
public:
    int below(int bound) override
    {
        QTest::qFail(qPrintable(u"random source used (bound %1)"_s.arg(bound)), __FILE__, __LINE__);
        return 0;
    }
};

// Hands out the given values in turn and remembers the bounds asked for.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(QList<int> values)
        : m_values(std::move(values))
    {
    }
    int below(int bound) override
    {
        bounds.append(bound);
        if (m_values.isEmpty()) {
            QTest::qFail("more draws than scripted", __FILE__, __LINE__);
            return 0;
        }
        return m_values.takeFirst();
    }
    QList<int> bounds;

private:
    QList<int> m_values;
};

FieldSet fieldSet(std::initializer_list<Column> columns)
{
    FieldSet set{};
    for (Column column : columns)
        set[size_t(column)] = true;
    return set;
}

// One row per label; `fullForms` (when given) fills the full-characters column.
WordTable makeTable(const QStringList &labels, const QStringList &fullForms = {})
{
    WordTable table;
    table.setRowCount(int(labels.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        table.setCell(SimplifiedColumn, row, u"字%1"_s.arg(row));
        table.setCell(LessonColumn, row, labels[row]);
        if (row < fullForms.size())
            table.setCell(FullColumn, row, fullForms[row]);
    }
    return table;
}

// Makes the next draw pick `word`, which must be in the queue.
void drawExactly(QuizSession &session, int word)
{
    const qsizetype at = session.queue().indexOf(word);
    QVERIFY(at >= 0);
    if (session.queue().size() == 1) {
        FailingRandom random;
        QVERIFY(session.drawWord(random));
    } else {
        ScriptedRandom random({int(at)});
        QVERIFY(session.drawWord(random));
    }
    QCOMPARE(session.currentWord(), word);
}

} // namespace

Q_DECLARE_METATYPE(FieldSet)

class TestQuizSession final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void setFields_data();
    void setFields();

    void startPassFillsChosenLessonsInListOrder_data();
    void startPassFillsChosenLessonsInListOrder();
    void startPassOnlyWhenPending();
    void startPassClearsMistakes();
    void fullFormOnlyQueue_data();
    void fullFormOnlyQueue();

    void singleWordNeedsNoDraw();
    void emptyQueueDrawsNothing();
    void drawPicksTheDrawnPosition_data();
    void drawPicksTheDrawnPosition();
    void anOrderedPassAsksFromTheFront_data();
    void anOrderedPassAsksFromTheFront();
    void anOrderedPassLastsUntilItEnds_data();
    void anOrderedPassLastsUntilItEnds();

    void rightAnswerRemovesWord();
    void rightAnswerRemovesTheFirstEqualWord_data();
    void rightAnswerRemovesTheFirstEqualWord();
    void lastRightAnswerEndsPass();
    void rightAnswerAfterMissKeepsWord();
    void missedWordLeavesOnLaterRightAnswer();
    void mistakesAddUpAcrossShowings();
    void everyWrongAnswerCounts();
    void countersStopAtTheLargestValue();

    void learnMistakesAfterPass();
    void learnMistakesWithoutRecords_data();
    void learnMistakesWithoutRecords();

    void restore_data();
    void restore();

    void wholePassAsksEveryWordOnce();

    void nextQuestionStartsPassOnce();
    void nextQuestionWithNothingToAsk();
    void rightBox_data();
    void rightBox();
    void typedAnswer_data();
    void typedAnswer();
};

void TestQuizSession::setFields_data()
{
    QTest::addColumn<FieldSet>("question");
    QTest::addColumn<FieldSet>("answer");
    QTest::addColumn<FieldSet>("effectiveAnswer");
    QTest::addColumn<bool>("fullFormOnly");

    QTest::newRow("translation asks for pinyin and characters")
        << fieldSet({TranslationColumn}) << fieldSet({PinyinColumn, SimplifiedColumn})
        << fieldSet({PinyinColumn, SimplifiedColumn}) << false;
    QTest::newRow("field in both counts for the question")
        << fieldSet({SimplifiedColumn}) << fieldSet({SimplifiedColumn, TranslationColumn})
        << fieldSet({TranslationColumn}) << false;
    QTest::newRow("all fields in both")
        << fieldSet({PinyinColumn, SimplifiedColumn, FullColumn, LessonColumn, TranslationColumn})
        << fieldSet({PinyinColumn, SimplifiedColumn, FullColumn, LessonColumn, TranslationColumn})
        << fieldSet({}) << false;
    QTest::newRow("full form alone") << fieldSet({FullColumn}) << fieldSet({PinyinColumn})
                                     << fieldSet({PinyinColumn}) << true;
    QTest::newRow("full form alone, also checked as answer")
        << fieldSet({FullColumn}) << fieldSet({FullColumn, TranslationColumn})
        << fieldSet({TranslationColumn}) << true;
    QTest::newRow("full form with pinyin")
        << fieldSet({PinyinColumn, FullColumn}) << fieldSet({TranslationColumn})
        << fieldSet({TranslationColumn}) << false;
    QTest::newRow("full form with simplified")
        << fieldSet({SimplifiedColumn, FullColumn}) << fieldSet({TranslationColumn})
        << fieldSet({TranslationColumn}) << false;
    QTest::newRow("full form with lesson") << fieldSet({FullColumn, LessonColumn}) << fieldSet({PinyinColumn})
                                           << fieldSet({PinyinColumn}) << false;
    QTest::newRow("full form with translation")
        << fieldSet({FullColumn, TranslationColumn}) << fieldSet({PinyinColumn}) << fieldSet({PinyinColumn})
        << false;
    QTest::newRow("full form only as answer")
        << fieldSet({SimplifiedColumn}) << fieldSet({FullColumn}) << fieldSet({FullColumn}) << false;
    QTest::newRow("no question field")
        << fieldSet({}) << fieldSet({FullColumn}) << fieldSet({FullColumn}) << false;
}

void TestQuizSession::setFields()
{
    QFETCH(FieldSet, question);
    QFETCH(FieldSet, answer);
    QFETCH(FieldSet, effectiveAnswer);
    QFETCH(bool, fullFormOnly);

    QuizSession session;
    // Earlier settings must not leak into the new ones.
    session.setFields(fieldSet({FullColumn}), fieldSet({PinyinColumn, SimplifiedColumn, LessonColumn}));
    session.setFields(question, answer);
    QCOMPARE(session.questionFields(), question);
    QCOMPARE(session.answerFields(), effectiveAnswer);
    QCOMPARE(session.fullFormOnly(), fullFormOnly);
}

void TestQuizSession::startPassFillsChosenLessonsInListOrder_data()
{
    QTest::addColumn<std::vector<bool>>("chosen");
    QTest::addColumn<QList<int>>("queue");

    // Rows 0-1 and 4 are lesson "02" (listed first), rows 2-3 lesson "01", rows 5-6 lesson "03".
    QTest::newRow("all") << std::vector<bool>{true, true, true} << QList<int>{0, 1, 4, 2, 3, 5, 6};
    QTest::newRow("scattered lesson") << std::vector<bool>{true, false, false} << QList<int>{0, 1, 4};
    QTest::newRow("second and third") << std::vector<bool>{false, true, true} << QList<int>{2, 3, 5, 6};
    QTest::newRow("none") << std::vector<bool>{false, false, false} << QList<int>{};
}

void TestQuizSession::startPassFillsChosenLessonsInListOrder()
{
    QFETCH(std::vector<bool>, chosen);
    QFETCH(QList<int>, queue);

    const WordTable table = makeTable({u"02"_s, u"02"_s, u"01"_s, u"01"_s, u"02"_s, u"03"_s, u"03"_s});
    LessonList lessons;
    lessons.build(table);
    lessons.countSelected(chosen);

    QuizSession session;
    QVERIFY(session.newPassPending());
    session.startPassIfPending(lessons, table);
    QCOMPARE(session.queue(), queue);
    QVERIFY(!session.newPassPending());
}

void TestQuizSession::startPassOnlyWhenPending()
{
    const WordTable table = makeTable({u"01"_s, u"01"_s, u"02"_s});
    LessonList lessons;
    lessons.build(table);
    QuizSession session;
    session.startPassIfPending(lessons, table);
    drawExactly(session, 1);
    session.wrongAnswer();

    // A pass under way stays as it is.
    lessons.countSelected({false, true});
    session.startPassIfPending(lessons, table);
    QCOMPARE(session.queue(), (QList<int>{0, 1, 2}));
    QCOMPARE(session.mistakeCount(), 1);

    session.setNewPassPending();
    session.startPassIfPending(lessons, table);
    QCOMPARE(session.queue(), (QList<int>{2}));
}

void TestQuizSession::startPassClearsMistakes()
{
    const WordTable table = makeTable({u"01"_s, u"01"_s, u"01"_s});
    LessonList lessons;
    lessons.build(table);
    QuizSession session;
    session.restore({1}, 4, {{0, 1}, {1, 2}, {2, 1}});
    QVERIFY(!session.newPassPending());

    session.setNewPassPending();
    session.startPassIfPending(lessons, table);
    QCOMPARE(session.queue(), (QList<int>{0, 1, 2}));
    QCOMPARE(session.mistakeCount(), 0);
    QVERIFY(session.mistakes().isEmpty());
    QVERIFY(!session.newPassPending());
}

void TestQuizSession::fullFormOnlyQueue_data()
{
    QTest::addColumn<QStringList>("fullForms");
    QTest::addColumn<std::vector<bool>>("chosen");
    QTest::addColumn<FieldSet>("question");
    QTest::addColumn<QList<int>>("queue");

    // Rows 0-2 are lesson "01", rows 3-5 lesson "02".
    const FieldSet fullOnly = fieldSet({FullColumn});
    const std::vector<bool> both{true, true};
    QTest::newRow("keeps words with a full form")
        << QStringList{{}, u"書"_s, {}, {}, u"們"_s, {}} << both << fullOnly << QList<int>{1, 4};
    QTest::newRow("every word has one") << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s} << both
                                        << fullOnly << QList<int>{0, 1, 2, 3, 4, 5};
    QTest::newRow("no word has one, so all")
        << QStringList{} << both << fullOnly << QList<int>{0, 1, 2, 3, 4, 5};
    QTest::newRow("full forms only outside the chosen lesson")
        << QStringList{{}, {}, {}, u"書"_s, {}, {}} << std::vector<bool>{true, false} << fullOnly
        << QList<int>{0, 1, 2};
    QTest::newRow("full form with simplified asks everything")
        << QStringList{{}, u"書"_s, {}, {}, u"們"_s, {}} << both << fieldSet({SimplifiedColumn, FullColumn})
        << QList<int>{0, 1, 2, 3, 4, 5};
    QTest::newRow("full form as answer asks everything")
        << QStringList{{}, u"書"_s, {}, {}, u"們"_s, {}} << both << fieldSet({PinyinColumn})
        << QList<int>{0, 1, 2, 3, 4, 5};
}

void TestQuizSession::fullFormOnlyQueue()
{
    QFETCH(QStringList, fullForms);
    QFETCH(std::vector<bool>, chosen);
    QFETCH(FieldSet, question);
    QFETCH(QList<int>, queue);

    const WordTable table = makeTable({u"01"_s, u"01"_s, u"01"_s, u"02"_s, u"02"_s, u"02"_s}, fullForms);
    LessonList lessons;
    lessons.build(table);
    lessons.countSelected(chosen);

    QuizSession session;
    session.setFields(question, fieldSet({FullColumn, TranslationColumn}));
    session.startPassIfPending(lessons, table);
    QCOMPARE(session.queue(), queue);
}

void TestQuizSession::singleWordNeedsNoDraw()
{
    QuizSession session;
    session.restore({7}, 0, {});
    FailingRandom random;
    QVERIFY(session.drawWord(random));
    QCOMPARE(session.currentWord(), 7);
    QVERIFY(session.hasCurrentWord());
    QVERIFY(session.drawWord(random));
    QCOMPARE(session.currentWord(), 7);
}

void TestQuizSession::emptyQueueDrawsNothing()
{
    QuizSession session;
    FailingRandom random;
    session.restore({}, 0, {});
    QVERIFY(!session.drawWord(random));
    QVERIFY(!session.hasCurrentWord());

    // After a pass has ended, no word of it stays current.
    session.restore({3}, 0, {});
    QVERIFY(session.drawWord(random));
    QVERIFY(session.rightAnswer());
    QVERIFY(!session.drawWord(random));
    QVERIFY(!session.hasCurrentWord());
}

void TestQuizSession::drawPicksTheDrawnPosition_data()
{
    QTest::addColumn<int>("drawn");
    QTest::addColumn<int>("word");

    QTest::newRow("first") << 0 << 5;
    QTest::newRow("middle") << 1 << 9;
    QTest::newRow("last") << 2 << 11;
}

void TestQuizSession::drawPicksTheDrawnPosition()
{
    QFETCH(int, drawn);
    QFETCH(int, word);

    QuizSession session;
    session.restore({5, 9, 11}, 0, {});
    ScriptedRandom random({drawn});
    QVERIFY(session.drawWord(random));
    QCOMPARE(session.currentWord(), word);
    QCOMPARE(random.bounds, (QList<int>{3}));
    QCOMPARE(session.queue(), (QList<int>{5, 9, 11}));
}

// Each step: a word right at once ('r') or missed first and then answered right ('m'). The words come
// from the front of the queue without a draw, and a missed one comes back after the others.
void TestQuizSession::anOrderedPassAsksFromTheFront_data()
{
    QTest::addColumn<QList<int>>("queue");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QList<int>>("asked");

    QTest::newRow("all right") << QList<int>{9, 2, 7} << u"rrr"_s << QList<int>{9, 2, 7};
    QTest::newRow("first missed") << QList<int>{9, 2, 7} << u"mrrr"_s << QList<int>{9, 2, 7, 9};
    QTest::newRow("missed twice") << QList<int>{9, 2, 7} << u"rmmrr"_s << QList<int>{9, 2, 7, 2, 7};
    QTest::newRow("the last missed") << QList<int>{4, 1} << u"rmmr"_s << QList<int>{4, 1, 1, 1};
}

void TestQuizSession::anOrderedPassAsksFromTheFront()
{
    QFETCH(QList<int>, queue);
    QFETCH(QString, answers);
    QFETCH(QList<int>, asked);

    QuizSession session;
    session.restore(queue, 0, {}, DrawOrder::QueueOrder);
    FailingRandom random;
    QList<int> seen;
    bool ended = false;
    for (const QChar answer : answers) {
        QVERIFY(!ended);
        QVERIFY(session.drawWord(random));
        seen.append(session.currentWord());
        if (answer == u'm')
            session.wrongAnswer();
        ended = session.rightAnswer();
        session.clearMissedThisQuestion();
    }
    QCOMPARE(seen, asked);
    QVERIFY(ended);
}

// The order belongs to the pass it was given with: the pass after it, a review of its missed words and
// a saved lesson draw at random again.
void TestQuizSession::anOrderedPassLastsUntilItEnds_data()
{
    QTest::addColumn<QString>("next");
    QTest::newRow("new pass") << u"new pass"_s;
    QTest::newRow("review of the missed words") << u"review"_s;
    QTest::newRow("saved lesson") << u"restore"_s;
}

void TestQuizSession::anOrderedPassLastsUntilItEnds()
{
    QFETCH(QString, next);
    const WordTable table = makeTable({u"01"_s, u"01"_s, u"01"_s});
    LessonList lessons;
    lessons.build(table);
    lessons.countSelected({true});

    QuizSession session;
    session.restore({2, 0}, 0, {}, DrawOrder::QueueOrder);
    QCOMPARE(session.drawOrder(), DrawOrder::QueueOrder);
    // Both words missed once, then both right.
    FailingRandom noDraw;
    for (int showing = 0; showing < 2; ++showing) {
        QVERIFY(session.drawWord(noDraw));
        session.wrongAnswer();
        QVERIFY(!session.rightAnswer());
        session.clearMissedThisQuestion();
    }
    QVERIFY(session.drawWord(noDraw));
    QVERIFY(!session.rightAnswer());
    QVERIFY(session.drawWord(noDraw));
    QVERIFY(session.rightAnswer());

    if (next == u"new pass"_s)
        session.startPassIfPending(lessons, table);
    else if (next == u"review"_s)
        QVERIFY(session.learnMistakes());
    else
        session.restore({0, 1, 2}, 0, {});
    QCOMPARE(session.drawOrder(), DrawOrder::Random);
    ScriptedRandom random({int(session.queue().size()) - 1});
    QVERIFY(session.drawWord(random));
    QCOMPARE(session.currentWord(), session.queue().constLast());
}

void TestQuizSession::rightAnswerRemovesWord()
{
    QuizSession session;
    session.restore({1, 2, 3}, 0, {});
    drawExactly(session, 2);
    QVERIFY(!session.rightAnswer());
    QCOMPARE(session.queue(), (QList<int>{1, 3}));
    QVERIFY(!session.newPassPending());
    QCOMPARE(session.mistakeCount(), 0);
}

void TestQuizSession::rightAnswerRemovesTheFirstEqualWord_data()
{
    QTest::addColumn<QList<int>>("queue");
    QTest::addColumn<int>("drawn");
    QTest::addColumn<QList<int>>("left");

    // A lesson file may bring a queue in which a word stands twice.
    QTest::newRow("repeat drawn at its second place") << QList<int>{5, 3, 5} << 2 << QList<int>{3, 5};
    QTest::newRow("repeat drawn at its first place") << QList<int>{5, 3, 5} << 0 << QList<int>{3, 5};
    QTest::newRow("other repeat drawn last") << QList<int>{5, 3, 5, 3} << 3 << QList<int>{5, 5, 3};
    QTest::newRow("three times") << QList<int>{7, 7, 7} << 1 << QList<int>{7, 7};
    QTest::newRow("no repeats") << QList<int>{4, 6, 8} << 2 << QList<int>{4, 6};
}

void TestQuizSession::rightAnswerRemovesTheFirstEqualWord()
{
    QFETCH(QList<int>, queue);
    QFETCH(int, drawn);
    QFETCH(QList<int>, left);

    QuizSession session;
    session.restore(queue, 0, {});
    ScriptedRandom random({drawn});
    QVERIFY(session.drawWord(random));
    QCOMPARE(session.currentWord(), queue.at(drawn));
    QVERIFY(!session.rightAnswer());
    QCOMPARE(session.queue(), left);
}

void TestQuizSession::lastRightAnswerEndsPass()
{
    QuizSession session;
    session.restore({4}, 2, {{4, 2}});
    drawExactly(session, 4);
    QVERIFY(session.rightAnswer());
    QVERIFY(session.queue().isEmpty());
    QVERIFY(session.newPassPending());
    // The records of the ended pass stay for a review.
    QCOMPARE(session.mistakes(), (QList<MistakeRecord>{{4, 2}}));
}

void TestQuizSession::rightAnswerAfterMissKeepsWord()
{
    QuizSession session;
    session.restore({1, 2}, 0, {});
    drawExactly(session, 1);
    session.wrongAnswer();
    QVERIFY(!session.rightAnswer());
    QCOMPARE(session.queue(), (QList<int>{1, 2}));
    QCOMPARE(session.mistakeCount(), 1);
    QCOMPARE(session.mistakes(), (QList<MistakeRecord>{{1, 1}}));
    QVERIFY(!session.newPassPending());

    // Also as the last word of a pass: the pass goes on.
    session.restore({8}, 0, {});
    drawExactly(session, 8);
    session.wrongAnswer();
    QVERIFY(!session.rightAnswer());
    QCOMPARE(session.queue(), (QList<int>{8}));
    QVERIFY(!session.newPassPending());
}

void TestQuizSession::missedWordLeavesOnLaterRightAnswer()
{
    QuizSession session;
    session.restore({1, 2}, 0, {});
    drawExactly(session, 1);
    session.wrongAnswer();
    session.clearMissedThisQuestion();
    drawExactly(session, 1);
    QVERIFY(!session.rightAnswer());
    QCOMPARE(session.queue(), (QList<int>{2}));
    QCOMPARE(session.mistakes(), (QList<MistakeRecord>{{1, 1}}));
}

void TestQuizSession::mistakesAddUpAcrossShowings()
{
    QuizSession session;
    session.restore({3, 5, 8, 9}, 0, {});
    for (int word : {5, 3, 5, 8, 5, 3}) {
        drawExactly(session, word);
        session.wrongAnswer();
        session.clearMissedThisQuestion();
    }
    QCOMPARE(session.mistakeCount(), 6);
    QCOMPARE(session.mistakes(), (QList<MistakeRecord>{{5, 3}, {3, 2}, {8, 1}}));
    QCOMPARE(session.queue(), (QList<int>{3, 5, 8, 9}));
}

void TestQuizSession::everyWrongAnswerCounts()
{
    QuizSession session;
    session.restore({3, 5}, 0, {});
    drawExactly(session, 5);
    session.wrongAnswer();
    session.wrongAnswer();
    session.wrongAnswer();
    QCOMPARE(session.mistakeCount(), 3);
    QCOMPARE(session.mistakes().size(), qsizetype(1));
    QCOMPARE(session.mistakes().front().word, 5);
}

// A lesson file may carry counters up to the largest value; further mistakes leave them there, and the
// progress still makes a lesson file that opens again.
void TestQuizSession::countersStopAtTheLargestValue()
{
    constexpr int largest = std::numeric_limits<int>::max();
    QuizSession session;
    session.restore({3, 5}, largest, {{5, largest}});
    drawExactly(session, 5);
    session.wrongAnswer();
    session.wrongAnswer();
    drawExactly(session, 3);
    session.wrongAnswer();
    QCOMPARE(session.mistakeCount(), largest);
    QCOMPARE(session.mistakes(), (QList<MistakeRecord>{{5, largest}, {3, 1}}));

    const LessonProgress saved{u"Dictionary/Dict.dic"_s, session.queue(), session.mistakeCount(),
                               session.mistakes()};
    const Result<LessonProgress> reopened = parseLessonFile(serializeLessonFile(saved), 10, u"x.ke4"_s);
    QCOMPARE(reopened.error(), QString());
    QCOMPARE(*reopened, saved);
}

void TestQuizSession::learnMistakesAfterPass()
{
    QuizSession session;
    session.restore({3, 5, 8}, 0, {});
    for (int word : {8, 3, 8, 5}) {
        drawExactly(session, word);
        session.wrongAnswer();
        session.clearMissedThisQuestion();
    }
    for (int word : {3, 5, 8}) {
        drawExactly(session, word);
        session.rightAnswer();
    }
    QVERIFY(session.newPassPending());

    QVERIFY(session.learnMistakes());
    QCOMPARE(session.queue(), (QList<int>{8, 3, 5}));
    QVERIFY(session.mistakes().isEmpty());
    QCOMPARE(session.mistakeCount(), 0);
    QVERIFY(!session.newPassPending());

    // A second call has nothing left to learn.
    QVERIFY(!session.learnMistakes());
    QCOMPARE(session.queue(), (QList<int>{8, 3, 5}));
}

void TestQuizSession::learnMistakesWithoutRecords_data()
{
    QTest::addColumn<bool>("pending");

    QTest::newRow("during a pass") << false;
    QTest::newRow("after a pass") << true;
}

void TestQuizSession::learnMistakesWithoutRecords()
{
    QFETCH(bool, pending);

    QuizSession session;
    session.restore({1, 2}, 4, {});
    if (pending)
        session.setNewPassPending();

    QVERIFY(!session.learnMistakes());
    QCOMPARE(session.queue(), (QList<int>{1, 2}));
    QCOMPARE(session.mistakeCount(), 4);
    QCOMPARE(session.newPassPending(), pending);
}

void TestQuizSession::restore_data()
{
    QTest::addColumn<QList<int>>("queue");
    QTest::addColumn<int>("mistakeCount");
    QTest::addColumn<QList<MistakeRecord>>("mistakes");

    QTest::newRow("pass under way") << QList<int>{17, 4, 25} << 2 << QList<MistakeRecord>{{9, 2}};
    QTest::newRow("no mistakes") << QList<int>{0} << 0 << QList<MistakeRecord>{};
    QTest::newRow("empty queue") << QList<int>{} << 3 << QList<MistakeRecord>{{1, 1}, {2, 2}};
    QTest::newRow("nothing at all") << QList<int>{} << 0 << QList<MistakeRecord>{};
}

void TestQuizSession::restore()
{
    QFETCH(QList<int>, queue);
    QFETCH(int, mistakeCount);
    QFETCH(QList<MistakeRecord>, mistakes);

    // A session with progress of its own, which the restored one replaces.
    QuizSession session;
    session.restore({40, 41, 42}, 0, {});
    drawExactly(session, 41);
    session.wrongAnswer();
    session.clearMissedThisQuestion();
    drawExactly(session, 42);
    session.wrongAnswer();
    session.clearMissedThisQuestion();

    session.restore(queue, mistakeCount, mistakes);
    QCOMPARE(session.queue(), queue);
    QCOMPARE(session.mistakeCount(), mistakeCount);
    QCOMPARE(session.mistakes(), mistakes);
    QCOMPARE(session.newPassPending(), queue.isEmpty());
}

void TestQuizSession::wholePassAsksEveryWordOnce()
{
    QStringList labels;
    for (int row = 0; row < 20; ++row)
        labels.append(row < 12 ? u"01"_s : u"02"_s);
    const WordTable table = makeTable(labels);
    LessonList lessons;
    lessons.build(table);

    QuizSession session;
    SeededRandom random(20240611);
    session.startPassIfPending(lessons, table);
    QList<int> asked;
    bool ended = false;
    while (!ended && asked.size() < 100) {
        QVERIFY(session.drawWord(random));
        QVERIFY(!asked.contains(session.currentWord()));
        asked.append(session.currentWord());
        ended = session.rightAnswer();
    }
    QCOMPARE(asked.size(), qsizetype(20));
    QVERIFY(session.newPassPending());
    QVERIFY(!session.drawWord(random));

    session.startPassIfPending(lessons, table);
    QCOMPARE(session.queue().size(), qsizetype(20));
}

namespace {

// Two lessons of words whose pinyin and translation are given; simplified forms are all distinct.
WordTable wordsOf(const QList<std::pair<QString, QString>> &pinyinAndTranslation)
{
    WordTable table = makeTable(QStringList(pinyinAndTranslation.size(), u"01"_s));
    for (int row = 0; row < table.rowCount(); ++row) {
        table.setCell(PinyinColumn, row, pinyinAndTranslation[row].first);
        table.setCell(TranslationColumn, row, pinyinAndTranslation[row].second);
    }
    return table;
}

LessonList allLessons(const WordTable &table)
{
    LessonList lessons;
    lessons.build(table);
    lessons.countSelected(std::vector<bool>(size_t(lessons.lessonCount()), true));
    return lessons;
}

} // namespace

void TestQuizSession::nextQuestionStartsPassOnce()
{
    const WordTable table = wordsOf({{u"hǎo"_s, u"хорошо"_s}, {u"nǐ"_s, u"ты"_s}, {u"wǒ"_s, u"я"_s}});
    const LessonList lessons = allLessons(table);
    QuizSession session;
    QuizSettings settings;
    settings.questionFields = fieldSet({TranslationColumn, PinyinColumn});
    settings.answerFields = fieldSet({PinyinColumn, SimplifiedColumn});
    SeededRandom random(7);

    const NextQuestion first = nextQuestion(session, settings, lessons, table, random);
    QVERIFY(first.passStarted);
    QCOMPARE(first.remaining, 3);
    const Question &question = first.question;
    QCOMPARE(question.word, session.currentWord());
    QCOMPARE(question.count(), 3);
    // Pinyin ticked for both counts for the question only.
    QCOMPARE(question.answerFields, fieldSet({SimplifiedColumn}));
    QCOMPARE(question.questionText, joinFields(table, question.word, question.questionFields));
    QCOMPARE(question.rightAnswerText, table.cell(SimplifiedColumn, question.word));
    QCOMPARE(question.boxTexts[size_t(question.choice.rightSlot)], question.rightAnswerText);
    QVERIFY(question.isRightBox(question.choice.rightSlot + 1));

    session.wrongAnswer();
    const NextQuestion second = nextQuestion(session, settings, lessons, table, random);
    QVERIFY(!second.passStarted);
    QCOMPARE(session.mistakeCount(), 1);
    QVERIFY(!session.missedThisQuestion());
}

void TestQuizSession::nextQuestionWithNothingToAsk()
{
    const WordTable table = wordsOf({{u"hǎo"_s, u"хорошо"_s}});
    LessonList lessons = allLessons(table);
    lessons.countSelected({false});
    QuizSession session;
    FailingRandom random;
    const NextQuestion next = nextQuestion(session, QuizSettings{}, lessons, table, random);
    QCOMPARE(next.remaining, 0);
    QVERIFY(!next.question.hasWord());
    QCOMPARE(next.question.count(), 0);
    QVERIFY(!next.question.isRightBox(1));
    QVERIFY(!next.question.isRightTypedAnswer(QString()));
}

void TestQuizSession::rightBox_data()
{
    QTest::addColumn<FieldSet>("questionFields");
    QTest::addColumn<FieldSet>("answerFields");
    QTest::addColumn<bool>("secondBoxRight");
    QTest::addColumn<bool>("thirdBoxRight");
    // Word 0 is asked; word 1 shares its pinyin, word 2 its translation.
    QTest::newRow("same answer text, same question text")
        << fieldSet({TranslationColumn}) << fieldSet({PinyinColumn}) << true << true;
    QTest::newRow("same question text only")
        << fieldSet({TranslationColumn}) << fieldSet({SimplifiedColumn}) << false << true;
    QTest::newRow("texts differ") << fieldSet({SimplifiedColumn})
                                  << fieldSet({PinyinColumn, TranslationColumn}) << false << false;
}

void TestQuizSession::rightBox()
{
    QFETCH(FieldSet, questionFields);
    QFETCH(FieldSet, answerFields);
    QFETCH(bool, secondBoxRight);
    QFETCH(bool, thirdBoxRight);
    const WordTable table = wordsOf({{u"shì"_s, u"быть"_s}, {u"shì"_s, u"дело"_s}, {u"zài"_s, u"быть"_s}});
    const LessonList lessons = allLessons(table);
    QuizSettings settings;
    settings.questionFields = questionFields;
    settings.answerFields = answerFields;
    settings.maxAnswers = 3;
    // Ask word 0 with the candidates 0, 1, 2 in that order: the draw, the right slot, then distractors
    // (every simplified form has two characters, so the length rule lets them all through).
    QuizSession session;
    ScriptedRandom random({0, 0, 1, 2});
    const Question question = nextQuestion(session, settings, lessons, table, random).question;
    QCOMPARE(question.word, 0);
    QCOMPARE(QList<int>(question.choice.slots.begin(), question.choice.slots.begin() + 3),
             (QList<int>{0, 1, 2}));
    QVERIFY(question.isRightBox(1));
    QCOMPARE(question.isRightBox(2), secondBoxRight);
    QCOMPARE(question.isRightBox(3), thirdBoxRight);
    QVERIFY(!question.isRightBox(4));
}

void TestQuizSession::typedAnswer_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("right");
    QTest::newRow("exact") << u"你们"_s << true;
    QTest::newRow("trailing blank") << u"你们 "_s << false;
    QTest::newRow("full form") << u"你們"_s << false;
    QTest::newRow("empty") << QString() << false;
}

void TestQuizSession::typedAnswer()
{
    QFETCH(QString, typed);
    QFETCH(bool, right);
    WordTable table = wordsOf({{u"nǐmen"_s, u"вы"_s}});
    table.setCell(SimplifiedColumn, 0, u"你们"_s);
    QuizSession session;
    SeededRandom random(1);
    const Question question =
        nextQuestion(session, QuizSettings{}, allLessons(table), table, random).question;
    QCOMPARE(question.isRightTypedAnswer(typed), right);
    // One placeholder per character of the simplified form, whatever the fields.
    QCOMPARE(question.mask(), QString(2, QChar(0x7F)));
}

QTEST_APPLESS_MAIN(TestQuizSession)
#include "tst_quizsession.moc"
