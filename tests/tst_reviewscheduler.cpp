#include "journal/reviewscheduler.h"

#include <QDateTime>
#include <QTest>

using namespace wordlark;

namespace {

constexpr ReviewGrade Good = ReviewGrade::Good;
constexpr ReviewGrade Again = ReviewGrade::Again;
constexpr qint64 DayMs = 86'400'000;

// One review and the state it must leave. Times are ms after the first moment of the sequence,
// 2026-01-05 10:00 UTC.
struct Step {
    ReviewGrade grade;
    qint64 atMs;
    double stability;
    double difficulty;
    int intervalDays;
    qint64 dueMs;
    int lapses;
};

qint64 sequenceStart()
{
    return QDateTime(QDate(2026, 1, 5), QTime(10, 0), Qt::UTC).toMSecsSinceEpoch();
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestReviewScheduler final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void followsTheReferenceModel_data();
    void followsTheReferenceModel();
    void calendarDaysCountMidnightsNotHours_data();
    void calendarDaysCountMidnightsNotHours();
    void recallIsCertainAtOnceAndNinetyPercentAfterTheStability();
    void intervalsStopGrowingAtTheCap();
};

// The expected numbers were computed once with the model's reference implementation (ts-fsrs 5.4.2,
// default weights, retention 0.9, no short-term steps, no fuzz), replaying each sequence at these times.
void TestReviewScheduler::followsTheReferenceModel_data()
{
    QTest::addColumn<QList<Step>>("steps");

    QTest::newRow("good at every due time") << QList<Step>({
        {Good, 0, 2.3065, 2.11810397, 3, 259200000, 0},
        {Good, 259200000, 13.82690327, 2.11121424, 14, 1468800000, 0},
        {Good, 1468800000, 56.95670978, 2.1043314, 57, 6393600000, 0},
        {Good, 6393600000, 196.23528243, 2.09745544, 196, 23328000000, 0},
    });
    QTest::newRow("missed when new, then good") << QList<Step>({
        {Again, 0, 0.212, 6.4133, 1, 86400000, 0},
        {Good, 86400000, 1.88678762, 6.40211507, 3, 345600000, 0},
        {Good, 345600000, 7.63823104, 6.39094132, 8, 1036800000, 0},
        {Good, 1036800000, 21.60782969, 6.37977875, 22, 2937600000, 0},
    });
    QTest::newRow("a lapse after two good reviews") << QList<Step>({
        {Good, 0, 2.3065, 2.11810397, 3, 259200000, 0},
        {Good, 259200000, 13.82690327, 2.11121424, 14, 1468800000, 0},
        {Again, 1468800000, 1.72636178, 7.39223814, 2, 1641600000, 1},
        {Good, 1641600000, 5.12376438, 7.38007427, 5, 2073600000, 1},
        {Good, 2073600000, 12.60302867, 7.36792257, 13, 3196800000, 1},
    });
    QTest::newRow("several showings on one day") << QList<Step>({
        {Good, 0, 2.3065, 2.11810397, 3, 259200000, 0},
        {Good, 3600000, 2.3065, 2.11121424, 3, 262800000, 0},
        {Again, 10800000, 0.52348156, 7.39223814, 1, 97200000, 1},
        {Good, 14400000, 0.52348156, 7.38007427, 3, 273600000, 1},
    });
    QTest::newRow("missed three days running") << QList<Step>({
        {Again, 0, 0.212, 6.4133, 1, 86400000, 0},
        {Again, 86400000, 0.10088579, 8.80630447, 1, 172800000, 1},
        {Again, 172800000, 0.05503453, 9.59286876, 1, 259200000, 2},
    });
    QTest::newRow("long overdue") << QList<Step>({
        {Good, 0, 2.3065, 2.11810397, 3, 259200000, 0},
        {Good, 8640000000, 51.05843222, 2.11121424, 51, 13046400000, 0},
        {Again, 43200000000, 4.12929, 7.39223814, 4, 43545600000, 1},
        {Good, 43372800000, 7.75316415, 7.38007427, 8, 44064000000, 1},
    });
    QTest::newRow("reviewed before due") << QList<Step>({
        {Good, 0, 2.3065, 2.11810397, 3, 259200000, 0},
        {Good, 259200000, 13.82690327, 2.11121424, 14, 1468800000, 0},
        {Good, 345600000, 18.16028596, 2.1043314, 18, 1900800000, 0},
        {Good, 432000000, 22.3389952, 2.09745544, 22, 2332800000, 0},
    });
    QTest::newRow("two minutes across midnight count as a day") << QList<Step>({
        {Good, 50340000, 2.3065, 2.11810397, 3, 309540000, 0},
        {Good, 50460000, 7.31530068, 2.11121424, 7, 655260000, 0},
    });
}

void TestReviewScheduler::followsTheReferenceModel()
{
    QFETCH(QList<Step>, steps);
    const qint64 start = sequenceStart();
    WordMemory memory;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const Step &step = steps[i];
        const WordMemory before = memory;
        memory = ReviewScheduler::review(memory, step.grade, start + step.atMs);
        const QByteArray where = "review " + QByteArray::number(i + 1);
        QVERIFY2(qAbs(memory.stability - step.stability) < 1e-7,
                 (where + " stability " + QByteArray::number(memory.stability, 'g', 12)).constData());
        QVERIFY2(qAbs(memory.difficulty - step.difficulty) < 1e-7,
                 (where + " difficulty " + QByteArray::number(memory.difficulty, 'g', 12)).constData());
        QCOMPARE(memory.scheduledDays, step.intervalDays);
        QCOMPARE(memory.dueMs - start, step.dueMs);
        QCOMPARE(memory.lapses, step.lapses);
        QCOMPARE(memory.repetitions, before.repetitions + 1);
        QCOMPARE(memory.lastReviewMs, start + step.atMs);
    }
}

