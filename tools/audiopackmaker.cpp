#include "tools/audiopackmaker.h"

#include "audio/numberedpinyin.h"
#include "audio/soundfolder.h"
#include "audio/soundname.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTimer>

#include <functional>

namespace wordlark {
namespace {

// A synthesiser that hangs must not hold the whole pack up.
constexpr int kJobTimeoutMs = 60'000;

bool usableAsFileName(const QString &name)
{
    if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 32 || QStringView(u"\\/:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

QString firstLines(const QByteArray &output)
{
    return QString::fromLocal8Bit(output).trimmed().section(u'\n', 0, 2);
}

// One word: espeak-ng speaks the numbered pinyin as a WAV stream into lame, which writes the MP3.
class SynthesisRun final : public QObject {
public:
    using Done = std::function<void(bool ok, const QString &problem)>;

    SynthesisRun(const SynthesisTools &tools, const SoundJob &job, const QString &partialPath, Done done,
                 QObject *parent)
        : QObject(parent)
        , m_speaker(new QProcess(this))
        , m_encoder(new QProcess(this))
        , m_watchdog(new QTimer(this))
        , m_done(std::move(done))
    {
        m_speaker->setProgram(tools.espeak);
        m_speaker->setArguments({QStringLiteral("-v"), QStringLiteral("cmn-latn-pinyin"),
                                 QStringLiteral("--stdout"), job.spoken});
        m_speaker->setStandardOutputProcess(m_encoder);
        m_encoder->setProgram(tools.lame);
        m_encoder->setArguments({QStringLiteral("-b"), QStringLiteral("32"), QStringLiteral("--quiet"),
                                 QStringLiteral("-"), partialPath});

        for (QProcess *process : {m_speaker, m_encoder}) {
            connect(process, &QProcess::finished, this,
                    [this, process](int exitCode, QProcess::ExitStatus status) {
                        if (status != QProcess::NormalExit || exitCode != 0)
                            fail(process, tr("%1 ended with code %2")
                                              .arg(QFileInfo(process->program()).fileName())
                                              .arg(exitCode));
                        settle();
                    });
            connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
                // A program that never started reports no end; stop its partner, whose end then settles.
                if (error == QProcess::FailedToStart) {
                    fail(process, tr("%1 could not be started").arg(process->program()));
                    settle();
                    m_speaker->kill();
                    m_encoder->kill();
                }
            });
        }
        m_watchdog->setSingleShot(true);
        m_watchdog->setInterval(kJobTimeoutMs);
        connect(m_watchdog, &QTimer::timeout, this, [this] {
            m_timeout = tr("took too long and was stopped");
            m_speaker->kill();
            m_encoder->kill();
        });
    }

    void start()
    {
        m_watchdog->start();
        m_encoder->start();
        if (!m_settled)
            m_speaker->start();
    }

private:
    // Both programs may fail over one fault, in either order; the synthesiser's complaint comes first
    // because the encoder's is usually only its consequence.
    void fail(QProcess *process, const QString &what)
    {
        QString &problem = process == m_speaker ? m_speakerProblem : m_encoderProblem;
        if (!problem.isEmpty())
            return;
        problem = what;
        const QString details = firstLines(process->readAllStandardError());
        if (!details.isEmpty())
            problem += QStringLiteral(": ") + details;
    }

    QString problem() const
    {
        QStringList problems;
        for (const QString &problem : {m_timeout, m_speakerProblem, m_encoderProblem}) {
            if (!problem.isEmpty())
                problems.append(problem);
        }
        return problems.join(QStringLiteral("; "));
    }

    void settle()
    {
        for (QProcess *process : {m_speaker, m_encoder}) {
            if (process->state() != QProcess::NotRunning)
                return;
        }
        if (m_settled)
            return;
        m_settled = true;
        m_watchdog->stop();
        const QString problems = problem();
        m_done(problems.isEmpty(), problems);
        // Reported: nothing is left to do, and the processes go with the run.
        deleteLater();
    }

    QProcess *m_speaker;
    QProcess *m_encoder;
    QTimer *m_watchdog;
    Done m_done;
    QString m_timeout;
    QString m_speakerProblem;
    QString m_encoderProblem;
    bool m_settled = false;
};

} // namespace

SoundPlan planSounds(const WordTable &table, SoundFolder &folder)
{
    SoundPlan plan;
    QSet<QString> seen;
    for (int row = 0; row < table.rowCount(); ++row) {
        const QString &pinyin = table.cell(PinyinColumn, row);
        const QString name = SoundNameFromPinyin(pinyin);
        if (name.isEmpty())
            continue;
        ++plan.words;
        // The program finds files without regard to case, so Xi1an1 and xi1an1 are one file.
        const QString key = name.toCaseFolded();
        if (seen.contains(key)) {
            ++plan.duplicates;
            continue;
        }
        seen.insert(key);
        if (!usableAsFileName(name)) {
            plan.unusable.append(name);
            continue;
        }
        // A recording under either name, real or made earlier, is kept: a new NAME.mp3 would hide a
        // NAMEw.mp3 someone put there.
        if (!folder.find(name).isEmpty()) {
            ++plan.alreadyThere;
            continue;
        }
        const QString spoken = numberedPinyin(pinyin);
        if (spoken.isEmpty()) {
            plan.unusable.append(name);
            continue;
        }
        plan.jobs.append({name, spoken});
    }
    return plan;
}

AudioPackMaker::AudioPackMaker(SynthesisTools tools, QString outputFolder, QList<SoundJob> jobs, int parallel,
                               QObject *parent)
    : QObject(parent)
    , m_tools(std::move(tools))
    , m_outputFolder(std::move(outputFolder))
    , m_jobs(std::move(jobs))
    , m_parallel(qMax(1, parallel))
{
}

QString AudioPackMaker::partialFileName(const QString &soundName)
{
    return QStringLiteral(".") + soundName + QStringLiteral(".mp3.part");
}

void AudioPackMaker::removePartialFiles(const QString &folder)
{
    QDir dir(folder);
    const QStringList leftovers =
        dir.entryList({QStringLiteral(".*.mp3.part")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : leftovers)
        dir.remove(name);
}

void AudioPackMaker::start()
{
    if (m_jobs.isEmpty()) {
        QTimer::singleShot(0, this, &AudioPackMaker::finished);
        return;
    }
    while (m_running < m_parallel && m_next < m_jobs.size())
        startNext();
}

void AudioPackMaker::startNext()
{
    const SoundJob &job = m_jobs[m_next++];
    const QDir folder(m_outputFolder);
    const QString partialPath = folder.filePath(partialFileName(job.name));
    const QString finalPath = folder.filePath(job.name + QStringLiteral(".mp3"));
    QFile::remove(partialPath);

    ++m_running;
    auto *run = new SynthesisRun(
        m_tools, job, partialPath,
        [this, partialPath, finalPath, name = job.name](bool ok, QString problem) {
            if (ok && QFileInfo(partialPath).size() == 0) {
                ok = false;
                problem = tr("the synthesiser produced no sound");
            }
            if (ok && !QFile::rename(partialPath, finalPath)) {
                ok = false;
                problem = tr("cannot create %1").arg(QDir::toNativeSeparators(finalPath));
            }
            if (!ok)
                QFile::remove(partialPath);
            onJobDone(name, ok, problem);
        },
        this);
    run->start();
}

void AudioPackMaker::onJobDone(const QString &name, bool ok, const QString &problem)
{
    --m_running;
    ++m_done;
    if (!ok)
        ++m_failed;
    Q_EMIT jobFinished(name, ok, problem);
    if (m_next < m_jobs.size())
        startNext();
    else if (m_running == 0)
        Q_EMIT finished();
}

} // namespace wordlark
