// The stroke data (its reader and formats), the mapping onto a cell, the stroke matcher and the
// showing of a written word.

#include "badinput.h"
#include "strokerates.h"
#include "writing/strokedata.h"
#include "writing/strokematcher.h"
#include "writing/strokestore.h"
#include "writing/writtenword.h"

#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace wordlark;

namespace {

QString shippedStrokeData()
{
    return qEnvironmentVariable("WORDLARK_RUNTIME_DIR") + u"/Data/strokes.sqlite"_s;
}

std::unique_ptr<StrokeStore> shippedStore()
{
    auto opened = StrokeStore::open(shippedStrokeData());
    if (!opened)
        qWarning() << opened.error();
    return opened ? std::move(opened).value() : nullptr;
}

StrokeMedian reversed(const StrokeMedian &median)
{
    return StrokeMedian(median.rbegin(), median.rend());
}

// A stroke file made outside the store's code.
bool makeStrokeFile(const QString &path, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"maker"_s);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery query(db);
        for (const QString &statement : statements)
            ok = ok && query.exec(statement);
    }
    QSqlDatabase::removeDatabase(u"maker"_s);
    return ok;
}

QStringList validStrokeFile()
{
    QStringList statements = StrokeStore::schemaStatements();
    statements
        << u"INSERT INTO strokes VALUES ('一', 0, 'M 10 400 L 1000 400 L 1000 440 Z', '20 420 990 420', 1)"_s
        << u"INSERT INTO strokes VALUES ('二', 0, 'M 100 600 L 900 600 Z', '100 600 900 600', 0)"_s
        << u"INSERT INTO strokes VALUES ('二', 1, 'M 50 200 L 950 200 Z', '50 200 950 200', 0)"_s;
    return statements;
}

} // namespace

class TestWriting final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pathsOfEveryCommandAreRead();
    void badPathsAreRefused_data();
    void badPathsAreRefused();
    void mediansRoundTrip();
    void theMappingPutsTheDataSquareOnTheCell();
    void writtenCharactersSkipBlanksAndKeepSurrogatePairs();

    void resamplingKeepsTheEndsAndSpacesEvenly();
    void handMadeStrokes_data();
    void handMadeStrokes();
    void acceptanceRatesOverASample();

    void theShippedDataHasEveryCourseCharacter();
    void badStrokeFilesDoNotOpen_data();
    void badStrokeFilesDoNotOpen();
    void aDamagedCharacterIsOneWithoutData();
    void theWorkingFoldersOwnDataComesFirst();

    void aWordIsWrittenStrokeByStroke();
    void theThirdRejectionShowsTheHintAndMisses();
    void showingTheStrokesMissesAndMovesOn();
    void charactersWithoutDataAreSkipped();
};

void TestWriting::pathsOfEveryCommandAreRead()
{
    const auto outline = parseStrokePath(u"M 541 450 Q 754 474 901 462 L 482.5 -40 C 1 2 3 4 5 6 Z"_s);
    QVERIFY(outline);
    using Kind = PathCommand::Kind;
    const StrokeOutline expected{
        {Kind::Move, {QPointF(541, 450)}},
        {Kind::Quad, {QPointF(754, 474), QPointF(901, 462)}},
        {Kind::Line, {QPointF(482.5, -40)}},
        {Kind::Cubic, {QPointF(1, 2), QPointF(3, 4), QPointF(5, 6)}},
        {Kind::Close, {}},
    };
    QCOMPARE(*outline, expected);
}

void TestWriting::badPathsAreRefused_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << u"   "_s;
    QTest::newRow("starts with a line") << u"L 1 2 Z"_s;
    QTest::newRow("unknown command") << u"M 1 2 A 3 4 Z"_s;
    QTest::newRow("relative command") << u"M 1 2 l 3 4"_s;
    QTest::newRow("a number missing") << u"M 1 2 Q 3 4 5"_s;
    QTest::newRow("not a number") << u"M 1 x"_s;
    QTest::newRow("infinite") << u"M inf 2"_s;
    QTest::newRow("not a number at all") << u"M nan 2"_s;
    QTest::newRow("far outside") << u"M 1e9 2"_s;
    QTest::newRow("letters glued to numbers") << u"M1 2"_s;
    QTest::newRow("too many commands") << (u"M 1 2"_s + u" L 3 4"_s.repeated(2000));
}

void TestWriting::badPathsAreRefused()
{
    QFETCH(QString, path);
    QVERIFY(!parseStrokePath(path));
}

void TestWriting::mediansRoundTrip()
{
    const StrokeMedian median{{109, 442}, {177, 422}, {507, -33}};
    QCOMPARE(medianText(median), u"109 442 177 422 507 -33"_s);
    QCOMPARE(*parseMedian(medianText(median)), median);
    QVERIFY(!parseMedian(u"1 2 3"_s));
    QVERIFY(!parseMedian(QString()));
    QVERIFY(!parseMedian(u"1 two"_s));
}

