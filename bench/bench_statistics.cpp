// Speed of the statistics of a CC-CEDICT-sized dictionary (all lessons): 50 ms at most, and at least 50
// times faster than looking every character up in the list built so far, measured side by side.
// The statistics window from its opening until both character lists are painted: 100 ms at most on the
// built-in course, 1 s at most on 124,000 words, the first time in a fresh program (nothing of the
// characters' glyphs cached yet) and again in a program that has shown them.

#include "chinesewords.h"
#include "paintwatch.h"

#include "dictionary/lessonlist.h"
#include "progress/statistics.h"
#include "progress/unit2.h"
#include "ui/fonts.h"
#include "ui/screenlook.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>

using namespace wordlark;

namespace {

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
        return built;
    }();
    return list;
}

// The same lists found by a linear search of the list built so far for every character.
DictionaryStatistics linearStatistics(const WordTable &table, const std::vector<int> &scope)
{
    DictionaryStatistics statistics;
    statistics.wordCount = int(scope.size());
    const auto listed = [](const CharacterList &list, char32_t character) {
        return std::find(list.begin(), list.end(), character) != list.end();
    };
    for (int column : {int(SimplifiedColumn), int(FullColumn)}) {
        for (int word : scope) {
            const QString &cell = table.cell(column, word);
            for (qsizetype i = 0; i < cell.size(); ++i) {
                char32_t character = cell[i].unicode();
                if (cell[i].isHighSurrogate() && i + 1 < cell.size() && cell[i + 1].isLowSurrogate()) {
                    character = QChar::surrogateToUcs4(cell[i], cell[i + 1]);
                    ++i;
                }
                if (character == U' ' || character == U',' || listed(statistics.simplified, character))
                    continue;
                if (column == SimplifiedColumn)
                    statistics.simplified.push_back(character);
                else if (!listed(statistics.full, character))
                    statistics.full.push_back(character);
            }
        }
    }
    return statistics;
}

void setCounters(benchmark::State &state, const DictionaryStatistics &statistics)
{
    state.counters["words"] = statistics.wordCount;
    state.counters["simplified"] = double(statistics.simplified.size());
    state.counters["full"] = double(statistics.full.size());
}

void BM_StatisticsAllLessons(benchmark::State &state)
{
    DictionaryStatistics statistics;
    for (auto _ : state)
        statistics = computeStatistics(words(), lessons(), StatisticsScope::AllLessons);
    setCounters(state, statistics);
}
BENCHMARK(BM_StatisticsAllLessons)->Unit(benchmark::kMillisecond);

void BM_StatisticsChosenLessons(benchmark::State &state)
{
    DictionaryStatistics statistics;
    for (auto _ : state)
        statistics = computeStatistics(words(), lessons(), StatisticsScope::ChosenLessons);
    setCounters(state, statistics);
}
BENCHMARK(BM_StatisticsChosenLessons)->Unit(benchmark::kMillisecond);

// The linear search, with the hash-set computation timed on the same data in the same run: `speedup`
// is how many times faster the latter is, and both must find the same lists.
void BM_StatisticsLinearSearch(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    const std::vector<int> scope = wordsInScope(words(), lessons(), StatisticsScope::AllLessons);
    DictionaryStatistics linear;
    Clock::duration linearTime{};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        linear = linearStatistics(words(), scope);
        linearTime += Clock::now() - start;
    }
    Clock::duration hashTime = Clock::duration::max();
    DictionaryStatistics hashed;
    for (int run = 0; run < 10; ++run) {
        const Clock::time_point start = Clock::now();
        hashed = countCharacters(words(), scope);
        hashTime = std::min(hashTime, Clock::now() - start);
    }
    if (hashed.simplified != linear.simplified || hashed.full != linear.full)
        state.SkipWithError("the two methods found different characters");
    setCounters(state, linear);
    const double linearPerRun = double(linearTime.count()) / double(state.iterations());
    state.counters["speedup"] = linearPerRun / double(hashTime.count());
}
BENCHMARK(BM_StatisticsLinearSearch)->Unit(benchmark::kMillisecond)->Iterations(1);

// --- The window ---

enum class Course { BuiltIn, CedictSized };

const WordTable &builtInWords()
{
    static const WordTable table = [] {
        QFile file(QStringLiteral(":/dictionary/Dict.dic"));
        file.open(QIODevice::ReadOnly);
        WordTable parsed;
        parseDictionary(splitLines(decodeText(file.readAll())), parsed);
        return parsed;
    }();
    return table;
}

const WordTable &wordsOf(Course course)
{
    return course == Course::BuiltIn ? builtInWords() : words();
}

const LessonList &lessonsOf(Course course)
{
    static const LessonList builtIn = [] {
        LessonList built;
        built.build(builtInWords());
        return built;
    }();
    return course == Course::BuiltIn ? builtIn : lessons();
}

