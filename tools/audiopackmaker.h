#pragma once

#include "dictionary/wordtable.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace wordlark {

class SoundFolder;

// One sound file still to be made.
struct SoundJob {
    QString name;   // the sound name, the file is NAME.mp3
    QString spoken; // numbered pinyin for the synthesiser, "ni3 hao3"
};

// The sound files a dictionary still lacks, one per distinct sound name.
struct SoundPlan {
    QList<SoundJob> jobs;
    int words = 0;        // rows with a pinyin
    int alreadyThere = 0; // names the folder already has a file for (NAME.mp3 or NAMEw.mp3)
    int duplicates = 0;   // rows whose name an earlier row already has
    QStringList unusable; // names that cannot be file names
};

SoundPlan planSounds(const WordTable &table, SoundFolder &folder);

// The programs that turn numbered pinyin into an MP3 file.
struct SynthesisTools {
    QString espeak;
    QString lame;
};

// Runs the jobs, a few synthesiser pipelines at a time, and reports each finished job. Every file is
// written under a temporary name and renamed when complete, so an interrupted run leaves no half file
// under a sound name.
class AudioPackMaker final : public QObject {
    Q_OBJECT

public:
    AudioPackMaker(SynthesisTools tools, QString outputFolder, QList<SoundJob> jobs, int parallel,
                   QObject *parent = nullptr);

    void start();

    int total() const { return int(m_jobs.size()); }
    int done() const { return m_done; }
    int failed() const { return m_failed; }

    // Name of the temporary file a job writes before it is complete.
    static QString partialFileName(const QString &soundName);
    // Removes what an interrupted run left behind in the folder.
    static void removePartialFiles(const QString &folder);

Q_SIGNALS:
    void jobFinished(const QString &name, bool ok, const QString &problem);
    void finished();

private:
    void startNext();
    void onJobDone(const QString &name, bool ok, const QString &problem);

    SynthesisTools m_tools;
    QString m_outputFolder;
    QList<SoundJob> m_jobs;
    int m_parallel = 1;
    int m_next = 0;
    int m_running = 0;
    int m_done = 0;
    int m_failed = 0;
};

} // namespace wordlark
