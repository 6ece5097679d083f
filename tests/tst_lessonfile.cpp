#include "progress/lessonfile.h"

#include "badinput.h"
#include "cappedchild.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>

using LessonFileResult = wordlark::Result<wordlark::LessonProgress>;
using wordlark::LessonProgress;
using wordlark::MistakeRecord;

using namespace Qt::StringLiterals;

using testutil::entriesOf;
using testutil::Entry;
using testutil::FileSizeLimit;
using testutil::makeEntry;

namespace {

const QString kFile = QStringLiteral("lesson.sav");

// Joins lines the way the program writes them, each ended by CR LF.
QByteArray crlfLines(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + "\r\n";
    return out;
}

LessonProgress example()
{
    return LessonProgress{QStringLiteral("Dictionary/Dict.dic"), {17, 4, 25}, 2, {{9, 2}}};
}

const QList<QByteArray> kExampleLines = {"Dictionary/Dict.dic",
                                         "Length(ArrSmartShuffle)=",
                                         "3",
                                         "17",
                                         "4",
                                         "25",
                                         "Mistakes=",
                                         "2",
                                         "Length(ArrMistakes)=",
                                         "1",
                                         "9",
                                         "2"};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Millions of empty lines after the given head, as a damaged or hostile file may have them.
QByteArray manyEmptyLines(const QString &head)
{
    constexpr qsizetype kLines = qsizetype(32) << 20;
    return head.toLatin1() + QByteArray(kLines, '\n');
}

// In a child with little memory to spare: reads such a file and prints the message.
int readManyEmptyLines(const QStringList &arguments, const std::function<bool()> &cap)
{
    const QByteArray bytes = manyEmptyLines(arguments.value(0));
    if (!cap())
        return 3;
    const LessonFileResult result = wordlark::parseLessonFile(bytes, 100, kFile);
    std::fputs(result.ok() ? "read" : qPrintable(result.error()), stdout);
    return result.ok() ? 1 : 0;
}

} // namespace

class TestLessonFile final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void exampleIsByteExact();
    void sessionWithoutMistakesEndsAfterZeroCount();
    void acceptedVariants_data();
    void acceptedVariants();
    void badFiles_data();
    void badFiles();
    void linesBeyondTheHeaderAreNotRead_data();
    void linesBeyondTheHeaderAreNotRead();
    void localPathSurvives();
    void saveAndLoad();
    void failedSaveKeepsExistingFile_data();
    void failedSaveKeepsExistingFile();
    void saveOnFullDiskKeepsTheOldFile_data();
    void saveOnFullDiskKeepsTheOldFile();
    void saveIntoMissingFolderOrOntoFolder_data();
    void saveIntoMissingFolderOrOntoFolder();
};

void TestLessonFile::roundTrip_data()
{
    QTest::addColumn<LessonProgress>("progress");
    QTest::addColumn<int>("totalWords");

    QTest::newRow("example") << example() << 30;
    QTest::newRow("end of pass: empty queue") << LessonProgress{"Dictionary/Dict.dic", {}, 0, {}} << 1;
    QTest::newRow("counter without records") << LessonProgress{"Dictionary/Dict.dic", {0, 1}, 3, {}} << 2;
    QTest::newRow("repeated words and zero misses")
        << LessonProgress{"/home/learner/dicts/hsk.dic", {5, 5, 0}, 7, {{5, 4}, {0, 0}, {3, 1}}} << 6;
    QTest::newRow("last word and big numbers")
        << LessonProgress{"d.dic", {99999, 0, 12345}, 2147483647, {{99999, 2147483647}}} << 100000;
    QTest::newRow("empty dictionary path") << LessonProgress{QString(), {1}, 0, {}} << 2;
}

void TestLessonFile::roundTrip()
{
    QFETCH(LessonProgress, progress);
    QFETCH(int, totalWords);

    const LessonFileResult result =
        wordlark::parseLessonFile(wordlark::serializeLessonFile(progress), totalWords, kFile);
    QCOMPARE(result.error(), QString());
    QVERIFY(result.ok());
    QCOMPARE(result->dictionaryPath, progress.dictionaryPath);
    QCOMPARE(result->queue, progress.queue);
    QCOMPARE(result->mistakeCount, progress.mistakeCount);
    QCOMPARE(result->mistakes, progress.mistakes);
}