void TestWriting::theMappingPutsTheDataSquareOnTheCell()
{
    // The top-left corner of the square is (0, 900), the bottom-right (1024, -124).
    QCOMPARE(dataToCell(QPointF(0, 900), 256), QPointF(0, 0));
    QCOMPARE(dataToCell(QPointF(1024, -124), 256), QPointF(256, 256));
    QCOMPARE(dataToCell(QPointF(512, 388), 200), QPointF(100, 100));
    const QPointF p(321.5, -20);
    QCOMPARE(cellToData(dataToCell(p, 300), 300), p);
}

void TestWriting::writtenCharactersSkipBlanksAndKeepSurrogatePairs()
{
    QCOMPARE(writtenCharacters(u"你 好"_s), QStringList({u"你"_s, u"好"_s}));
    QCOMPARE(writtenCharacters(u"𠀀a"_s), QStringList({u"𠀀"_s, u"a"_s}));
    QCOMPARE(writtenCharacters(QString()), QStringList());
}

void TestWriting::resamplingKeepsTheEndsAndSpacesEvenly()
{
    const std::vector<QPointF> line{{0, 0}, {30, 0}, {30, 60}};
    const std::vector<QPointF> points = resampleStroke(line, 4);
    QCOMPARE(points.size(), size_t(4));
    QCOMPARE(points[0], QPointF(0, 0));
    QCOMPARE(points[1], QPointF(30, 0));
    QCOMPARE(points[2], QPointF(30, 30));
    QCOMPARE(points[3], QPointF(30, 60));
    QCOMPARE(resampleStroke({{5, 5}}, 3), std::vector<QPointF>(3, QPointF(5, 5)));
    QVERIFY(resampleStroke({}, 3).empty());
}

void TestWriting::handMadeStrokes_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<int>("expectedStroke");
    QTest::addColumn<int>("drawnStroke");
    QTest::addColumn<bool>("drawnReversed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("一 as written") << u"一"_s << 0 << 0 << false << true;
    QTest::newRow("一 right to left") << u"一"_s << 0 << 0 << true << false;
    QTest::newRow("十 in order") << u"十"_s << 1 << 1 << false << true;
    QTest::newRow("十 vertical first") << u"十"_s << 0 << 1 << false << false;
    QTest::newRow("十 horizontal second") << u"十"_s << 1 << 0 << false << false;
    QTest::newRow("十 vertical upwards") << u"十"_s << 1 << 1 << true << false;
    QTest::newRow("三 middle for top") << u"三"_s << 0 << 1 << false << false;
    QTest::newRow("三 bottom for middle") << u"三"_s << 1 << 2 << false << false;
}

void TestWriting::handMadeStrokes()
{
    QFETCH(QString, character);
    QFETCH(int, expectedStroke);
    QFETCH(int, drawnStroke);
    QFETCH(bool, drawnReversed);
    QFETCH(bool, accepted);
    const auto store = shippedStore();
    QVERIFY(store);
    const CharacterStrokes *strokes = store->character(character);
    QVERIFY(strokes);
    const StrokeMedian &drawn = strokes->medians[size_t(drawnStroke)];
    QCOMPARE(compareStroke(drawnReversed ? reversed(drawn) : drawn, strokes->medians[size_t(expectedStroke)])
                 .accepted,
             accepted);
}

void TestWriting::acceptanceRatesOverASample()
{
    const auto store = shippedStore();
    QVERIFY(store);
    // A dot drawn as a long line from where it starts is no dot.
    const CharacterStrokes *dot = store->character(u"主"_s);
    QVERIFY(dot);
    const StrokeMedian &first = dot->medians[0];
    QVERIFY(compareStroke(first, first).accepted);
    const QPointF start = first.front();
    QVERIFY(!compareStroke({start, start + QPointF(0, -500)}, first).accepted);
    QVERIFY(!compareStroke({start, start + QPointF(400, 0)}, first).accepted);

    // Characters with dots, hooks, turns, many and few strokes.
    std::mt19937 random(27);
    strokerates::Rates rates;
    for (const QString &character : writtenCharacters(u"一十主你好我们是学写国家书说冰心永爱鬱"_s)) {
        const CharacterStrokes *strokes = store->character(character);
        QVERIFY2(strokes, qPrintable(character));
        strokerates::addCharacter(*strokes, random, rates);
    }
    QVERIFY2(rates.ownRate() >= 0.99, qPrintable(QString::number(rates.ownRate())));
    QVERIFY2(rates.reversedRate() >= 0.95, qPrintable(QString::number(rates.reversedRate())));
    QVERIFY2(rates.othersRate() >= 0.95, qPrintable(QString::number(rates.othersRate())));
}

