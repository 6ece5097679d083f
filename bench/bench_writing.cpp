// Writing characters: the matcher's acceptance rates over every stroke of every character of the
// built-in course, the time one stroke takes to check, opening the stroke data and drawing the first
// character, and the last stroke of a word until the next question is on the pad.

#include "strokerates.h"

#include "app/mainunit.h"
#include "app/program.h"
#include "app/trainer.h"
#include "app/unit1.h"
#include "writing/strokedata.h"
#include "writing/strokematcher.h"
#include "writing/strokestore.h"
#include "writing/writingcell.h"
#include "writing/writtenword.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

using namespace wordlark;

namespace {

// The shipped data beside the program (the benchmark starts in its folder).
QString strokeDataPath()
{
    static const QString path = QDir::current().absoluteFilePath(QStringLiteral("Data/strokes.sqlite"));
    return path;
}

StrokeStore &store()
{
    static std::unique_ptr<StrokeStore> opened = [] {
        auto result = StrokeStore::open(strokeDataPath());
        return result ? std::move(result).value() : nullptr;
    }();
    return *opened;
}

// Every distinct simplified character of the built-in course, in the order of the course.
QStringList courseCharacters()
{
    QFile course(QStringLiteral(":/dictionary/Dict.dic"));
    course.open(QIODevice::ReadOnly);
    QSet<QString> seen;
    QStringList characters;
    for (const QByteArray &line : course.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('*');
        if (fields.size() < 2)
            continue;
        for (const QString &character : writtenCharacters(QString::fromUtf8(fields[1]).trimmed()))
            if (!seen.contains(character)) {
                seen.insert(character);
                characters.append(character);
            }
    }
    return characters;
}

void MatcherRatesOverTheCourse(benchmark::State &state)
{
    strokerates::Rates rates;
    int characters = 0;
    for (auto _ : state) {
        std::mt19937 random(2026);
        rates = {};
        characters = 0;
        for (const QString &character : courseCharacters()) {
            if (const CharacterStrokes *strokes = store().character(character)) {
                strokerates::addCharacter(*strokes, random, rates);
                ++characters;
            }
        }
    }
    state.counters["characters"] = characters;
    state.counters["strokes"] = rates.own;
    state.counters["own_accepted_pct"] = 100 * rates.ownRate();
    state.counters["reversed_rejected_pct"] = 100 * rates.reversedRate();
    state.counters["others_rejected_pct"] = 100 * rates.othersRate();
    if (rates.ownRate() < 0.99 || rates.reversedRate() < 0.95 || rates.othersRate() < 0.95)
        state.SkipWithError("a rate is below its target (99 % own, 95 % reversed and others)");
}
BENCHMARK(MatcherRatesOverTheCourse)->Unit(benchmark::kMillisecond)->Iterations(1);

// One stroke as the pad checks it: a hand-drawn stroke of some 30 points against the expected median.
void CheckOneStroke(benchmark::State &state)
{
    std::mt19937 random(7);
    std::vector<std::pair<std::vector<QPointF>, StrokeMedian>> strokes;
    for (const QString &character : courseCharacters().mid(0, 200))
        if (const CharacterStrokes *found = store().character(character))
            for (const StrokeMedian &median : found->medians)
                strokes.emplace_back(strokerates::handDrawn(median, 1.1, 20, random), median);
    size_t next = 0;
    for (auto _ : state) {
        const auto &[drawn, median] = strokes[next++ % strokes.size()];
        benchmark::DoNotOptimize(compareStroke(drawn, median));
    }
}
BENCHMARK(CheckOneStroke)->Unit(benchmark::kMicrosecond);

// What the first question of a writing pass costs: the data opened, the word's strokes read, its first
// character drawn in a cell of the pad's size.
void OpenDataAndDrawFirstCharacter(benchmark::State &state)
{
    const WritingColours colours{Qt::white, Qt::black, Qt::darkGreen, Qt::red, Qt::green};
    QImage picture(400, 400, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        auto opened = StrokeStore::open(strokeDataPath());
        if (!opened) {
            state.SkipWithError("the stroke data could not be opened");
            return;
        }
        StrokeStore &strokes = **opened;
        const WrittenWord word(writtenCharacters(QStringLiteral("爱国")),
                               [&strokes](const QString &c) { return strokes.character(c); });
        WritingCell cell(1, colours, nullptr);
        cell.resize(400, 400);
        cell.showCharacter(&*word.character(0), word.text(0), QFont());
        cell.setWrittenStrokes(word.character(0)->strokeCount());
        cell.render(&picture);
        benchmark::DoNotOptimize(picture.bits());
    }
}
BENCHMARK(OpenDataAndDrawFirstCharacter)->Unit(benchmark::kMillisecond);

// The program on the built-in course in a folder of its own, with the stroke data, in a writing pass.
class WritingProgram {
public:
    WritingProgram()
    {
        const QString schemes = QDir::current().absoluteFilePath(QStringLiteral("Data/data1.dat"));
        QDir::setCurrent(m_dir.path());
        for (const char *folder : {"Dictionary", "Data", "Help"})
            QDir(m_dir.path()).mkpath(QString::fromLatin1(folder));
        QFile::copy(schemes, QStringLiteral("Data/data1.dat"));
        QFile::link(strokeDataPath(), QStringLiteral("Data/strokes.sqlite"));
        QFile::copy(QStringLiteral(":/dictionary/Dict.dic"), QStringLiteral("Dictionary/Dict.dic"));
        for (const char *help : {"Help/Readme.txt", "Help/Dict_readme.txt"}) {
            QFile file(QString::fromLatin1(help));
            file.open(QIODevice::WriteOnly);
            file.write("Wordlark");
        }
        setSplashDelay(std::chrono::milliseconds(0));
        createProgramWindows();
        QEventLoop loop;
        QObject::connect(runningTrainer(), &Trainer::questionAsked, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QLatin1String("MainForm"))
                main = static_cast<TMainForm *>(widget);
        main->findChild<QAction *>(QStringLiteral("WritingAction"))->trigger();
        QCoreApplication::processEvents();
    }
    // The splash owns every other window.
    ~WritingProgram() { delete main->parentWidget(); }

