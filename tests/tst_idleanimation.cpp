#include "lessonchoice.h"

#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"
#include "quiz/quizsession.h"
#include "ui/idleanimation.h"

#include <QTest>

using namespace wordlark;

namespace {

const QSize kScreen(1024, 768);

// Answers the given draws in order, then the highest value of each bound: no mode ever changes by chance.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(QList<int> script)
        : m_script(std::move(script))
    {
    }
    int below(int bound) override { return m_script.isEmpty() ? bound - 1 : m_script.takeFirst(); }

private:
    QList<int> m_script;
};

// The cells from (from) to (to), both included, one cell of 100 pixels apart.
QList<QPoint> leg(QPoint from, QPoint to)
{
    const QPoint step((to.x() > from.x()) - (to.x() < from.x()), (to.y() > from.y()) - (to.y() < from.y()));
    QList<QPoint> cells{from};
    for (QPoint at = from; at != to; cells.append(at))
        at += step * 100;
    return cells;
}

QList<QPoint> walkUntilScatter(AnimationWalk &walk, int cellSize, QSize area, int maxCells = 100000)
{
    QList<QPoint> cells;
    while (!walk.scatter() && cells.size() < maxCells) {
        cells.append(walk.position());
        walk.advance(cellSize, area);
    }
    return cells;
}

// A dictionary of one lesson with the given simplified forms.
struct OneLesson {
    explicit OneLesson(const QStringList &words)
    {
        table.setRowCount(int(words.size()));
        for (int row = 0; row < words.size(); ++row) {
            table.setCell(SimplifiedColumn, row, words[row]);
            table.setCell(LessonColumn, row, QStringLiteral("01"));
        }
        lessons.build(table);
        lessons.countSelected(testutil::flagsFor({0}, 1));
    }
    WordTable table;
    LessonList lessons;
};

// An animation with cells of 100 pixels that has covered the screen once and now scatters.
IdleAnimation scatteringAnimation(const OneLesson &words)
{
    IdleAnimation animation;
    SeededRandom random(7);
    animation.initialise(random);
    animation.setCellSize(100);
    animation.setPath(AnimationWalk::Path::Rows);
    ScriptedRandom noChange({});
    // Bounded, so that a walk that never scatters fails the callers' checks instead of hanging.
    for (int tick = 0; tick < 100000 && !animation.walk().scatter(); ++tick)
        animation.tick(noChange, kScreen, words.lessons, words.table);
    return animation;
}

} // namespace

class IdleAnimationTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowsCoverTheScreenThenScatter();
    void spiralWindsInwardsThenScatters();
    void everyWalkEnds_data();
    void everyWalkEnds();
    void roundsToTheNearestCellHalvesToEven_data();
    void roundsToTheNearestCellHalvesToEven();
    void scatteredCellsLieOnTheGrid();
    void modeChangesMayRestartThePath_data();
    void modeChangesMayRestartThePath();
    void drawsNothingWithoutCharacters_data();
    void drawsNothingWithoutCharacters();
    void fadesInAndOutInThirteenTicks_data();
    void fadesInAndOutInThirteenTicks();
    void startsWhenIdleOrInTheCorner_data();
    void startsWhenIdleOrInTheCorner();
};

void IdleAnimationTest::rowsCoverTheScreenThenScatter()
{
    AnimationWalk walk;
    walk.reset(AnimationWalk::Path::Rows);
    QList<QPoint> expected;
    for (int y = 0; y <= 700; y += 100)
        expected += leg({0, y}, {1000, y});
    QCOMPARE(walkUntilScatter(walk, 100, kScreen), expected);
    QCOMPARE(walk.position(), QPoint(0, 0));
}

void IdleAnimationTest::spiralWindsInwardsThenScatters()
{
    AnimationWalk walk;
    walk.reset(AnimationWalk::Path::Spiral);
    // The corners of the top row and the right column are visited twice: there the spiral learns the
    // screen's width and height.
    const QList<QPoint> expected =
        leg({0, 0}, {1000, 0}) + leg({1000, 0}, {1000, 700}) + leg({1000, 700}, {0, 700}) +
        leg({0, 600}, {0, 100}) + leg({100, 100}, {900, 100}) + leg({900, 200}, {900, 600}) +
        leg({800, 600}, {100, 600}) + leg({100, 500}, {100, 200}) + leg({200, 200}, {800, 200}) +
        leg({800, 300}, {800, 500}) + leg({700, 500}, {200, 500}) + leg({200, 400}, {200, 300}) +
        leg({300, 300}, {700, 300}) + leg({700, 400}, {700, 400}) + leg({600, 400}, {300, 400}) +
        leg({400, 400}, {500, 400});
    QCOMPARE(walkUntilScatter(walk, 100, kScreen), expected);
}