void TestWriting::theShippedDataHasEveryCourseCharacter()
{
    const auto store = shippedStore();
    QVERIFY(store);
    QFile course(qEnvironmentVariable("WORDLARK_SOURCE_DIR") + u"/dictionary/builtin/Dict.dic"_s);
    QVERIFY(course.open(QIODevice::ReadOnly));
    QSet<QString> missing;
    int characters = 0;
    for (const QByteArray &line : course.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('*');
        if (fields.size() < 3)
            continue;
        for (const QString &character : writtenCharacters(QString::fromUtf8(fields[1]).trimmed())) {
            ++characters;
            if (!store->has(character))
                missing.insert(character);
        }
        for (const QString &character : writtenCharacters(QString::fromUtf8(fields[2]).trimmed()))
            if (!store->has(character))
                missing.insert(character);
    }
    QVERIFY(characters > 1000);
    // Only two full forms are not in the data.
    QCOMPARE(missing, QSet<QString>({u"汙"_s, u"溼"_s}));
}

void TestWriting::badStrokeFilesDoNotOpen_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("missing");
    QTest::newRow("no file") << u"none"_s << true;
    QTest::newRow("empty file") << u"empty"_s << false;
    QTest::newRow("text") << u"text"_s << false;
    QTest::newRow("random bytes") << u"random"_s << false;
    QTest::newRow("database header cut short") << u"cut"_s << false;
    QTest::newRow("the shipped file cut in half") << u"half"_s << false;
    QTest::newRow("another database") << u"foreign"_s << false;
    QTest::newRow("newer format") << u"newer"_s << false;
    QTest::newRow("no 一") << u"no-probe"_s << false;
    QTest::newRow("folder") << u"folder"_s << false;
    QTest::newRow("fifo") << u"fifo"_s << false;
}

void TestWriting::badStrokeFilesDoNotOpen()
{
    QFETCH(QString, kind);
    QFETCH(bool, missing);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"strokes.sqlite"_s);
    using testutil::Entry;
    using testutil::makeEntry;
    if (kind == u"empty") {
        QVERIFY(makeEntry(Entry::File, path, {}));
    } else if (kind == u"text") {
        QVERIFY(makeEntry(Entry::File, path, QByteArray("M 1 2 L 3 4\n").repeated(500)));
    } else if (kind == u"random") {
        QByteArray bytes(70000, '\0');
        std::mt19937 random(5);
        for (char &byte : bytes)
            byte = char(random());
        QVERIFY(makeEntry(Entry::File, path, bytes));
    } else if (kind == u"cut") {
        QVERIFY(makeEntry(Entry::File, path, QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\x10')));
    } else if (kind == u"half") {
        QFile shipped(shippedStrokeData());
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QVERIFY(makeEntry(Entry::File, path, shipped.read(shipped.size() / 2)));
    } else if (kind == u"foreign") {
        QVERIFY(makeStrokeFile(path, {u"CREATE TABLE notes (text TEXT)"_s}));
    } else if (kind == u"newer") {
        QStringList statements = validStrokeFile();
        statements << u"PRAGMA user_version = 2"_s;
        QVERIFY(makeStrokeFile(path, statements));
    } else if (kind == u"no-probe") {
        QVERIFY(makeStrokeFile(path, StrokeStore::schemaStatements()));
    } else if (kind == u"folder") {
        QVERIFY(makeEntry(Entry::Folder, path, {}));
    } else if (kind == u"fifo") {
        QVERIFY(makeEntry(Entry::Fifo, path, {}));
    }
    const auto store = StrokeStore::open(path);
    QVERIFY(!store);
    const QString expected = missing ? u"Нет файла с чертами иероглифов «%1»."_s
                                     : u"Файл с чертами иероглифов «%1» повреждён или не того формата."_s;
    QCOMPARE(store.error(), expected.arg(path));
}

void TestWriting::aDamagedCharacterIsOneWithoutData()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"strokes.sqlite"_s);
    QStringList statements = validStrokeFile();
    statements << u"INSERT INTO strokes VALUES ('三', 0, 'M 1 2 X', '1 2 3 4', 0)"_s
               << u"INSERT INTO strokes VALUES ('四', 0, 'M 1 2 Z', '1 2 3', 0)"_s
               << u"INSERT INTO strokes VALUES ('五', 1, 'M 1 2 Z', '1 2 3 4', 0)"_s;
    QVERIFY(makeStrokeFile(path, statements));
    auto opened = StrokeStore::open(path);
    QVERIFY(opened);
    StrokeStore &store = **opened;
    QVERIFY(store.character(u"二"_s));
    QCOMPARE(store.character(u"二"_s)->strokeCount(), 2);
    QCOMPARE(store.character(u"一"_s)->radical, std::vector<bool>({true}));
    for (const QString &damaged : {u"三"_s, u"四"_s, u"五"_s, u"六"_s})
        QVERIFY2(!store.character(damaged), qPrintable(damaged));
}

