#include "app/workingfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using wordlark::chooseWorkingFolder;
using wordlark::seedUserFolder;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestWorkingFolder final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_root.reset(new QTemporaryDir);
        QVERIFY(m_root->isValid());
        writeFile(installed(QStringLiteral("Dictionary/Dict.dic")), "course");
        writeFile(installed(QStringLiteral("Help/Readme.txt")), "v1");
        writeFile(installed(QStringLiteral("Data/data1.dat")), "schemes");
        writeFile(installed(QStringLiteral("audio/hao3.mp3")), "sound");
        writeFile(installed(QStringLiteral("Data/strokes.sqlite")), "strokes");
        QVERIFY(QDir().mkpath(installed(QStringLiteral("Empty"))));
    }

    void choosesPortableOnlyWithADictionaryFolderBesideTheProgram_data()
    {
        QTest::addColumn<QString>("besideProgram");
        QTest::addColumn<bool>("portable");
        QTest::newRow("Dictionary folder") << QStringLiteral("Dictionary/") << true;
        QTest::newRow("nothing") << QString() << false;
        QTest::newRow("Dictionary is a file") << QStringLiteral("Dictionary") << false;
        QTest::newRow("only audio") << QStringLiteral("audio/") << false;
    }
    void choosesPortableOnlyWithADictionaryFolderBesideTheProgram()
    {
        QFETCH(QString, besideProgram);
        QFETCH(bool, portable);
        const QString program = path(QStringLiteral("bin"));
        QDir().mkpath(program);
        if (besideProgram.endsWith(u'/'))
            QDir(program).mkpath(besideProgram);
        else if (!besideProgram.isEmpty())
            writeFile(QDir(program).filePath(besideProgram), "x");

        const wordlark::WorkingFolder folder =
            chooseWorkingFolder(program + u'/', installed({}), user({}) + QStringLiteral("/"));
        QCOMPARE(folder.portable, portable);
        QCOMPARE(folder.path, portable ? program : user({}));
        QCOMPARE(folder.installedSoundPack, portable ? QString() : installed(QStringLiteral("audio")));
        QCOMPARE(folder.installedStrokeData,
                 portable ? QString() : installed(QStringLiteral("Data/strokes.sqlite")));
    }

    // The sounds and the stroke data are read where they are installed.
    void firstStartLaysOutTheFolderWithoutTheSounds()
    {
        const wordlark::SeedResult result = seedUserFolder(installed({}), user({}));
        QCOMPARE(result.failed, QStringList());
        QCOMPARE(result.copied,
                 QStringList({QStringLiteral("Data/data1.dat"), QStringLiteral("Dictionary/Dict.dic"),
                              QStringLiteral("Help/Readme.txt")}));
        QCOMPARE(readFile(user(QStringLiteral("Dictionary/Dict.dic"))), QByteArray("course"));
        QCOMPARE(readFile(user(QStringLiteral("Data/data1.dat"))), QByteArray("schemes"));
        for (const QString &empty :
             {QStringLiteral("Saves"), QStringLiteral("audio"), QStringLiteral("Empty")}) {
            QVERIFY2(QFileInfo(user(empty)).isDir(), qPrintable(empty));
            QVERIFY2(QDir(user(empty)).isEmpty(), qPrintable(empty));
        }

        // A later start with nothing changed copies and writes nothing.
        const wordlark::SeedResult again = seedUserFolder(installed({}), user({}));
        QCOMPARE(again.copied, QStringList());
        QCOMPARE(again.updated, QStringList());
        QCOMPARE(again.failed, QStringList());
    }

    // What becomes of one installed file in the user's folder when a newer version is installed.
    void anUpgradeReplacesOnlyWhatTheUserLeftAsInstalled_data()
    {
        QTest::addColumn<QByteArray>("before");   // the user's file before the first start; empty: none
        QTest::addColumn<QString>("userAction");  // after the first start: "", "edit" or "delete"
        QTest::addColumn<QByteArray>("expected"); // after the upgrade's start
        QTest::addColumn<QStringList>("updated");
        const QStringList readme{QStringLiteral("Help/Readme.txt")};
        QTest::newRow("untouched copy") << QByteArray() << QString() << QByteArray("v2") << readme;
        QTest::newRow("edited copy") << QByteArray() << QStringLiteral("edit") << QByteArray("mine")
                                     << QStringList();
        QTest::newRow("deleted copy")
            << QByteArray() << QStringLiteral("delete") << QByteArray("v2") << QStringList();
        QTest::newRow("user's own file")
            << QByteArray("mine") << QString() << QByteArray("mine") << QStringList();
        QTest::newRow("user's file equal to installed")
            << QByteArray("v1") << QString() << QByteArray("v2") << readme;
    }
    void anUpgradeReplacesOnlyWhatTheUserLeftAsInstalled()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, userAction);
        QFETCH(QByteArray, expected);
        QFETCH(QStringList, updated);
        const QString readme = user(QStringLiteral("Help/Readme.txt"));
        if (!before.isEmpty())
            writeFile(readme, before);
        QCOMPARE(seedUserFolder(installed({}), user({})).failed, QStringList());
        if (userAction == QStringLiteral("edit"))
            writeFile(readme, "mine");
        else if (userAction == QStringLiteral("delete"))
            QVERIFY(QFile::remove(readme));

        writeFile(installed(QStringLiteral("Help/Readme.txt")), "v2");
        const wordlark::SeedResult upgrade = seedUserFolder(installed({}), user({}));
        QCOMPARE(upgrade.failed, QStringList());
        QCOMPARE(upgrade.updated, updated);
        QCOMPARE(readFile(readme), expected);
    }

    void filesOfTheUsersOwnAndNewInstalledFilesLiveSideBySide()
    {
        QCOMPARE(seedUserFolder(installed({}), user({})).failed, QStringList());
        writeFile(user(QStringLiteral("Saves/lesson.ke4")), "progress");
        writeFile(user(QStringLiteral("Dictionary/mine.dic")), "words");
        writeFile(user(QStringLiteral("audio/hao3.mp3")), "recording");
        writeFile(installed(QStringLiteral("Help/Dict_readme.txt")), "new help");

        const wordlark::SeedResult upgrade = seedUserFolder(installed({}), user({}));
        QCOMPARE(upgrade.copied, QStringList{QStringLiteral("Help/Dict_readme.txt")});
        QCOMPARE(readFile(user(QStringLiteral("Saves/lesson.ke4"))), QByteArray("progress"));
        QCOMPARE(readFile(user(QStringLiteral("Dictionary/mine.dic"))), QByteArray("words"));
        QCOMPARE(readFile(user(QStringLiteral("audio/hao3.mp3"))), QByteArray("recording"));
    }

    void aFolderThatCannotBeMadeIsReported()
    {
        writeFile(path(QStringLiteral("home")), "a file where the folder should go");
        const wordlark::SeedResult result =
            seedUserFolder(installed({}), path(QStringLiteral("home/.local/share/wordlark")));
        QCOMPARE(result.copied, QStringList());
        QCOMPARE(result.failed.size(), 1);
    }

    void aMissingInstallationLeavesAnEmptyWorkingFolder()
    {
        const wordlark::SeedResult result = seedUserFolder(path(QStringLiteral("nowhere")), user({}));
        QCOMPARE(result.copied, QStringList());
        QCOMPARE(result.failed, QStringList());
        QVERIFY(QFileInfo(user(QStringLiteral("Saves"))).isDir());
    }

private:
    QString path(const QString &relative) const { return QDir::cleanPath(m_root->filePath(relative)); }
    QString installed(const QString &relative) const
    {
        return path(QStringLiteral("share/wordlark/") + relative);
    }
    QString user(const QString &relative) const { return path(QStringLiteral("home/wordlark/") + relative); }

    std::unique_ptr<QTemporaryDir> m_root;
};

QTEST_GUILESS_MAIN(TestWorkingFolder)
#include "tst_workingfolder.moc"
