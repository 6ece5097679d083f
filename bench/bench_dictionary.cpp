// Speed of reading a large dictionary: bytes to text, text to lines, lines to the word table and the
// table to its lessons. Targets: the four steps together on 120,000 lines in 150 ms at most, and on a
// dictionary the size of the largest free one (124,263 lines) at most twice the time of only decoding the
// file and splitting it into lines.
// Memory of loading a very large one (3,000,000 lines, about 170 MB): at most three times the file, both
// at the peak of the load and held afterwards.

#include "dictionary/lessonlist.h"
#include "dictionary/textdecoding.h"
#include "dictionary/wordtable.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>

using namespace Qt::StringLiterals;

namespace {

constexpr int kLines = 120000;
constexpr int kLargeLines = 3000000;
constexpr double kMiB = 1024.0 * 1024.0;

// Lines as a dictionary author writes them: pinyin with tone marks, one to four characters, a full form
// where it differs, lessons in blocks of about fifty words, Russian translations (some quoted, with
// doubled quotes inside), CR LF breaks, a blank line between some lessons.
// `english`: translations as a free Chinese-English dictionary has them, longer and all ASCII.
QString dictionaryText(int lineCount = kLines, bool english = false)
{
    static const char16_t *const syllables[] = {u"nǐ",    u"hǎo",  u"xué", u"xiào", u"péng", u"you",
                                                u"zhōng", u"guó",  u"rén", u"mín",  u"lǜ",   u"shū",
                                                u"diàn",  u"nǎo",  u"chī", u"fàn",  u"hē",   u"shuǐ",
                                                u"kàn",   u"jiàn", u"Běi", u"jīng", u"màn",  u"zǒu"};
    static const char16_t *const translations[] = {
        u"здравствуйте", u"хороший; хорошо", u"школа",    u"друг",        u"Китай",
        u"народ",        u"зелёный",         u"книга",    u"компьютер",   u"есть, кушать",
        u"пить воду",    u"видеть",          u"медленно", u"идти, ходить"};
    std::mt19937 random{unsigned(lineCount)};
    const auto below = [&random](int bound) {
        return std::uniform_int_distribution<int>(0, bound - 1)(random);
    };

    QString text;
    text.reserve(qsizetype(lineCount) * 48);
    int lesson = 1, leftInLesson = 50;
    for (int line = 0; line < lineCount; ++line) {
        if (leftInLesson == 0) {
            ++lesson;
            leftInLesson = 45 + below(11);
            if (lesson % 7 == 0) {
                text += u"\r\n"_s;
                continue;
            }
        }
        --leftInLesson;

        const int length = 1 + below(4);
        QString pinyin, simplified, full;
        const bool fullDiffers = below(4) == 0;
        for (int k = 0; k < length; ++k) {
            if (k > 0)
                pinyin += u' ';
            pinyin += QString::fromUtf16(syllables[below(int(std::size(syllables)))]);
            const auto character = char16_t(0x4E00 + below(0x51A0));
            simplified += QChar(character);
            full += QChar(fullDiffers && k == 0 ? char16_t(character + 1) : character);
        }
        static const char16_t *const englishTranslations[] = {
            u"/hello/hi/how are you?/",
            u"/good/well/proper/good to/easy to/very/so/(suffix indicating "
            u"completion or readiness)/",
            u"/school/CL:所[suo3]/",
            u"/friend/",
            u"/China/",
            u"/the people/",
            u"/green/",
            u"/book/letter/document/CL:本[ben3],冊|册[ce4],部[bu4]/to write/"};
        QString translation =
            english ? QString::fromUtf16(englishTranslations[below(int(std::size(englishTranslations)))])
                    : QString::fromUtf16(translations[below(int(std::size(translations)))]);
        if (below(5) == 0)
            translation = u"\""_s + translation + u", \"\""_s + translation + u"\"\"\""_s;

        text += pinyin + u"\t*\t"_s + simplified + u"\t*\t"_s + (fullDiffers ? full : QString()) +
                u"\t*\t"_s + QString::number(lesson) + u"\t*\t"_s + translation + u"\r\n"_s;
    }
    return text;
}

const QByteArray &dictionaryFile()
{
    static const QByteArray file = QByteArray("\xEF\xBB\xBF") + dictionaryText().toUtf8();
    return file;
}

// Every step from the file's bytes to the lessons, as when a dictionary is opened: the lines found in the
// bytes, each decoded as it is parsed.
void loadDictionary(const QByteArray &file)
{
    const wordlark::TextLines lines(file);
    wordlark::WordTable table;
    wordlark::parseDictionaryText(lines, table);
    wordlark::LessonList lessons;
    lessons.build(table);
    benchmark::DoNotOptimize(lessons.selectedWordCount());
}

void BM_LoadDictionary(benchmark::State &state)
{
    const QByteArray &file = dictionaryFile();
    for (auto _ : state)
        loadDictionary(file);
    state.SetBytesProcessed(state.iterations() * file.size());
    state.counters["lines"] = kLines;
}
BENCHMARK(BM_LoadDictionary)->Unit(benchmark::kMillisecond);

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The load against the least any load must do, decoding the bytes and splitting the text into lines,
// timed in turn on the same file in the same process. The processor time of this thread is counted, the
// best of the iterations, so that other work on the machine weighs little.
void BM_LoadAgainstDecodeAndSplit(benchmark::State &state)
{
    constexpr int kCedictLines = 124263;
    const bool english = state.range(0) != 0;
    const QByteArray file = QByteArray("\xEF\xBB\xBF") + dictionaryText(kCedictLines, english).toUtf8();
    double bestLoad = 1e9, bestBare = 1e9;
    for (auto _ : state) {
        double start = threadSeconds();
        {
            const QStringList lines = wordlark::splitLines(wordlark::decodeText(file));
            benchmark::DoNotOptimize(lines.size());
        }
        bestBare = std::min(bestBare, threadSeconds() - start);
        start = threadSeconds();
        loadDictionary(file);
        bestLoad = std::min(bestLoad, threadSeconds() - start);
    }
    state.counters["lines"] = kCedictLines;
    state.counters["load_ms"] = bestLoad * 1e3;
    state.counters["decode_split_ms"] = bestBare * 1e3;
    state.counters["load_per_decode_split"] = bestLoad / bestBare;
}
// Russian translations (0) and English ones (1).
BENCHMARK(BM_LoadAgainstDecodeAndSplit)->Unit(benchmark::kMillisecond)->Iterations(15)->Arg(0)->Arg(1);

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM").
double statusBytes(const char *field)
{
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ':';
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(prefix, 0) == 0)
            return std::stod(line.substr(prefix.size())) * 1024.0;
    }
    return 0;
}