void TestLessonFile::exampleIsByteExact()
{
    const QByteArray expected = crlfLines(kExampleLines);
    QCOMPARE(wordlark::serializeLessonFile(example()), expected);
    QCOMPARE(expected.count("\r\n"), 12);
}

void TestLessonFile::sessionWithoutMistakesEndsAfterZeroCount()
{
    const LessonProgress progress{QStringLiteral("Dictionary/Dict.dic"), {3, 1}, 0, {}};
    const QByteArray bytes = wordlark::serializeLessonFile(progress);
    const QList<QByteArray> lines = bytes.split('\n');
    // Seven fixed lines plus the queue; split leaves one empty piece after the last LF.
    QCOMPARE(lines.size(), 7 + 2 + 1);
    QCOMPARE(lines.last(), QByteArray());
    QVERIFY(bytes.endsWith("Mistakes=\r\n0\r\nLength(ArrMistakes)=\r\n0\r\n"));
}

void TestLessonFile::acceptedVariants_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray crlf = crlfLines(kExampleLines);
    QTest::newRow("CR LF") << crlf;
    QTest::newRow("LF only") << kExampleLines.join('\n') + '\n';
    QTest::newRow("mixed endings") << QByteArray(crlf).replace("\r\n4\r\n", "\n4\n");
    QTest::newRow("no line break after the last line") << crlf.chopped(2);
    QTest::newRow("CR of the last line break cut off") << crlf.chopped(1);
    QTest::newRow("Ctrl-Z ends the text") << crlf + "\x1a" + "garbage\r\n-1\r\n";
    QTest::newRow("Ctrl-Z right after the last number") << crlf.chopped(2) + "\x1a\r\n";
    QTest::newRow("lines after the last record are never read") << crlf + "extra\r\n\r\n-5\r\n";
    QList<QByteArray> markers = kExampleLines;
    markers[1] = "whatever";
    markers[6] = "";
    markers[8] = "Length(Something)=42";
    QTest::newRow("marker lines with other text") << crlfLines(markers);
    QList<QByteArray> zeros = kExampleLines;
    zeros[2] = "03";
    zeros[3] = "0017";
    QTest::newRow("leading zeros still decimal") << crlfLines(zeros);
}

void TestLessonFile::acceptedVariants()
{
    QFETCH(QByteArray, bytes);

    const LessonFileResult result = wordlark::parseLessonFile(bytes, 30, kFile);
    QCOMPARE(result.error(), QString());
    QVERIFY(result.ok());
    QCOMPARE(result.value(), example());
}

