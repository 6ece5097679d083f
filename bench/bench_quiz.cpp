// Speed of choosing the candidates of one question: twelve answers from the built-in 1,400-word course,
// drawn from all lessons (with the length rule) and from a choice of lessons.

#include "dictionary/lessonlist.h"
#include "dictionary/textdecoding.h"
#include "dictionary/wordtable.h"
#include "quiz/candidates.h"
#include "quiz/quizsession.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <random>

using wordlark::SeededRandom;

namespace {

struct Course {
    wordlark::WordTable table;
    wordlark::LessonList lessons;
};

// The built-in course, as the program loads it.
const Course &course()
{
    static const Course loaded = [] {
        Course course;
        QFile file(QStringLiteral(":/dictionary/Dict.dic"));
        if (!file.open(QIODevice::ReadOnly))
            return course;
        wordlark::parseDictionary(wordlark::splitLines(wordlark::decodeText(file.readAll())), course.table);
        course.lessons.build(course.table);
        return course;
    }();
    return loaded;
}

void chooseForEveryWord(benchmark::State &state, const wordlark::LessonList &lessons, bool fromAllLessons)
{
    const wordlark::WordTable &table = course().table;
    if (table.rowCount() == 0 || lessons.selectedWordCount() == 0) {
        state.SkipWithError("built-in dictionary not available");
        return;
    }
    SeededRandom random(1400);
    int n = 0;
    for (auto _ : state) {
        const int word = lessons.nthSelectedWord(n);
        n = (n + 1) % lessons.selectedWordCount();
        benchmark::DoNotOptimize(
            wordlark::chooseCandidates(table, lessons, word, 12, fromAllLessons, random));
    }
    state.counters["words"] = table.rowCount();
    state.counters["pool"] = fromAllLessons ? table.rowCount() : lessons.selectedWordCount();
}

void BM_CandidatesAllLessons(benchmark::State &state)
{
    chooseForEveryWord(state, course().lessons, true);
}
BENCHMARK(BM_CandidatesAllLessons)->Unit(benchmark::kMicrosecond);

// Every third lesson chosen, about a third of the course.
void BM_CandidatesSelectedLessons(benchmark::State &state)
{
    wordlark::LessonList lessons = course().lessons;
    std::vector<bool> chosen(size_t(lessons.lessonCount()), false);
    for (size_t lesson = 0; lesson < chosen.size(); lesson += 3)
        chosen[lesson] = true;
    lessons.countSelected(chosen);
    chooseForEveryWord(state, lessons, false);
}
BENCHMARK(BM_CandidatesSelectedLessons)->Unit(benchmark::kMicrosecond);

// One lesson from the middle of the course: a pool of a few dozen words at most.
void BM_CandidatesOneLesson(benchmark::State &state)
{
    wordlark::LessonList lessons = course().lessons;
    std::vector<bool> chosen(size_t(lessons.lessonCount()), false);
    if (!chosen.empty())
        chosen[chosen.size() / 2] = true;
    lessons.countSelected(chosen);
    chooseForEveryWord(state, lessons, false);
}
BENCHMARK(BM_CandidatesOneLesson)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
