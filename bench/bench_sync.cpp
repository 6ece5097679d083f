// Speed of the sync folder with long histories: merging another computer's file of 100,000 answers (at
// most 1 s), replaying the schedules of a journal of 1,000,000 answers to 20,000 words (at most 2 s) and
// writing this computer's file for 1,000,000 answers (at most 1 s). None of them is on the way from a click
// to the next question: they run after a batch is written, at the end of a pass, at start and at close.

#include "chinesewords.h"

#include "journal/journal.h"
#include "journal/journalsync.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

using namespace wordlark;

namespace {

constexpr qint64 DayMs = 86'400'000;
constexpr int MetWords = 20'000;

const WordTable &words()
{
    static const WordTable table = benchdata::cedictSizedWords();
    return table;
}

// `answers` answers over two years to the first MetWords words, one in six a repeated showing.
std::unique_ptr<Journal> journalWith(const QString &path, int answers, unsigned seed)
{
    auto created = Journal::create(path);
    if (!created)
        qFatal("%s", qPrintable(created.error()));
    std::unique_ptr<Journal> journal = std::move(created).value();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> word(0, MetWords - 1);
    const qint64 start = QDateTime::currentMSecsSinceEpoch() - 730 * DayMs;
    const qint64 step = 730 * DayMs / answers;
    int row = 0;
    for (int i = 0; i < answers; ++i) {
        const bool first = i % 6 != 5;
        if (first)
            row = word(random);
        JournalAnswer answer = answerToWord(words(), row);
        answer.timeMs = start + i * step + seed;
        answer.dictionaryPath = QStringLiteral("Dictionary/Dict.dic");
        answer.right = random() % 100 < 85;
        answer.firstOfShowing = first;
        answer.answerMs = 900 + row % 3000;
        journal->record(answer);
        if (i % 20000 == 19999 && !journal->flush())
            qFatal("the history could not be written");
    }
    journal->flush();
    return journal;
}

QTemporaryDir &scratch()
{
    static QTemporaryDir folder;
    return folder;
}

Journal &millionAnswers()
{
    static const std::unique_ptr<Journal> made =
        journalWith(scratch().filePath(QStringLiteral("million.sqlite")), 1'000'000, 1);
    return *made;
}

// Another computer's file of 100,000 answers, merged into a journal of 100,000 answers of its own, to the
// same words.
void MergeForeignFileOf100000Answers(benchmark::State &state)
{
    const QString folder = scratch().filePath(QStringLiteral("Sync"));
    QDir().mkpath(folder);
    const QString own = scratch().filePath(QStringLiteral("own.sqlite"));
    QString foreignFile;
    {
        auto other = journalWith(scratch().filePath(QStringLiteral("other.sqlite")), 100'000, 2);
        JournalSync sync(*other);
        if (!sync.writeDeviceFile(folder))
            qFatal("the foreign file could not be written");
        foreignFile = JournalSync::deviceFilePath(folder, other->deviceId());
        journalWith(own, 100'000, 3).reset();
    }
    int merged = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString copy = scratch().filePath(QStringLiteral("merging.sqlite"));
        QFile::remove(copy);
        QFile::copy(own, copy);
        auto opened = Journal::open(copy);
        if (!opened)
            qFatal("%s", qPrintable(opened.error()));
        std::unique_ptr<Journal> journal = std::move(opened).value();
        // The file's check on opening is not part of the merge.
        if (!journal->waitForCheck())
            qFatal("the journal did not pass its check");
        auto sync = std::make_unique<JournalSync>(*journal);
        state.ResumeTiming();
        const Result<int> result = sync->mergeFile(foreignFile);
        if (!result)
            state.SkipWithError(qPrintable(result.error()));
        merged = result ? *result : 0;
        state.PauseTiming();
        sync.reset();
        journal.reset();
        (void)Journal::deleteFile(copy);
        state.ResumeTiming();
    }
    state.counters["merged"] = merged;
}
BENCHMARK(MergeForeignFileOf100000Answers)->Unit(benchmark::kMillisecond)->Iterations(3);

void ReplayMillionAnswers(benchmark::State &state)
{
    Journal &journal = millionAnswers();
    for (auto _ : state)
        if (!journal.replayAll())
            state.SkipWithError("the replay failed");
    state.counters["words"] = journal.knownWordCount();
}
BENCHMARK(ReplayMillionAnswers)->Unit(benchmark::kMillisecond)->Iterations(3);

void WriteDeviceFileOfMillionAnswers(benchmark::State &state)
{
    Journal &journal = millionAnswers();
    const QString folder = scratch().filePath(QStringLiteral("Out"));
    QDir().mkpath(folder);
    for (auto _ : state) {
        // A new sync each time: one that wrote the file already writes nothing while no answer is new.
        JournalSync sync(journal);
        if (!sync.writeDeviceFile(folder))
            state.SkipWithError("the file was not written");
    }
    state.counters["MB"] =
        double(QFileInfo(JournalSync::deviceFilePath(folder, journal.deviceId())).size()) / 1e6;
}
BENCHMARK(WriteDeviceFileOfMillionAnswers)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