// From here on the peak resident size counts from what is resident now.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd);
}

// The file as a learner's very large dictionary would be, written once for the run.
QString largeDictionaryFile(const QTemporaryDir &dir)
{
    const QString path = QDir(dir.path()).filePath(QStringLiteral("large.dic"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QByteArray("\xEF\xBB\xBF") + dictionaryText(kLargeLines).toUtf8()) < 0)
        return {};
    return path;
}

// The load as the program runs it, from the file to the lessons, the file's bytes given back once the
// table is made. Memory is what the process holds above what it held before: at the highest point of the
// load (resident pages) and once it is done (the heap the table and the lessons keep).
void BM_LoadLargeDictionaryMemory(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = largeDictionaryFile(dir);
    const double fileBytes = double(QFileInfo(path).size());
    if (path.isEmpty() || fileBytes == 0) {
        state.SkipWithError("could not write the dictionary file");
        return;
    }
    double peak = 0, held = 0, seconds = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const double residentBefore = statusBytes("VmRSS");
        const double heapBefore = heapInUse();
        resetPeak();
        QElapsedTimer clock;
        clock.start();
        auto read = wordlark::readDictionaryText(path);
        if (!read) {
            state.SkipWithError("could not read the dictionary file");
            return;
        }
        auto lines = std::make_unique<wordlark::TextLines>(std::move(read).value());
        wordlark::WordTable table;
        wordlark::parseDictionaryText(*lines, table);
        lines.reset();
        wordlark::LessonList lessons;
        lessons.build(table);
        seconds = double(clock.nsecsElapsed()) / 1e9;
        peak = statusBytes("VmHWM") - residentBefore;
        held = heapInUse() - heapBefore;
        benchmark::DoNotOptimize(lessons.selectedWordCount());
    }
    state.counters["file_MiB"] = fileBytes / kMiB;
    state.counters["peak_MiB"] = peak / kMiB;
    state.counters["held_MiB"] = held / kMiB;
    state.counters["peak_per_file"] = peak / fileBytes;
    state.counters["held_per_file"] = held / fileBytes;
    state.counters["load_s"] = seconds;
}
BENCHMARK(BM_LoadLargeDictionaryMemory)->Unit(benchmark::kSecond)->Iterations(1);

void BM_DecodeText(benchmark::State &state)
{
    const QByteArray &file = dictionaryFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(wordlark::decodeText(file));
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(BM_DecodeText)->Unit(benchmark::kMillisecond);

// Without a byte-order mark the bytes are checked as UTF-8 first.
void BM_DecodeTextWithoutMark(benchmark::State &state)
{
    const QByteArray file = dictionaryFile().sliced(3);
    for (auto _ : state)
        benchmark::DoNotOptimize(wordlark::decodeText(file));
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(BM_DecodeTextWithoutMark)->Unit(benchmark::kMillisecond);

void BM_DecodeTextUtf16(benchmark::State &state)
{
    const QString text = dictionaryText();
    QByteArray file("\xFF\xFE");
    file.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(wordlark::decodeText(file));
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(BM_DecodeTextUtf16)->Unit(benchmark::kMillisecond);

void BM_SplitLines(benchmark::State &state)
{
    const QString text = wordlark::decodeText(dictionaryFile());
    for (auto _ : state)
        benchmark::DoNotOptimize(wordlark::splitLines(text));
}
BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond);

void BM_ParseDictionary(benchmark::State &state)
{
    const QStringList lines = wordlark::splitLines(wordlark::decodeText(dictionaryFile()));
    for (auto _ : state) {
        wordlark::WordTable table;
        wordlark::parseDictionary(lines, table);
        benchmark::DoNotOptimize(table.rowCount());
    }
}
BENCHMARK(BM_ParseDictionary)->Unit(benchmark::kMillisecond);

void BM_BuildLessons(benchmark::State &state)
{
    wordlark::WordTable table;
    wordlark::parseDictionary(wordlark::splitLines(wordlark::decodeText(dictionaryFile())), table);
    for (auto _ : state) {
        wordlark::LessonList lessons;
        lessons.build(table);
        benchmark::DoNotOptimize(lessons.lessonCount());
    }
    state.counters["lessons"] = [&table] {
        wordlark::LessonList lessons;
        lessons.build(table);
        return lessons.lessonCount();
    }();
}
BENCHMARK(BM_BuildLessons)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