    TMainForm *main = nullptr;

private:
    QTemporaryDir m_dir;
};

void drawStroke(QWidget *cell, const StrokeMedian &median)
{
    const double side = cell->width();
    const auto at = [side](QPointF p) { return dataToCell(p, side).toPoint(); };
    QTest::mousePress(cell, Qt::LeftButton, {}, at(median.front()));
    for (size_t i = 1; i + 1 < median.size(); ++i)
        QTest::mouseMove(cell, at(median[i]));
    QTest::mouseRelease(cell, Qt::LeftButton, {}, at(median.back()));
}

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The release of a word's last stroke until the next word's cells are on the pad and painted.
void LastStrokeUntilNextQuestion(benchmark::State &state)
{
    WritingProgram program;
    double cpu = 0;
    int measured = 0;
    Trainer &trainer = *runningTrainer();
    for (auto _ : state) {
        if (trainer.session().queue().size() <= 1)
            trainer.startWriting(std::vector<bool>(size_t(trainer.wordCount()), true));
        const QStringList characters =
            writtenCharacters(trainer.wordTable().cell(SimplifiedColumn, trainer.question().word));
        const int asked = trainer.question().word;
        for (int i = 0; i < characters.size(); ++i) {
            QWidget *cell = program.main->findChild<QWidget *>(QStringLiteral("WritingCell%1").arg(i + 1));
            const std::vector<StrokeMedian> &medians = store().character(characters[i])->medians;
            for (size_t k = 0; k < medians.size(); ++k) {
                const bool last = i + 1 == characters.size() && k + 1 == medians.size();
                QElapsedTimer clock;
                clock.start();
                const double cpuBefore = threadCpuSeconds();
                drawStroke(cell, medians[k]);
                if (!last)
                    continue;
                QCoreApplication::processEvents();
                state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
                cpu += threadCpuSeconds() - cpuBefore;
                ++measured;
            }
        }
        if (trainer.question().word == asked && trainer.session().queue().contains(asked)) {
            state.SkipWithError("the written word was not taken");
            break;
        }
    }
    // The main thread's own work, apart from what a loaded machine adds to the wall time.
    state.counters["thread_cpu_us"] = measured ? 1e6 * cpu / measured : 0;
}
BENCHMARK(LastStrokeUntilNextQuestion)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(300);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    // Found from the program's folder, before a benchmark moves to a folder of its own.
    (void)strokeDataPath();
    (void)store();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