void TestReviewScheduler::calendarDaysCountMidnightsNotHours_data()
{
    QTest::addColumn<QDateTime>("from");
    QTest::addColumn<QDateTime>("to");
    QTest::addColumn<int>("days");

    const auto utc = [](int y, int m, int d, int h, int min) {
        return QDateTime(QDate(y, m, d), QTime(h, min), Qt::UTC);
    };
    QTest::newRow("same day") << utc(2026, 3, 1, 0, 0) << utc(2026, 3, 1, 23, 59) << 0;
    QTest::newRow("over midnight") << utc(2026, 3, 1, 23, 59) << utc(2026, 3, 2, 0, 1) << 1;
    QTest::newRow("47 hours") << utc(2026, 3, 1, 0, 30) << utc(2026, 3, 2, 23, 30) << 1;
    QTest::newRow("leap day") << utc(2028, 2, 28, 12, 0) << utc(2028, 3, 1, 12, 0) << 2;
    QTest::newRow("before 1970") << utc(1969, 12, 31, 23, 0) << utc(1970, 1, 1, 1, 0) << 1;
}

void TestReviewScheduler::calendarDaysCountMidnightsNotHours()
{
    QFETCH(QDateTime, from);
    QFETCH(QDateTime, to);
    QFETCH(int, days);
    QCOMPARE(ReviewScheduler::calendarDaysBetween(from.toMSecsSinceEpoch(), to.toMSecsSinceEpoch()), days);
}

void TestReviewScheduler::recallIsCertainAtOnceAndNinetyPercentAfterTheStability()
{
    QCOMPARE(ReviewScheduler::retrievability(0, 5), 1.0);
    QVERIFY(qAbs(ReviewScheduler::retrievability(5, 5) - ReviewScheduler::DesiredRetention) < 1e-6);
    QVERIFY(ReviewScheduler::retrievability(50, 5) < ReviewScheduler::retrievability(10, 5));
}

void TestReviewScheduler::intervalsStopGrowingAtTheCap()
{
    WordMemory memory;
    qint64 now = sequenceStart();
    for (int i = 0; i < 12; ++i) {
        memory = ReviewScheduler::review(memory, Good, now);
        now = memory.dueMs;
    }
    // The stability stops at the cap; Good is kept a day above Hard, which stops at the cap, as the
    // reference does.
    QCOMPARE(memory.stability, 36500.0);
    QCOMPARE(memory.scheduledDays, ReviewScheduler::MaximumIntervalDays + 1);
    QCOMPARE(memory.dueMs - memory.lastReviewMs, (ReviewScheduler::MaximumIntervalDays + 1) * DayMs);
}

QTEST_GUILESS_MAIN(TestReviewScheduler)
#include "tst_reviewscheduler.moc"
