// The scheme file's 148-byte records, byte for byte, and its atomic rewrite.

#include "ui/colourscheme.h"

#include "badinput.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using wordlark::ColourScheme;

using testutil::entriesOf;
using testutil::Entry;
using testutil::makeEntry;

namespace {

ColourScheme example()
{
    ColourScheme scheme;
    for (int role = 0; role < wordlark::ColourRoleCount; ++role)
        scheme.colours[size_t(role)] = wordlark::colourValue(role, 0x10 + role, 0x20 + role);
    scheme.colours[0] = wordlark::SystemButtonFace;
    scheme.name = QStringLiteral("Ночь");
    return scheme;
}

// The record of example(), built by hand from the layout.
QByteArray exampleRecord()
{
    QByteArray record;
    const auto value = [&record](quint8 b0, quint8 b1, quint8 b2, quint8 b3) {
        record.append(char(b0)).append(char(b1)).append(char(b2)).append(char(b3));
    };
    value(0x0F, 0, 0, 0xFF);
    value(1, 0x11, 0x21, 0);
    value(0, 0, 0, 0); // reserved
    for (quint8 role = 2; role < 10; ++role)
        value(role, 0x10 + role, 0x20 + role, 0);
    record.append(char(4)).append("\xCD\xEE\xF7\xFC"); // "Ночь" in code page 1251
    record.append(QByteArray(148 - record.size(), '\0'));
    return record;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestColourScheme final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void recordLayout();
    void readingIgnoresWhatTheNameLengthDoesNotCover();
    void names_data();
    void names();
    void badFiles_data();
    void badFiles();
    void saveAppendsAndKeepsEarlierRecords();
    void saveKeepsTheBytesOfEveryRecordRead();
    void failedSaveKeepsTheOldFile();
};

void TestColourScheme::recordLayout()
{
    QCOMPARE(wordlark::encodeColourScheme(example()), exampleRecord());
    QCOMPARE(wordlark::decodeColourScheme(exampleRecord()), example());
    QCOMPARE(wordlark::colourValue(0, 221, 0), 0x0000DD00u);
}

void TestColourScheme::readingIgnoresWhatTheNameLengthDoesNotCover()
{
    QByteArray record = exampleRecord();
    record.replace(8, 4, "\x12\x34\x56\x78"); // reserved
    record[45 + 4] = 'X';                     // past the name's length
    record[147] = '\x7F';                     // filler
    QCOMPARE(wordlark::decodeColourScheme(record), example());

    // A length byte over 100 reads the 100 bytes the field has, not the filler behind them.
    record.replace(45, 100, QByteArray(100, 'a'));
    record[44] = char(200);
    QCOMPARE(wordlark::decodeColourScheme(record).name, QString(100, u'a'));
}

void TestColourScheme::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("150 characters keep 100") << QString(150, u'ж') << QString(100, u'ж');
    QTest::newRow("characters outside code page 1251")
        << QStringLiteral("Тема 好") << QStringLiteral("Тема ?");
}

void TestColourScheme::names()
{
    QFETCH(QString, name);
    QFETCH(QString, stored);
    ColourScheme scheme = example();
    scheme.name = name;
    const QByteArray record = wordlark::encodeColourScheme(scheme);
    QCOMPARE(record.size(), 148);
    QCOMPARE(int(quint8(record[44])), int(stored.size()));
    // Whatever the name leaves of its field is zero.
    QCOMPARE(record.mid(45 + stored.size()), QByteArray(148 - 45 - stored.size(), '\0'));
    QCOMPARE(wordlark::decodeColourScheme(record).name, stored);
    QCOMPARE(wordlark::storableSchemeName(name), stored);
}

void TestColourScheme::badFiles_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error"); // empty: the file is read
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("firstName");
    const auto read = [](const char *tag, const QByteArray &bytes, int count, const QString &firstName) {
        QTest::newRow(tag) << Entry::File << bytes << QString() << count << firstName;
    };
    const auto refused = [](const char *tag, Entry entry, const char *error) {
        QTest::newRow(tag) << entry << QByteArray() << QString::fromLatin1(error) << 0 << QString();
    };

    refused("missing file", Entry::Missing, "File not found");
    // Opening a FIFO would wait for a writer, and a device could be read without end.
    refused("folder", Entry::Folder, "File access denied");
    refused("FIFO", Entry::Fifo, "File access denied");
    refused("link to a device", Entry::LinkToDevice, "File access denied");
    refused("file no one may read", Entry::Unreadable, "Permission denied");
    refused("20 GB file", Entry::Huge, "File access denied");

    // Whole records count; a partial one at the end is not read.
    read("empty file", QByteArray(), 0, QString());
    read("only a byte-order mark", "\xEF\xBB\xBF", 0, QString());
    read("147 bytes", exampleRecord().left(147), 0, QString());
    read("296 bytes", exampleRecord().repeated(3).left(296), 2, QStringLiteral("Ночь"));
    read("300 bytes", exampleRecord().repeated(3).left(300), 2, QStringLiteral("Ночь"));
    QByteArray tooLong = exampleRecord();
    tooLong[44] = char(255);
    tooLong.replace(45, 103, QByteArray(103, 'x'));
    read("name length 255 reads 100 bytes", tooLong, 1, QString(100, u'x'));
    read("NUL bytes", QByteArray(148 * 2, '\0'), 2, QString());
    QByteArray noise(148 * 4 + 17, Qt::Uninitialized);
    QRandomGenerator random(14);
    for (char &byte : noise)
        byte = char(random.bounded(256));
    noise[44] = char(3);
    noise.replace(45, 3, "\xC4\xE0\xED"); // "Дан" in code page 1251
    read("random bytes", noise, 4, QStringLiteral("Дан"));
    read("a 2 MB text line", QByteArray(2 << 20, 'a'), (2 << 20) / 148, QString(97, u'a'));
    // The length byte of the first record is an "a", 97.
    read("1,000,000 text lines", QByteArray("a\n").repeated(1000000), 2000000 / 148,
         QStringLiteral("\na").repeated(49).left(97));
}