void TestLessonFile::badFiles_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("totalWords");
    // The message, with %1 for the file's path; one that ends in ": " is followed by the system's reason.
    QTest::addColumn<QString>("error");
    // For a file that is read: the length of its queue and its dictionary path.
    QTest::addColumn<int>("queueLength");
    QTest::addColumn<QString>("dictionaryPath");

    auto notInteger = [](const QString &text) {
        return QStringLiteral("'%1' is not a valid integer value").arg(text);
    };
    auto at = [](int line, const QString &what) {
        return QStringLiteral("Файл урока «%1», строка ") + QString::number(line) + QStringLiteral(": ") +
               what;
    };
    auto notRead = [](const QString &reason) {
        return QStringLiteral("Не удалось прочитать файл урока «%1»: ") + reason;
    };
    auto outside = [&at](int line, qint64 word, int totalWords) {
        return at(
            line,
            QStringLiteral("номер слова %1 вне словаря (слов в словаре: %2).").arg(word).arg(totalWords));
    };
    auto negative = [&at](int line, qint64 value, const char *what) {
        return at(line, QStringLiteral("недопустимое отрицательное значение %1 (%2).")
                            .arg(value)
                            .arg(QString::fromUtf8(what)));
    };
    auto tooLong = [&at](int line, const char *what, qint64 count, int linesLeft) {
        return at(line, QStringLiteral("%1 %2 больше, чем осталось строк в файле (%3).")
                            .arg(QString::fromUtf8(what))
                            .arg(count)
                            .arg(linesLeft));
    };
    auto withLine = [](int index, const QByteArray &text) {
        QList<QByteArray> lines = kExampleLines;
        lines[index] = text;
        return crlfLines(lines);
    };
    auto rejected = [](const char *tag, const QByteArray &bytes, int totalWords, const QString &error) {
        QTest::newRow(tag) << Entry::File << bytes << totalWords << error << -1 << QString();
    };
    auto accepted = [](const char *tag, const QByteArray &bytes, int queueLength, const QString &path) {
        QTest::newRow(tag) << Entry::File << bytes << 30 << QString() << queueLength << path;
    };
    auto notAFile = [](const char *tag, Entry entry, const QString &error) {
        QTest::newRow(tag) << entry << QByteArray() << 30 << error << -1 << QString();
    };
    const QByteArray crlf = crlfLines(kExampleLines);
    const QString exampleDictionary = QStringLiteral("Dictionary/Dict.dic");

    // Not a readable file at all.
    notAFile("missing file", Entry::Missing, notRead(QString()));
    notAFile("folder", Entry::Folder, notRead(QStringLiteral("это папка, а не файл.")));
    notAFile("FIFO", Entry::Fifo, notRead(QStringLiteral("это не обычный файл.")));
    notAFile("link to a device", Entry::LinkToDevice, notRead(QStringLiteral("это не обычный файл.")));
    notAFile("file no one may read", Entry::Unreadable, notRead(QString()));
    notAFile("20 GB file", Entry::Huge, notRead(QStringLiteral("файл слишком велик для файла урока.")));

    // Empty, cut short or not text at all. Reading past the end yields an empty line, which is no number.
    rejected("empty file", QByteArray(), 30, notInteger(""));
    rejected("only a byte-order mark", "\xEF\xBB\xBF", 30, notInteger(""));
    rejected("only the path", "Dictionary/Dict.dic\r\n", 30, notInteger(""));
    rejected("cut after the queue", crlf.left(crlf.indexOf("Mistakes=")), 30, notInteger(""));
    rejected("cut inside the last record", crlf.chopped(3), 30, notInteger(""));
    rejected("Ctrl-Z before the last record", QByteArray(crlf).replace("\r\n9\r\n", "\r\n\x1a\r\n"), 30,
             tooLong(10, "число записей об ошибках", 1, 0));
    rejected("cut inside the queue", crlfLines(kExampleLines.first(5)), 30,
             tooLong(3, "длина очереди", 3, 2));
    rejected("record count beyond the end",
             crlfLines(kExampleLines.first(9) + QList<QByteArray>{"3", "9", "2"}), 30,
             tooLong(10, "число записей об ошибках", 3, 2));
    rejected("second record missing", crlfLines(kExampleLines.first(9) + QList<QByteArray>{"2", "9", "2"}),
             30, notInteger(""));
    rejected("CR-only line breaks are one line", kExampleLines.join('\r') + '\r', 30, notInteger(""));
    QByteArray noise(4096, Qt::Uninitialized);
    QRandomGenerator random(14);
    for (char &byte : noise)
        byte = char(random.bounded(256));
    noise.replace('\n', ' ');
    rejected("random bytes without a line break", noise, 30, notInteger(""));
    rejected("binary junk", QByteArray("\xff\xfe\x00\x01\x02\n\x80\x81\n\x01\x02\x03\n\x7f", 14), 30,
             notInteger(u"\uFFFD\uFFFD\uFFFD"_s));
    // Control characters and long lines are quoted so that the message stays readable and short.
    const QByteArray utf16 = QStringEncoder(QStringConverter::Utf16LE)(QString::fromLatin1(crlf));
    rejected("UTF-16 with its mark", "\xFF\xFE" + utf16, 30, notInteger(u"\uFFFD3\uFFFD\uFFFD\uFFFD"_s));
    rejected("NUL bytes for the queue length", withLine(2, QByteArray("\0\0", 2)), 30,
             notInteger(u"\uFFFD\uFFFD"_s));
    rejected("2 MB line for the queue length", withLine(2, QByteArray(2 << 20, '7')), 30,
             notInteger(QString(40, u'7') + u'…'));

    // Numbers at and beyond the limits of 32-bit integers.
    rejected("queue length 2147483647", withLine(2, "2147483647"), 30,
             tooLong(3, "длина очереди", 2147483647, 9));
    rejected("record count 2147483647", withLine(9, "2147483647"), 30,
             tooLong(10, "число записей об ошибках", 2147483647, 2));
    rejected("queue length beyond int", withLine(2, "2147483648"), 30, notInteger("2147483648"));
    rejected("counter below int", withLine(7, "-2147483649"), 30, notInteger("-2147483649"));
    rejected("queue word 2147483647", withLine(3, "2147483647"), 30, outside(4, 2147483647, 30));
    rejected("queue word -2147483648", withLine(3, "-2147483648"), 30, outside(4, -2147483648LL, 30));
    rejected("queue length -2147483648", withLine(2, "-2147483648"), 30,
             negative(3, -2147483648LL, "длина очереди"));
    rejected("counter -2147483648", withLine(7, "-2147483648"), 30,
             negative(8, -2147483648LL, "счётчик ошибок"));
    accepted("counter 2147483647", withLine(7, "2147483647"), 3, exampleDictionary);
    accepted("misses 2147483647", withLine(11, "2147483647"), 3, exampleDictionary);

    // Words outside the dictionary.
    rejected("queue word equal to word count", crlf, 25, outside(6, 25, 25));
    rejected("negative queue word", withLine(4, "-1"), 30, outside(5, -1, 30));
    rejected("record word equal to word count", withLine(10, "30"), 30, outside(11, 30, 30));
    rejected("any word against an empty dictionary", crlf, 0, outside(4, 17, 0));

    rejected("negative queue length", withLine(2, "-1"), 30, negative(3, -1, "длина очереди"));
    rejected("negative counter", withLine(7, "-2"), 30, negative(8, -2, "счётчик ошибок"));
    rejected("negative record count", withLine(9, "-1"), 30, negative(10, -1, "число записей об ошибках"));
    rejected("negative misses", withLine(11, "-3"), 30, negative(12, -3, "число ошибок в слове"));

    // Only an optional minus and digits make an integer.
    const QList<QByteArray> junk = {" 3", "3 ", "+3", "3.0", "0x10", "1e2", "-", "--1", "три"};
    for (const QByteArray &text : junk) {
        QTest::addRow("queue length '%s'", text.constData())
            << Entry::File << withLine(2, text) << 30 << notInteger(QString::fromUtf8(text)) << -1
            << QString();
    }
    rejected("queue length with a CR inside", withLine(2, "3\r5"), 30, notInteger(u"3\uFFFD5"_s));
    rejected("empty counter line", withLine(7, ""), 30, notInteger(""));
    rejected("word as text", withLine(3, "seventeen"), 30, notInteger("seventeen"));
    rejected("misses as text", withLine(11, "twice"), 30, notInteger("twice"));

    // The path line is only compared with the dictionary in use, so any text there is read.
    const QString elsewhere = QStringLiteral("/home/другой/Словари/Большой.dic");
    accepted("path line naming another dictionary", withLine(0, QFile::encodeName(elsewhere)), 3, elsewhere);
    accepted("2 MB path line", withLine(0, QByteArray(2 << 20, 'a')), 3, QString(2 << 20, u'a'));
    QList<QByteArray> million = {"Dictionary/Dict.dic", "Length(ArrSmartShuffle)=", "999993"};
    million.reserve(1000000);
    for (int i = 0; i < 999993; ++i)
        million.append("5");
    million += QList<QByteArray>{"Mistakes=", "0", "Length(ArrMistakes)=", "0"};
    accepted("1,000,000 lines", crlfLines(million), 999993, exampleDictionary);
}

