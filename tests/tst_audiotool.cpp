// The sound pack tool, run as the learner runs it: on small dictionaries in temporary folders.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct RunResult {
    int exitCode = -1;
    QString output; // standard output and error together
};

RunResult runTool(const QStringList &arguments,
                  const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(WORDLARK_AUDIO_TOOL), arguments);
    // Well inside the test's own deadline, so that a tool that hangs fails the test instead of ending it.
    if (!tool.waitForFinished(60000)) {
        tool.kill();
        tool.waitForFinished(5000);
        return {-1, QStringLiteral("the tool did not finish")};
    }
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromLocal8Bit(tool.readAll())};
}

QByteArray dictionaryLine(const QString &pinyin, const QString &characters)
{
    const QString separator = QStringLiteral("\t*\t");
    return (pinyin + separator + characters + separator + separator + QStringLiteral("1") + separator +
            QStringLiteral("\"слово\"\r\n"))
        .toUtf8();
}

// An ID3 tag or the sync bits of an MPEG audio frame.
bool looksLikeMp3(const QByteArray &head)
{
    return head.startsWith("ID3") ||
           (head.size() >= 2 && uchar(head[0]) == 0xFF && (uchar(head[1]) & 0xE0) == 0xE0);
}

} // namespace

class TestAudioTool final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void makesOneFilePerName();
    void keepsWhatIsThere();
    void failedSynthesisLeavesNoFile();

    void refuses_data();
    void refuses();

private:
    QString writeDictionary(const QTemporaryDir &dir, const QList<QByteArray> &lines) const;

    bool m_canSynthesise = false;
};