void TestColourScheme::badFiles()
{
    QFETCH(Entry, entry);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QFETCH(int, count);
    QFETCH(QString, firstName);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("data1.dat"));
    QVERIFY(makeEntry(entry, path, bytes));
    const QStringList entriesBefore = entriesOf(dir.path());

    const auto schemes = [&path] {
        const testutil::WithoutReadOverride notRoot;
        return wordlark::loadColourSchemes(path);
    }();

    QCOMPARE(schemes.error(), error);
    if (error.isEmpty()) {
        QCOMPARE(schemes->size(), count);
        if (count > 0 && !firstName.isNull())
            QCOMPARE(schemes->front().name, firstName);
        for (const ColourScheme &scheme : *schemes)
            QVERIFY(scheme.name.size() <= wordlark::MaxSchemeNameLength);
    }
    // Reading writes nothing.
    QCOMPARE(entriesOf(dir.path()), entriesBefore);
    if (entry == Entry::File)
        QCOMPARE(readAll(path), bytes);
}

void TestColourScheme::saveAppendsAndKeepsEarlierRecords()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data1.dat"));
    QVERIFY(writeAll(path, exampleRecord()));
    const auto file = wordlark::loadColourSchemes(path);
    QCOMPARE(file.error(), QString());
    QList<ColourScheme> schemes = *file;
    ColourScheme added = example();
    added.name = QStringLiteral("Новая");
    schemes.append(added);

    QVERIFY(wordlark::saveColourSchemes(path, schemes));
    const QByteArray saved = readAll(path);
    QCOMPARE(saved.size(), 296);
    QCOMPARE(saved.left(148), exampleRecord());
    QCOMPARE(saved.mid(148), wordlark::encodeColourScheme(added));
    QCOMPARE(saved.mid(148 + 8, 4), QByteArray(4, '\0'));
    QCOMPARE(*wordlark::loadColourSchemes(path), schemes);
}

// Records written by someone else may hold anything in the reserved field and after the name; a record that
// was read goes back out exactly as it came in, and only the new one is encoded.
void TestColourScheme::saveKeepsTheBytesOfEveryRecordRead()
{
    QByteArray before;
    QRandomGenerator random(6);
    for (int i = 0; i < 3; ++i) {
        QByteArray record = exampleRecord();
        for (int offset : {8, 9, 10, 11})
            record[offset] = char(1 + random.bounded(255));
        for (int offset = 45 + 4; offset < 148; ++offset)
            record[offset] = char(1 + random.bounded(255));
        before.append(record);
    }
    // A partial record at the end is not a scheme and is not written back.
    before.append("tail");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data1.dat"));
    QVERIFY(writeAll(path, before));
    const auto file = wordlark::loadColourSchemes(path);
    QCOMPARE(file.error(), QString());
    QCOMPARE(file->size(), 3);
    QCOMPARE(file->front(), example());

    QList<ColourScheme> schemes = *file;
    ColourScheme added = example();
    added.name = QStringLiteral("Новая");
    schemes.append(added);
    QVERIFY(wordlark::saveColourSchemes(path, schemes));

    const QByteArray newRecord = wordlark::encodeColourScheme(added);
    QCOMPARE(newRecord.mid(8, 4), QByteArray(4, '\0'));
    QCOMPARE(newRecord.mid(45 + 5), QByteArray(148 - 45 - 5, '\0'));
    QCOMPARE(readAll(path), before.left(3 * 148) + newRecord);
}

void TestColourScheme::failedSaveKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data1.dat"));
    const QByteArray before = exampleRecord().repeated(2);
    QVERIFY(writeAll(path, before));
    const QList<ColourScheme> many(40, example());

    // Tests run as root, so permissions cannot make the write fail; a file size limit below the new
    // file's size does, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 1000;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const wordlark::Result<void> saved = wordlark::saveColourSchemes(path, many);
    setrlimit(RLIMIT_FSIZE, &old);

    QVERIFY(!saved);
    QVERIFY(!saved.error().isEmpty());
    QCOMPARE(readAll(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("data1.dat")});
}

QTEST_APPLESS_MAIN(TestColourScheme)
#include "tst_colourscheme.moc"