void TestLessonFile::badFiles()
{
    QFETCH(Entry, entry);
    QFETCH(QByteArray, bytes);
    QFETCH(int, totalWords);
    QFETCH(QString, error);
    QFETCH(int, queueLength);
    QFETCH(QString, dictionaryPath);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("lesson.ke4"));
    QVERIFY(makeEntry(entry, path, bytes));
    const QStringList entriesBefore = entriesOf(dir.path());

    const LessonFileResult result = [&] {
        const testutil::WithoutReadOverride notRoot;
        return wordlark::loadLessonFile(path, totalWords);
    }();

    const QString expected = error.arg(QDir::toNativeSeparators(path));
    if (error.isEmpty()) {
        QCOMPARE(result.error(), QString());
        QVERIFY(result.ok());
        QCOMPARE(result->queue.size(), queueLength);
        QCOMPARE(result->dictionaryPath, dictionaryPath);
    } else if (error.endsWith(QStringLiteral(": "))) {
        QVERIFY(!result.ok());
        QVERIFY2(result.error().startsWith(expected) && result.error().size() > expected.size(),
                 qPrintable(result.error()));
    } else {
        QVERIFY(!result.ok());
        QCOMPARE(result.error(), expected);
    }
    // Reading writes nothing: the folder holds what it held and the file keeps its bytes.
    QCOMPARE(entriesOf(dir.path()), entriesBefore);
    if (entry == Entry::File)
        QCOMPARE(readAll(path), bytes);
}

