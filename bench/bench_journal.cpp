// Speed of the learning journal with a long history: 1,000,000 answers over two years to 20,000 words of
// a CC-CEDICT-sized dictionary. The due count for all 124,000 words (at most 20 ms), tying a dictionary to
// the journal when it is loaded, writing one batch of answers, and the progress window from opening
// until its four pictures are painted (at most 300 ms), also for a million answers within 30 days.
// Opening the journal at start, as far as the learner waits for it, and the check of the whole file
// (SQLite's quick_check) that follows beside the quiz.
//
// Measured here (2 cores shared with other builds, load average 5 to 10; the file is 91 MB): the check
// took 0.39-0.94 s beyond opening (sqlite3 alone on a similar 108 MB file: 2.8 s), eight to nineteen
// times the 50 ms a check at opening may cost, so it runs beside the quiz and the first write waits for it.
// Opening took 64-121 ms (32-51 ms of processor time), nearly all of it reading the 20,000 words' schedule,
// which it did before the check as well.
//
// `bench_journal --picture file.png` draws the window for that journal into a picture instead.

#include "chinesewords.h"
#include "paintwatch.h"

#include "dictionary/lessonlist.h"
#include "journal/journal.h"
#include "journal/unitprogress.h"

#include <QApplication>
#include <QChartView>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

using namespace wordlark;

namespace {

constexpr qint64 DayMs = 86'400'000;
constexpr int HistoryAnswers = 1'000'000;
constexpr int MetWords = 20'000;
constexpr int HistoryDays = 730;

const WordTable &words()
{
    static const WordTable table = benchdata::cedictSizedWords();
    return table;
}

const LessonList &lessons()
{
    static const LessonList list = [] {
        LessonList built;
        built.build(words());
        built.countSelected(std::vector<bool>(size_t(built.lessonCount()), true));
        return built;
    }();
    return list;
}

qint64 now()
{
    static const qint64 moment = QDateTime::currentMSecsSinceEpoch();
    return moment;
}

JournalAnswer answerTo(int row, bool right, bool first, qint64 timeMs)
{
    JournalAnswer answer = answerToWord(words(), row);
    answer.timeMs = timeMs;
    answer.dictionaryPath = QStringLiteral("Dictionary/Dict.dic");
    answer.right = right;
    answer.firstOfShowing = first;
    answer.answerMs = 900 + row % 3000;
    return answer;
}

// A journal with its history over `days` days up to now, written once through the journal's own
// batches.
std::unique_ptr<Journal> journalOver(const QString &path, int days)
{
    auto created = Journal::create(path);
    if (!created)
        qFatal("%s", qPrintable(created.error()));
    std::unique_ptr<Journal> journal = std::move(created).value();
    journal->indexWords(words());
    std::mt19937 random(22);
    std::uniform_int_distribution<int> word(0, MetWords - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    const qint64 start = now() - days * DayMs;
    const qint64 step = days * DayMs / HistoryAnswers;
    bool missed = false;
    int row = 0;
    for (int i = 0; i < HistoryAnswers; ++i) {
        const bool first = !missed;
        if (first)
            row = word(random);
        const bool right = percent(random) < 85;
        journal->record(answerTo(row, right, first, start + i * step));
        missed = !right;
        if (i % 20000 == 19999 && !journal->flush())
            qFatal("the history could not be written");
    }
    journal->flush();
    return journal;
}

// Two years of answers, about 1,400 a day.
Journal &journal()
{
    static QTemporaryDir folder;
    static const std::unique_ptr<Journal> made =
        journalOver(folder.filePath(Journal::fileName()), HistoryDays);
    return *made;
}

// The same million answers within the last 30 days: every one of them lies in the window's first picture.
Journal &crowdedJournal()
{
    static QTemporaryDir folder;
    static const std::unique_ptr<Journal> made = journalOver(folder.filePath(Journal::fileName()), 30);
    return *made;
}

void DueCount124000Words(benchmark::State &state)
{
    Journal &history = journal();
    int due = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(due = history.dueCount(lessons(), now()));
    state.counters["due"] = due;
    state.counters["words"] = words().rowCount();
}
BENCHMARK(DueCount124000Words)->Unit(benchmark::kMillisecond);

void DueWordsInOrder124000Words(benchmark::State &state)
{
    Journal &history = journal();
    for (auto _ : state)
        benchmark::DoNotOptimize(history.dueWords(lessons(), now()));
}
BENCHMARK(DueWordsInOrder124000Words)->Unit(benchmark::kMillisecond);

void IndexWordsOnLoad124000Words(benchmark::State &state)
{
    Journal &history = journal();
    for (auto _ : state)
        history.indexWords(words());
}
BENCHMARK(IndexWordsOnLoad124000Words)->Unit(benchmark::kMillisecond);

// One batch as the learner makes it in a few seconds: ten answers, seven of them reviews.
void WriteBatchOfTenAnswers(benchmark::State &state)
{
    Journal &history = journal();
    qint64 t = now();
    for (auto _ : state) {
        for (int i = 0; i < 10; ++i)
            history.record(answerTo(i * 7, i % 4 != 0, i % 3 != 0, ++t));
        if (!history.flush())
            state.SkipWithError("the batch was not written");
    }
}
BENCHMARK(WriteBatchOfTenAnswers)->Unit(benchmark::kMillisecond);

// The two years of answers in a closed file, to be opened anew.
const QString &closedHistory()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString file = folder.filePath(Journal::fileName());
        journalOver(file, HistoryDays).reset();
        return file;
    }();
    return path;
}