// The statistics window is painted when both character lists are.
QList<QWidget *> characterLists(TFormStat *statistics)
{
    QList<QWidget *> lists;
    for (const char *name : {"TntMemo1", "TntMemo2"})
        lists << statistics->findChild<QAbstractScrollArea *>(QLatin1String(name))->viewport();
    return lists;
}

// Made once, as the program makes it, by main().
TFormStat *statistics = nullptr;

// The window in the given layout.
TFormStat &statisticsWindow(bool vertical)
{
    if (statistics->isVerticalLayout() != vertical)
        statistics->findChild<QPushButton *>(QStringLiteral("ButtonHV"))->click();
    return *statistics;
}

// "Словарь" → "Статистика": the seconds from the opening until both lists are painted, or nothing when they
// were not painted within ten seconds.
std::optional<double> openUntilPainted(Course course, bool vertical)
{
    TFormStat &window = statisticsWindow(vertical);
    benchdata::PaintWatch watch(&window, characterLists(&window));
    watch.start();
    window.ShowStatistics(wordsOf(course), lessonsOf(course));
    if (watch.timedOut())
        return std::nullopt;
    return watch.seconds();
}

// The first opening is timed in a program of its own, started for each run: this option, followed by
// "builtin" or "cedict" and optionally ",vertical", makes the benchmark program open the window once and
// print the seconds it took.
constexpr const char *kFirstOpeningOption = "--first-opening=";

int printFirstOpening(const char *what)
{
    const bool vertical = std::strstr(what, ",vertical") != nullptr;
    const Course course = std::strncmp(what, "builtin", 7) == 0 ? Course::BuiltIn : Course::CedictSized;
    lessonsOf(course); // the dictionary is loaded before the learner can open the window
    const std::optional<double> seconds = openUntilPainted(course, vertical);
    if (!seconds)
        return 1;
    std::printf("%.6f\n", *seconds);
    return 0;
}

void BM_OpenStatisticsFirstTime(benchmark::State &state, Course course, bool vertical)
{
    const QString what = QLatin1String(kFirstOpeningOption) +
                         QLatin1String(course == Course::BuiltIn ? "builtin" : "cedict") +
                         QLatin1String(vertical ? ",vertical" : "");
    for (auto _ : state) {
        QProcess program;
        program.start(QCoreApplication::applicationFilePath(), {what});
        bool seconds = false;
        const double measured = program.waitForFinished(120000)
                                    ? program.readAllStandardOutput().trimmed().toDouble(&seconds)
                                    : 0;
        if (!seconds) {
            state.SkipWithError("the window was not painted");
            break;
        }
        state.SetIterationTime(measured);
    }
    state.counters["words"] = wordsOf(course).rowCount();
}

// Opened again in the same program, as the learner does after a change of the lesson choice.
void BM_OpenStatisticsAgain(benchmark::State &state, Course course, bool vertical)
{
    if (!openUntilPainted(course, vertical)) {
        state.SkipWithError("the window was not painted");
        return;
    }
    for (auto _ : state) {
        const std::optional<double> seconds = openUntilPainted(course, vertical);
        if (!seconds) {
            state.SkipWithError("the window was not painted");
            break;
        }
        state.SetIterationTime(*seconds);
    }
    state.counters["words"] = wordsOf(course).rowCount();
}

#define WINDOW_BENCHMARK(function, name, ...)                                                                \
    BENCHMARK_CAPTURE(function, name, __VA_ARGS__)                                                           \
        ->Unit(benchmark::kMillisecond)                                                                      \
        ->UseManualTime()                                                                                    \
        ->Iterations(5)

WINDOW_BENCHMARK(BM_OpenStatisticsFirstTime, builtin_horizontal, Course::BuiltIn, false);
WINDOW_BENCHMARK(BM_OpenStatisticsFirstTime, builtin_vertical, Course::BuiltIn, true);
WINDOW_BENCHMARK(BM_OpenStatisticsFirstTime, cedict_horizontal, Course::CedictSized, false);
WINDOW_BENCHMARK(BM_OpenStatisticsFirstTime, cedict_vertical, Course::CedictSized, true);
WINDOW_BENCHMARK(BM_OpenStatisticsAgain, builtin_horizontal, Course::BuiltIn, false);
WINDOW_BENCHMARK(BM_OpenStatisticsAgain, builtin_vertical, Course::BuiltIn, true);
WINDOW_BENCHMARK(BM_OpenStatisticsAgain, cedict_horizontal, Course::CedictSized, false);
WINDOW_BENCHMARK(BM_OpenStatisticsAgain, cedict_vertical, Course::CedictSized, true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    installFontSubstitutions();
    // The characters in the faces the program starts with.
    const ScreenLook look;
    TFormStat window(look);
    statistics = &window;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], kFirstOpeningOption, std::strlen(kFirstOpeningOption)) == 0)
            return printFirstOpening(argv[i] + std::strlen(kFirstOpeningOption));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