QString TestAudioTool::writeDictionary(const QTemporaryDir &dir, const QList<QByteArray> &lines) const
{
    const QString path = dir.filePath(QStringLiteral("Dict.dic"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("\xEF\xBB\xBF");
    for (const QByteArray &line : lines)
        file.write(line);
    return path;
}

void TestAudioTool::initTestCase()
{
    QVERIFY2(QFileInfo(QStringLiteral(WORDLARK_AUDIO_TOOL)).isExecutable(), WORDLARK_AUDIO_TOOL);
    m_canSynthesise = !QStandardPaths::findExecutable(QStringLiteral("espeak-ng")).isEmpty() &&
                      !QStandardPaths::findExecutable(QStringLiteral("lame")).isEmpty();
}

void TestAudioTool::makesOneFilePerName()
{
    if (!m_canSynthesise)
        QSKIP("espeak-ng and lame are not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString dictionary = writeDictionary(
        dir, {dictionaryLine(QStringLiteral("hǎo"), QStringLiteral("好")),
              dictionaryLine(QStringLiteral("xī yān"), QStringLiteral("吸烟")),
              QByteArray("\r\n"), // a blank line is no word
              dictionaryLine(QStringLiteral("Zhōngguó"), QStringLiteral("中国")),
              dictionaryLine(QStringLiteral("lǜchá"), QStringLiteral("绿茶")),
              dictionaryLine(QStringLiteral("xīyān"), QStringLiteral("吸烟")), // the same name again
              dictionaryLine(QStringLiteral("yìdiǎnr"), QStringLiteral("一点儿")),
              dictionaryLine(QString(), QStringLiteral("？"))});
    const QString out = dir.filePath(QStringLiteral("new/audio")); // made when missing

    const RunResult run = runTool({dictionary, out});
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    QVERIFY2(run.output.contains(QStringLiteral("5/5")), qPrintable(run.output));

    const QStringList expected = {QStringLiteral("Zhong1guo2.mp3"), QStringLiteral("hao3.mp3"),
                                  QStringLiteral("lv4cha2.mp3"), QStringLiteral("xi1yan1.mp3"),
                                  QStringLiteral("yi4dianr3.mp3")};
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    for (const QString &name : expected) {
        QFile file(QDir(out).filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(file.size() > 500, qPrintable(name));
        QVERIFY2(looksLikeMp3(file.read(3)), qPrintable(name));
    }
}

void TestAudioTool::keepsWhatIsThere()
{
    if (!m_canSynthesise)
        QSKIP("espeak-ng and lame are not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir out(dir.filePath(QStringLiteral("audio")));
    QVERIFY(out.mkpath(QStringLiteral(".")));
    // Recordings someone put there, under the other letter case and the fallback name, and what an
    // interrupted run left behind.
    const QByteArray recording("a recording someone made");
    for (const QString &name :
         {QStringLiteral("HAO3.MP3"), QStringLiteral("ni3w.mp3"), QStringLiteral(".wo3.mp3.part")}) {
        QFile file(out.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(recording);
    }
    const QString dictionary =
        writeDictionary(dir, {dictionaryLine(QStringLiteral("hǎo"), QStringLiteral("好")),
                              dictionaryLine(QStringLiteral("nǐ"), QStringLiteral("你")),
                              dictionaryLine(QStringLiteral("wǒ"), QStringLiteral("我")),
                              dictionaryLine(QStringLiteral("māma"), QStringLiteral("妈妈"))});

    const RunResult first = runTool({dictionary, out.path()});
    QVERIFY2(first.exitCode == 0, qPrintable(first.output));
    QCOMPARE(out.entryList(QDir::Files | QDir::Hidden, QDir::Name),
             QStringList({QStringLiteral("HAO3.MP3"), QStringLiteral("ma1ma.mp3"), QStringLiteral("ni3w.mp3"),
                          QStringLiteral("wo3.mp3")}));
    QFile kept(out.filePath(QStringLiteral("ni3w.mp3")));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), recording);
    const QDateTime made = QFileInfo(out.filePath(QStringLiteral("ma1ma.mp3"))).lastModified();

    const RunResult second = runTool({dictionary, out.path()});
    QVERIFY2(second.exitCode == 0, qPrintable(second.output));
    QVERIFY2(second.output.contains(QStringLiteral("All 4 sounds")), qPrintable(second.output));
    QCOMPARE(QFileInfo(out.filePath(QStringLiteral("ma1ma.mp3"))).lastModified(), made);
}

void TestAudioTool::failedSynthesisLeavesNoFile()
{
    const QString lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    if (lame.isEmpty())
        QSKIP("lame is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A synthesiser that complains and gives up, beside the real encoder.
    const QString bin = dir.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    QFile speaker(QDir(bin).filePath(QStringLiteral("espeak-ng")));
    QVERIFY(speaker.open(QIODevice::WriteOnly));
    speaker.write("#!/bin/sh\necho 'no voice for this' >&2\nexit 1\n");
    speaker.close();
    QVERIFY(speaker.setPermissions(speaker.permissions() | QFileDevice::ExeOwner));
    QVERIFY(QFile::link(lame, QDir(bin).filePath(QStringLiteral("lame"))));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), bin);

    const QString dictionary =
        writeDictionary(dir, {dictionaryLine(QStringLiteral("hǎo"), QStringLiteral("好"))});
    const QString out = dir.filePath(QStringLiteral("audio"));
    const RunResult run = runTool({dictionary, out}, environment);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.output.contains(QStringLiteral("hao3.mp3 failed")), qPrintable(run.output));
    QVERIFY2(run.output.contains(QStringLiteral("no voice for this")), qPrintable(run.output));
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestAudioTool::refuses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("withoutTools");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("no arguments") << QStringList() << false << 2 << "Usage: wordlark-audio DICTIONARY OUTDIR";
    QTest::newRow("missing dictionary") << QStringList({QStringLiteral("DICT"), QStringLiteral("OUT")})
                                        << false << 1 << "cannot read the dictionary";
    QTest::newRow("synthesiser missing") << QStringList({QStringLiteral("DICT"), QStringLiteral("OUT")})
                                         << true << 3 << "espeak-ng and lame are not installed";
}

void TestAudioTool::refuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, withoutTools);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (withoutTools) {
        writeDictionary(dir, {dictionaryLine(QStringLiteral("hǎo"), QStringLiteral("好"))});
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("empty")));
        environment.insert(QStringLiteral("PATH"), dir.filePath(QStringLiteral("empty")));
    }
    // Placeholders stand for paths inside the temporary folder; DICT exists only where it was written.
    for (QString &argument : arguments) {
        if (argument == u"DICT")
            argument = dir.filePath(QStringLiteral("Dict.dic"));
        else if (argument == u"OUT")
            argument = dir.filePath(QStringLiteral("audio"));
    }

    const RunResult run = runTool(arguments, environment);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.output.contains(message), qPrintable(run.output));
    if (arguments.size() == 2) {
        QVERIFY2(run.output.contains(QDir::toNativeSeparators(arguments[0])) || withoutTools,
                 qPrintable(run.output));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("audio")))); // nothing made
    }
}

QTEST_GUILESS_MAIN(TestAudioTool)
#include "tst_audiotool.moc"