// From Journal::open() until it returns, or until the check of the whole file it begins has ended.
void OpenJournal(benchmark::State &state, bool untilChecked)
{
    const QString &path = closedHistory();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto opened = Journal::open(path);
        if (!opened) {
            state.SkipWithError(qPrintable(opened.error()));
            return;
        }
        const qint64 openNs = clock.nsecsElapsed();
        const bool sound = (*opened)->waitForCheck();
        state.SetIterationTime(double(untilChecked ? clock.nsecsElapsed() : openNs) / 1e9);
        if (!sound) {
            state.SkipWithError("the check found the journal damaged");
            return;
        }
    }
    state.counters["answers"] = HistoryAnswers;
    state.counters["file_MB"] = double(QFileInfo(path).size()) / 1e6;
}

void OpenJournalOf1000000Answers(benchmark::State &state)
{
    OpenJournal(state, false);
}
BENCHMARK(OpenJournalOf1000000Answers)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void OpenAndQuickCheckJournalOf1000000Answers(benchmark::State &state)
{
    OpenJournal(state, true);
}
BENCHMARK(OpenAndQuickCheckJournalOf1000000Answers)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

// The window is painted when its four pictures are.
QList<QWidget *> pictures(TFormProgress *window)
{
    QList<QWidget *> surfaces;
    for (QChartView *view : window->findChildren<QChartView *>())
        surfaces << view->viewport();
    return surfaces;
}

void OpenProgressUntilPainted(benchmark::State &state)
{
    Journal &history = state.range(0) == 30 ? crowdedJournal() : journal();
    history.indexWords(words());
    TFormProgress window;
    benchdata::PaintWatch watch(&window, pictures(&window));
    for (auto _ : state) {
        watch.start();
        window.ShowProgress(history, words(), lessons(), now(), 3 * 3600);
        if (watch.timedOut()) {
            state.SkipWithError("the window was not painted");
            return;
        }
        state.SetIterationTime(watch.seconds());
    }
    state.counters["answers"] = HistoryAnswers;
}
BENCHMARK(OpenProgressUntilPainted)
    ->ArgName("days")
    ->Arg(HistoryDays)
    ->Arg(30)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--picture") == 0) {
        TFormProgress window;
        journal().indexWords(words());
        window.drawProgress(journal(), words(), lessons(), now(), 3 * 3600);
        window.show();
        QApplication::processEvents();
        return window.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