void IdleAnimationTest::everyWalkEnds_data()
{
    QTest::addColumn<AnimationWalk::Path>("path");
    QTest::addColumn<QSize>("area");
    const QSize areas[] = {{1024, 768}, {1280, 1024}, {1920, 1080}, {800, 600},
                           {1000, 700}, {100, 40},    {1, 1}};
    for (const AnimationWalk::Path path : {AnimationWalk::Path::Rows, AnimationWalk::Path::Spiral})
        for (const QSize area : areas)
            QTest::addRow("%s %dx%d", path == AnimationWalk::Path::Rows ? "rows" : "spiral", area.width(),
                          area.height())
                << path << area;
}

void IdleAnimationTest::everyWalkEnds()
{
    QFETCH(AnimationWalk::Path, path);
    QFETCH(QSize, area);
    for (int size = IdleAnimation::MinCellSize;
         size < IdleAnimation::MinCellSize + IdleAnimation::CellSizeRange; ++size) {
        AnimationWalk walk;
        walk.reset(path);
        // Each cell of the grid once, and the spiral's corners and last leg again.
        const int gridCells = (area.width() / size + 2) * (area.height() / size + 2);
        const QList<QPoint> cells = walkUntilScatter(walk, size, area, 2 * gridCells);
        QVERIFY2(walk.scatter(), qPrintable(QStringLiteral("cell size %1").arg(size)));
        for (const QPoint cell : cells)
            QVERIFY(cell.x() >= 0 && cell.y() >= 0 && cell.x() <= area.width() && cell.y() <= area.height());
    }
}

void IdleAnimationTest::roundsToTheNearestCellHalvesToEven_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("cellSize");
    QTest::addColumn<int>("rounded");
    QTest::newRow("zero") << 0 << 100 << 0;
    QTest::newRow("below half") << 49 << 100 << 0;
    QTest::newRow("half to even zero") << 50 << 100 << 0;
    QTest::newRow("above half") << 51 << 100 << 100;
    QTest::newRow("half up to even") << 150 << 100 << 200;
    QTest::newRow("half down to even") << 250 << 100 << 200;
    QTest::newRow("last pixel") << 1023 << 100 << 1000;
    QTest::newRow("odd size has no half") << 46 << 31 << 31;
    QTest::newRow("half of 30 at an odd multiple") << 45 << 30 << 60;
    QTest::newRow("half of 30 at an even multiple") << 75 << 30 << 60;
}

void IdleAnimationTest::roundsToTheNearestCellHalvesToEven()
{
    QFETCH(int, value);
    QFETCH(int, cellSize);
    QFETCH(int, rounded);
    QCOMPARE(roundToCell(value, cellSize), rounded);
}

void IdleAnimationTest::scatteredCellsLieOnTheGrid()
{
    const OneLesson words({QStringLiteral("好"), QStringLiteral("他们"), QStringLiteral("学校")});
    IdleAnimation animation = scatteringAnimation(words);
    SeededRandom random(11);
    QSet<int> sizes;
    int drawn = 0;
    // Long enough for the cell size to change by chance several times.
    for (int tick = 0; tick < 30000; ++tick) {
        const std::optional<AnimationCell> cell = animation.tick(random, kScreen, words.lessons, words.table);
        QVERIFY(cell);
        QCOMPARE(cell->topLeft.x() % cell->size, 0);
        QCOMPARE(cell->topLeft.y() % cell->size, 0);
        QVERIFY(cell->size >= 30 && cell->size <= 129);
        QVERIFY(cell->fontIndex >= 0 && cell->fontIndex < AnimationFontCount);
        QVERIFY(QStringLiteral("好他们学校").contains(cell->character));
        sizes.insert(cell->size);
        ++drawn;
    }
    QVERIFY(sizes.size() > 1);
    QCOMPARE(drawn, 30000);
}

void IdleAnimationTest::modeChangesMayRestartThePath_data()
{
    QTest::addColumn<QList<int>>("draws");
    QTest::addColumn<bool>("restarts");
    QTest::addColumn<int>("cellSize");
    // Draws in order: colour change?, font change?, character change?, size change?; then, after a
    // change, redraw everything? and restart the path?
    QTest::newRow("colour change") << QList<int>{0, 1, 2, 1, 1, 1, 1, 0, 1} << true << 100;
    QTest::newRow("font change") << QList<int>{1, 0, 1, 1, 1, 1, 0, 1} << true << 100;
    QTest::newRow("to keeping the word") << QList<int>{1, 1, 0, 4, 1, 1, 0, 1} << true << 100;
    QTest::newRow("between new-word modes") << QList<int>{1, 1, 0, 3, 1, 1, 0, 1} << false << 100;
    QTest::newRow("size within 20") << QList<int>{1, 1, 1, 0, 75, 1, 0, 1} << false << 100;
    QTest::newRow("size beyond 20") << QList<int>{1, 1, 1, 0, 0, 1, 0, 1} << true << 30;
    QTest::newRow("change without restart") << QList<int>{0, 0, 0, 1, 1, 1, 1, 1} << false << 100;
}