void TestLessonFile::linesBeyondTheHeaderAreNotRead_data()
{
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("error");

    QTest::newRow("only empty lines") << QString() << u"'' is not a valid integer value"_s;
    QTest::newRow("queue longer than the file")
        << u"D.dic\r\nLength(ArrSmartShuffle)=\r\n2147483647\r\n"_s
        << u"Файл урока «lesson.sav», строка 3: длина очереди 2147483647 больше, чем осталось строк в "
           u"файле (33554432)."_s;
    QTest::newRow("empty lines in the queue")
        << u"D.dic\r\nLength(ArrSmartShuffle)=\r\n3\r\n7\r\n"_s << u"'' is not a valid integer value"_s;
}

// A file of 32 MiB of line breaks is refused by a reader that has 16 MiB to spare: it never holds
// anything per line.
void TestLessonFile::linesBeyondTheHeaderAreNotRead()
{
    QFETCH(QString, head);
    QFETCH(QString, error);

    const testutil::ChildRun run =
        testutil::startCappedChild(QStringLiteral("many empty lines"), 16, QStringList{head});
    QCOMPARE(testutil::childRunFault(run), QString());
    QCOMPARE(run.output, error);
}

void TestLessonFile::localPathSurvives()
{
    LessonProgress progress = example();
    progress.dictionaryPath = QStringLiteral("/home/ученик/Словари/Мой словарь.dic");
    const QByteArray bytes = wordlark::serializeLessonFile(progress);
    QVERIFY(bytes.startsWith(QFile::encodeName(progress.dictionaryPath) + "\r\n"));
    const LessonFileResult result = wordlark::parseLessonFile(bytes, 30, kFile);
    QVERIFY(result.ok());
    QCOMPARE(result->dictionaryPath, progress.dictionaryPath);

    // The lesson file itself in a Cyrillic folder.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Уроки")));
    const QString path = dir.filePath(QStringLiteral("Уроки/урок 1.sav"));
    QCOMPARE(wordlark::saveLessonFile(path, progress).error(), QString());
    const LessonFileResult loaded = wordlark::loadLessonFile(path, 30);
    QCOMPARE(loaded.error(), QString());
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.value(), progress);
}

void TestLessonFile::saveAndLoad()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("lesson.sav"));
    QVERIFY(writeAll(path, QByteArray(5000, 'x')));

    // Saving over a longer file leaves nothing of it behind.
    QCOMPARE(wordlark::saveLessonFile(path, example()).error(), QString());
    QCOMPARE(readAll(path), crlfLines(kExampleLines));
    const LessonFileResult loaded = wordlark::loadLessonFile(path, 30);
    QCOMPARE(loaded.error(), QString());
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.value(), example());

    // Problems inside the file name the file as it was given.
    QVERIFY(writeAll(path, crlfLines(kExampleLines)));
    const LessonFileResult tooSmall = wordlark::loadLessonFile(path, 20);
    QVERIFY(!tooSmall.ok());
    QCOMPARE(tooSmall.error(),
             QStringLiteral("Файл урока «%1», строка 6: номер слова 25 вне словаря (слов в словаре: 20).")
                 .arg(QDir::toNativeSeparators(path)));
}

