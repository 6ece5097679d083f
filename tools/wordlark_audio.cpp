// wordlark-audio DICTIONARY OUTDIR: gives every word of the dictionary a synthesised sound file in OUTDIR,
// named as the program looks it up. Files that are already there, made earlier or real recordings, are
// kept, so a second run only fills the gaps.

#include "audio/soundfolder.h"
#include "dictionary/fileio.h"
#include "dictionary/textdecoding.h"
#include "dictionary/wordtable.h"
#include "tools/audiopackmaker.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>
#include <QThread>

using namespace wordlark;

namespace {

enum ExitCode : int { Success = 0, Failure = 1, BadUsage = 2, ToolMissing = 3 };

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("wordlark-audio"));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3 || args[1].startsWith(u'-')) {
        err() << "Usage: wordlark-audio DICTIONARY OUTDIR\n"
                 "Makes OUTDIR/NAME.mp3 for every word of DICTIONARY that has no sound file yet, spoken by\n"
                 "espeak-ng and encoded by lame."
              << Qt::endl;
        return BadUsage;
    }
    const QString dictionaryPath = args[1];
    const QString outputFolder = args[2];

    const Result<TextLines> lines = readDictionaryText(dictionaryPath);
    if (!lines) {
        err() << "wordlark-audio: cannot read the dictionary " << shownPath(dictionaryPath) << ": "
              << lines.error() << Qt::endl;
        return ExitCode::Failure;
    }
    WordTable table;
    parseDictionaryText(lines.value(), table);

    SynthesisTools tools{QStandardPaths::findExecutable(QStringLiteral("espeak-ng")),
                         QStandardPaths::findExecutable(QStringLiteral("lame"))};
    QStringList missing;
    if (tools.espeak.isEmpty())
        missing << QStringLiteral("espeak-ng");
    if (tools.lame.isEmpty())
        missing << QStringLiteral("lame");
    if (!missing.isEmpty()) {
        err() << "wordlark-audio: " << missing.join(QStringLiteral(" and "))
              << (missing.size() == 1 ? " is" : " are")
              << " not installed; the sounds are made with espeak-ng "
              << "and lame (Debian: apt-get install espeak-ng lame)." << Qt::endl;
        return ToolMissing;
    }

    if (!QDir().mkpath(outputFolder)) {
        err() << "wordlark-audio: cannot create the folder " << shownPath(outputFolder) << Qt::endl;
        return ExitCode::Failure;
    }
    AudioPackMaker::removePartialFiles(outputFolder);

    SoundFolder folder(outputFolder);
    const SoundPlan plan = planSounds(table, folder);
    for (const QString &name : plan.unusable)
        err() << "wordlark-audio: no sound for \"" << name << "\": not a pinyin that can name a file"
              << Qt::endl;
    if (plan.jobs.isEmpty()) {
        out() << "All " << plan.alreadyThere << " sounds of " << plan.words << " words are in "
              << shownPath(outputFolder) << "." << Qt::endl;
        return Success;
    }

    const int parallel = qMax(1, QThread::idealThreadCount());
    AudioPackMaker maker(tools, outputFolder, plan.jobs, parallel);
    QElapsedTimer clock;
    QObject::connect(&maker, &AudioPackMaker::jobFinished, &maker,
                     [&maker](const QString &name, bool ok, const QString &problem) {
                         if (!ok)
                             err() << "\rwordlark-audio: " << name << ".mp3 failed: " << problem << '\n'
                                   << Qt::flush;
                         out() << '\r' << maker.done() << '/' << maker.total() << Qt::flush;
                     });
    QObject::connect(&maker, &AudioPackMaker::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    clock.start();
    maker.start();
    app.exec();

    out() << '\n'
          << "Made " << (maker.done() - maker.failed()) << " sound files in " << shownPath(outputFolder)
          << " in " << QString::number(double(clock.elapsed()) / 1000.0, 'f', 1) << " s";
    if (plan.alreadyThere > 0)
        out() << " (" << plan.alreadyThere << " were there already)";
    out() << ".\n" << Qt::flush;
    if (maker.failed() > 0) {
        err() << "wordlark-audio: " << maker.failed()
              << (maker.failed() == 1 ? " sound file" : " sound files") << " could not be made." << Qt::endl;
        return ExitCode::Failure;
    }
    return Success;
}