void IdleAnimationTest::modeChangesMayRestartThePath()
{
    QFETCH(QList<int>, draws);
    QFETCH(bool, restarts);
    QFETCH(int, cellSize);
    const OneLesson words({QStringLiteral("好")});
    IdleAnimation animation = scatteringAnimation(words);
    ScriptedRandom random(draws);
    const std::optional<AnimationCell> cell = animation.tick(random, kScreen, words.lessons, words.table);
    QVERIFY(cell);
    QCOMPARE(cell->size, cellSize);
    QCOMPARE(animation.walk().scatter(), !restarts);
    if (restarts) {
        // This tick's character already starts the new path.
        QCOMPARE(cell->topLeft, QPoint(0, 0));
        QCOMPARE(animation.walk().path(), AnimationWalk::Path::Spiral);
        QCOMPARE(animation.walk().position(), QPoint(cellSize, 0));
    }
}

void IdleAnimationTest::drawsNothingWithoutCharacters_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("no lesson chosen") << QStringList{QStringLiteral("好")} << false;
    QTest::newRow("word without characters") << QStringList{QString()} << true;
}

void IdleAnimationTest::drawsNothingWithoutCharacters()
{
    QFETCH(QStringList, words);
    QFETCH(bool, chosen);
    OneLesson lesson(words);
    if (!chosen)
        lesson.lessons.countSelected(testutil::flagsFor({}, 1));
    IdleAnimation animation;
    ScriptedRandom random({});
    animation.initialise(random);
    animation.setCellSize(100);
    animation.setPath(AnimationWalk::Path::Rows);
    for (int tick = 0; tick < 100; ++tick)
        QVERIFY(!animation.tick(random, kScreen, lesson.lessons, lesson.table));
    // The walk goes on all the same.
    QVERIFY(animation.walk().scatter());
}

void IdleAnimationTest::fadesInAndOutInThirteenTicks_data()
{
    QTest::addColumn<int>("fadeInTicks");
    QTest::newRow("after the fade-in") << 20;
    QTest::newRow("during the fade-in") << 3;
    QTest::newRow("at once") << 0;
}

void IdleAnimationTest::fadesInAndOutInThirteenTicks()
{
    QFETCH(int, fadeInTicks);
    IdleAnimation animation;
    SeededRandom random(1);
    animation.initialise(random);
    QCOMPARE(animation.alpha(), 0);
    QList<int> alphas;
    for (int tick = 0; tick < fadeInTicks; ++tick) {
        QVERIFY(animation.stepOpacity());
        alphas.append(animation.alpha());
    }
    const QList<int> fadeIn{20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 240, 255, 255, 255};
    QCOMPARE(alphas.mid(0, 15), fadeIn.mid(0, std::min(fadeInTicks, 15)));

    animation.startFadeOut();
    int ticks = 1;
    while (animation.stepOpacity() && ticks < 1000)
        ++ticks;
    QCOMPARE(ticks, 13);
    QCOMPARE(animation.alpha(), 0);
}

void IdleAnimationTest::startsWhenIdleOrInTheCorner_data()
{
    QTest::addColumn<int>("idleTicks");
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<bool>("due");
    const QRect primary(0, 0, 1280, 1024);
    const QRect right(1280, 0, 1920, 1080);
    QTest::newRow("not yet idle") << 299 << QPoint(600, 400) << primary << false;
    QTest::newRow("five minutes") << 300 << QPoint(600, 400) << primary << true;
    QTest::newRow("top-right pixel") << 1 << QPoint(1279, 0) << primary << true;
    QTest::newRow("left of it") << 1 << QPoint(1278, 0) << primary << false;
    QTest::newRow("below it") << 1 << QPoint(1279, 1) << primary << false;
    QTest::newRow("second screen's corner") << 1 << QPoint(3199, 0) << right << true;
    QTest::newRow("first screen's corner on the second") << 1 << QPoint(1279, 0) << right << false;
}

void IdleAnimationTest::startsWhenIdleOrInTheCorner()
{
    QFETCH(int, idleTicks);
    QFETCH(QPoint, pointer);
    QFETCH(QRect, screen);
    QFETCH(bool, due);
    QCOMPARE(idleAnimationDue(idleTicks, pointer, screen), due);
}

QTEST_APPLESS_MAIN(IdleAnimationTest)
#include "tst_idleanimation.moc"