void TestLessonFile::failedSaveKeepsExistingFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("dictionaryPath");
    QTest::addColumn<QString>("reasonPart");

    // Tests run as root, so permissions cannot make a save fail. A name at the length limit leaves no
    // room for the temporary file written beside it; a path that cannot be one line is refused.
    QTest::newRow("no room for the temporary file")
        << QString(255, QLatin1Char('a')) << QStringLiteral("Dictionary/Dict.dic") << QString();
    QTest::newRow("line break in the dictionary path")
        << QStringLiteral("lesson.sav") << QStringLiteral("Dictionary/\nDict.dic")
        << QStringLiteral("путь словаря содержит управляющий символ.");
    QTest::newRow("Ctrl-Z in the dictionary path")
        << QStringLiteral("lesson.sav") << QStringLiteral("Dict\x1a.dic")
        << QStringLiteral("путь словаря содержит управляющий символ.");
}

void TestLessonFile::failedSaveKeepsExistingFile()
{
    QFETCH(QString, fileName);
    QFETCH(QString, dictionaryPath);
    QFETCH(QString, reasonPart);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    const QByteArray before = crlfLines(kExampleLines);
    QVERIFY(writeAll(path, before));

    LessonProgress progress{dictionaryPath, {1, 2}, 0, {}};
    const QString error = wordlark::saveLessonFile(path, progress).error();
    QVERIFY(error.startsWith(QStringLiteral("Не удалось сохранить файл урока «%1»: ").arg(path)));
    QVERIFY2(error.size() > QStringLiteral("Не удалось сохранить файл урока «%1»: ").arg(path).size(),
             "the message names the failure");
    QVERIFY2(error.endsWith(reasonPart), qPrintable(error));
    QCOMPARE(readAll(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{fileName});
}

void TestLessonFile::saveOnFullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("replacing");

    QTest::newRow("over an existing lesson") << true;
    QTest::newRow("new lesson") << false;
}

void TestLessonFile::saveOnFullDiskKeepsTheOldFile()
{
    QFETCH(bool, replacing);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(kFile);
    const QByteArray before = crlfLines(kExampleLines);
    if (replacing)
        QVERIFY(writeAll(path, before));
    LessonProgress longer = example();
    for (int word = 0; word < 50; ++word)
        longer.queue.append(word);

    QString error;
    {
        const FileSizeLimit full(32);
        QVERIFY(full.active());
        error = wordlark::saveLessonFile(path, longer).error();
    }
    QVERIFY2(error.startsWith(QStringLiteral("Не удалось сохранить файл урока «%1»: ").arg(path)),
             qPrintable(error));
    QVERIFY2(error.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(error));
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    if (replacing) {
        QCOMPARE(readAll(path), before);
        QCOMPARE(left, QStringList{kFile});
    } else {
        QCOMPARE(left, QStringList{});
    }
}

void TestLessonFile::saveIntoMissingFolderOrOntoFolder_data()
{
    QTest::addColumn<QString>("relativePath");

    QTest::newRow("missing folder") << QStringLiteral("missing/lesson.sav");
    QTest::newRow("folder as target") << QStringLiteral("folder");
}

void TestLessonFile::saveIntoMissingFolderOrOntoFolder()
{
    QFETCH(QString, relativePath);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QString kept = dir.filePath(QStringLiteral("folder/kept.sav"));
    QVERIFY(writeAll(kept, "keep me"));
    const QString path = dir.filePath(relativePath);

    const QString error = wordlark::saveLessonFile(path, example()).error();
    QVERIFY2(error.startsWith(QStringLiteral("Не удалось сохранить файл урока «%1»: ").arg(path)),
             qPrintable(error));
    QVERIFY(!QFileInfo(path).isFile());
    QCOMPARE(readAll(kept), QByteArray("keep me"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("folder")});
}

WORDLARK_TEST_MAIN_WITH_CAPPED_TASKS(TestLessonFile,
                                     {{QStringLiteral("many empty lines"), readManyEmptyLines}})
#include "tst_lessonfile.moc"