void TestWriting::theWorkingFoldersOwnDataComesFirst()
{
    QTemporaryDir folder;
    const QString own = folder.filePath(u"Data/strokes.sqlite"_s);
    setInstalledStrokeData(u"/usr/share/wordlark/Data/strokes.sqlite"_s);
    QCOMPARE(strokeDataPath(folder.path()), u"/usr/share/wordlark/Data/strokes.sqlite"_s);
    QVERIFY(QDir(folder.path()).mkpath(u"Data"_s));
    QVERIFY(testutil::makeEntry(testutil::Entry::File, own, "mine"));
    QCOMPARE(strokeDataPath(folder.path()), own);
    // A portable program has no installed copy: its own folder is named, file or not.
    setInstalledStrokeData({});
    QFile::remove(own);
    QCOMPARE(strokeDataPath(folder.path()), own);
}

namespace {

// A two-stroke character and a one-stroke one, in the data's coordinates.
const CharacterStrokes *testCharacter(const QString &character)
{
    static const CharacterStrokes two{
        u"二"_s, {{}, {}}, {{{100, 600}, {900, 600}}, {{50, 200}, {950, 200}}}, {false, false}};
    static const CharacterStrokes one{u"一"_s, {{}}, {{{20, 420}, {990, 420}}}, {true}};
    if (character == u"二")
        return &two;
    if (character == u"一")
        return &one;
    return nullptr;
}

} // namespace

void TestWriting::aWordIsWrittenStrokeByStroke()
{
    WrittenWord word({u"二"_s, u"一"_s}, testCharacter);
    QVERIFY(word.hasStrokes());
    QCOMPARE(word.currentCharacter(), 0);
    QCOMPARE(word.offerStroke({{100, 600}, {900, 600}}), StrokeVerdict::Accepted);
    QCOMPARE(word.writtenStrokes(0), 1);
    QCOMPARE(word.offerStroke({{50, 200}, {950, 200}}), StrokeVerdict::Accepted);
    QCOMPARE(word.currentCharacter(), 1);
    QCOMPARE(word.writtenStrokes(0), 2);
    QVERIFY(!word.complete());
    QCOMPARE(word.offerStroke({{20, 420}, {990, 420}}), StrokeVerdict::Accepted);
    QVERIFY(word.complete());
    QVERIFY(!word.missed());
    QCOMPARE(word.offerStroke({{20, 420}, {990, 420}}), StrokeVerdict::Ignored);
}

void TestWriting::theThirdRejectionShowsTheHintAndMisses()
{
    WrittenWord word({u"二"_s}, testCharacter);
    const std::vector<QPointF> wrong{{900, 600}, {100, 600}};
    QCOMPARE(word.offerStroke(wrong), StrokeVerdict::Rejected);
    QCOMPARE(word.offerStroke(wrong), StrokeVerdict::Rejected);
    QVERIFY(!word.missed());
    QCOMPARE(word.offerStroke(wrong), StrokeVerdict::Hinted);
    QVERIFY(word.hintShown());
    QVERIFY(word.missed());
    QCOMPARE(word.offerStroke(wrong), StrokeVerdict::Hinted);
    // The right stroke is still taken, and the next one starts without a hint.
    QCOMPARE(word.offerStroke({{100, 600}, {900, 600}}), StrokeVerdict::Accepted);
    QVERIFY(!word.hintShown());
    QVERIFY(word.missed());
}

void TestWriting::showingTheStrokesMissesAndMovesOn()
{
    WrittenWord word({u"二"_s, u"一"_s}, testCharacter);
    QCOMPARE(word.offerStroke({{100, 600}, {900, 600}}), StrokeVerdict::Accepted);
    QCOMPARE(word.showRemainingStrokes(), 1);
    QVERIFY(word.missed());
    QCOMPARE(word.currentCharacter(), 1);
    QCOMPARE(word.showRemainingStrokes(), 0);
    QVERIFY(word.complete());
}

void TestWriting::charactersWithoutDataAreSkipped()
{
    WrittenWord word({u"汙"_s, u"一"_s, u"K"_s}, testCharacter);
    QCOMPARE(word.charactersWithoutData(), QStringList({u"汙"_s, u"K"_s}));
    QCOMPARE(word.currentCharacter(), 1);
    QCOMPARE(word.offerStroke({{20, 420}, {990, 420}}), StrokeVerdict::Accepted);
    QVERIFY(word.complete());
    WrittenWord nothing({u"K"_s}, testCharacter);
    QVERIFY(!nothing.hasStrokes());
    QVERIFY(nothing.complete());
}

QTEST_GUILESS_MAIN(TestWriting)
#include "tst_writing.moc"
