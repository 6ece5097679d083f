// Speed of what the learner waits for: the load step with its progress bar, the next question, a right
// answer until the next question is drawn, a click on the right box until the next question is on screen,
// the idle animation, and applying a colour scheme. The statistics window has benchmarks of its own.

#include "chinesewords.h"

#include "app/mainunit.h"
#include "app/program.h"
#include "app/trainer.h"
#include "app/unit1.h"
#include "dictionary/unit4.h"
#include "journal/journalkeeper.h"
#include "ui/unit3.h"
#include "ui/unitthems.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <sys/resource.h>

namespace {

// A window's control by its objectName.
template <typename T> T *control(const QObject *owner, const QString &name)
{
    return owner->findChild<T *>(name);
}
template <typename T> T *control(const QObject *owner, const char *name)
{
    return control<T>(owner, QString::fromLatin1(name));
}

template <typename T> T *window(const char *name)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name))
            return qobject_cast<T *>(widget);
    for (QWidget *widget : QApplication::allWidgets())
        if (widget->isWindow() && widget->objectName() == QLatin1String(name))
            return qobject_cast<T *>(widget);
    return nullptr;
}

// A CC-CEDICT-sized dictionary: 120,000 lines in lessons of 50 words.
QByteArray largeDictionary()
{
    const QStringList pinyin = {QStringLiteral("hǎo"), QStringLiteral("péngyou"), QStringLiteral("xuéxiào"),
                                QStringLiteral("Zhōngguó")};
    const QStringList hanzi = {QStringLiteral("好"), QStringLiteral("朋友"), QStringLiteral("学校"),
                               QStringLiteral("中国人民")};
    QString text;
    text.reserve(120000 * 48);
    for (int i = 0; i < 120000; ++i) {
        const int k = i % 4;
        text += pinyin[k] + QStringLiteral("\t*\t") + hanzi[k] + QStringLiteral("\t*\t\t*\t") +
                QString::number(i / 50 + 1) + QStringLiteral("\t*\t\"слово; номер ") + QString::number(i) +
                QStringLiteral("\"\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

// Two words whose every field but the lesson is 2 MB of text without a line break, as when a big text
// file is chosen as a dictionary by mistake.
QByteArray hugeFieldDictionary()
{
    const QByteArray field(2 * 1024 * 1024, 'a');
    const QByteArray hanzi = QString(2 * 1024 * 1024 / 3, QChar(u'字')).toUtf8();
    QByteArray text;
    for (int word = 0; word < 2; ++word)
        text += field + "\t*\t" + hanzi + "\t*\t" + hanzi + "\t*\t1\t*\t" + field + "\r\n";
    return text;
}

class Program {
public:
    Program()
    {
        // The shipped colour schemes beside the program (the benchmark starts in its folder).
        const QString schemes = QDir::current().absoluteFilePath(QStringLiteral("Data/data1.dat"));
        QDir::setCurrent(m_dir.path());
        QDir(m_dir.path()).mkpath(QStringLiteral("Dictionary"));
        QDir(m_dir.path()).mkpath(QStringLiteral("Data"));
        QFile::copy(schemes, QDir(m_dir.path()).filePath(QStringLiteral("Data/data1.dat")));
        // With the sound pack beside the program (./run.sh makes it), every question also starts its sound.
        const QString pack = QDir(qEnvironmentVariable("WORDLARK_SOUND_PACK")).absolutePath();
        if (qEnvironmentVariableIsSet("WORDLARK_SOUND_PACK") && QDir(pack).exists())
            QFile::link(pack, QDir(m_dir.path()).filePath(QStringLiteral("audio")));
        QFile builtIn(QStringLiteral(":/dictionary/Dict.dic"));
        builtIn.open(QIODevice::ReadOnly);
        write(QStringLiteral("Dictionary/Dict.dic"), builtIn.readAll());
        write(QStringLiteral("Dictionary/Large.dic"), largeDictionary());
        write(QStringLiteral("Dictionary/Huge.dic"), hugeFieldDictionary());
        // Help texts as the program finds them beside itself; without them a message box would cover the
        // quiz.
        QDir(m_dir.path()).mkpath(QStringLiteral("Help"));
        write(QStringLiteral("Help/Readme.txt"), "Wordlark");
        write(QStringLiteral("Help/Dict_readme.txt"), "Wordlark");
        createProgramWindows();
        splash = window<TForm1>("Form1");
        control<QTimer>(splash, "Timer1")->stop();
        main = window<TMainForm>("MainForm");
    }
    ~Program() { delete splash; }

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(QDir(m_dir.path()).filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    void load(const QString &path) { runningTrainer()->changeDictionary(path); }

    TForm1 *splash = nullptr;
    TMainForm *main = nullptr;

private:
    QTemporaryDir m_dir;
};

Program *program = nullptr;

// A dictionary file of CC-CEDICT's size and character variety, written once.
QString cedictSizedDictionary()
{
    static const bool written = [] {
        program->write(QStringLiteral("Dictionary/Cedict.dic"),
                       benchdata::dictionaryFile(benchdata::cedictSizedWords()));
        return true;
    }();
    Q_UNUSED(written);
    return QStringLiteral("Dictionary/Cedict.dic");
}

void LoadStepBuiltIn(benchmark::State &state)
{
    for (auto _ : state)
        program->load(QStringLiteral("Dictionary/Dict.dic"));
    state.counters["words"] = program->main->TotalWordCount();
}
BENCHMARK(LoadStepBuiltIn)->Unit(benchmark::kMillisecond);

void LoadStep120000Lines(benchmark::State &state)
{
    for (auto _ : state)
        program->load(QStringLiteral("Dictionary/Large.dic"));
    state.counters["words"] = program->main->TotalWordCount();
}
BENCHMARK(LoadStep120000Lines)->Unit(benchmark::kMillisecond)->Iterations(3);

void NextQuestionTwelveCandidates(benchmark::State &state)
{
    program->load(QStringLiteral("Dictionary/Dict.dic"));
    control<QComboBox>(window<TLessonOptions>("LessonOptions"), "ComboBox3")
        ->setCurrentText(QStringLiteral("12"));
    for (auto _ : state)
        program->main->Button1Click();
}
BENCHMARK(NextQuestionTwelveCandidates)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Pinyin and simplified characters make the question, full characters and translation the answers, and
// the mask counts 700,000 characters; still every box must be filled within a frame.
void ShowQuestionWith2MBFields(benchmark::State &state)
{
    program->load(QStringLiteral("Dictionary/Huge.dic"));
    auto *options = window<TLessonOptions>("LessonOptions");
    const auto check = [options](std::initializer_list<int> boxes) {
        for (int i = 0; i < 10; ++i)
            control<QCheckBox>(options, QStringLiteral("CheckBox%1").arg(size_t(i) + 1))
                ->setChecked(std::find(boxes.begin(), boxes.end(), i) != boxes.end());
    };
    check({0, 1, 7, 9});
    control<QCheckBox>(options, "CheckBoxMask")->setChecked(true);
    program->main->Button1Click();
    for (auto _ : state) {
        program->main->ShowQuestion();
        QCoreApplication::processEvents();
    }
    check({4, 5, 6});
    control<QCheckBox>(options, "CheckBoxMask")->setChecked(false);
}
BENCHMARK(ShowQuestionWith2MBFields)->Unit(benchmark::kMillisecond);

// A left click on the right box; with `settle` the event loop then runs once more, as it does before the
// next frame: the new question is painted and its sound (if any) starts.
void answerRight(benchmark::State &state, bool settle)
{
    program->load(QStringLiteral("Dictionary/Dict.dic"));
    control<QComboBox>(window<TLessonOptions>("LessonOptions"), "ComboBox3")
        ->setCurrentText(QStringLiteral("12"));
    TMainForm *main = program->main;
    main->Button1Click();
    for (auto _ : state) {
        if (main->session().queue().size() <= 1) {
            // Keep the pass from ending with its message box.
            runningTrainer()->chooseLessons(runningTrainer()->lessons().selectionFlags());
            main->Button1Click();
        }
        int right = 1;
        for (int i = 1; i <= runningTrainer()->question().count(); ++i)
            if (runningTrainer()->question().wordInBox(i) == main->session().currentWord())
                right = i;
        QWidget *viewport =
            control<QTextEdit>(main, QStringLiteral("AnswerBox%1").arg(size_t(right - 1) + 1))->viewport();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), viewport->mapToGlobal(QPointF(10, 10)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &press);
        if (settle)
            QCoreApplication::processEvents();
    }
}

void RightAnswerUntilNextQuestion(benchmark::State &state)
{
    answerRight(state, false);
}
BENCHMARK(RightAnswerUntilNextQuestion)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void RightAnswerUntilNextFrame(benchmark::State &state)
{
    answerRight(state, true);
}
BENCHMARK(RightAnswerUntilNextFrame)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Remembers which word's question each paint of the question box showed, so that a benchmark can wait
// until the next question is really on screen (the flash's repaint may paint the old one first).
class QuestionPaints final : public QObject {
public:
    explicit QuestionPaints(TMainForm *main)
        : m_main(main)
    {
        control<QTextEdit>(m_main, "TntRichEdit0")->viewport()->installEventFilter(this);
    }
    ~QuestionPaints() override
    {
        control<QTextEdit>(m_main, "TntRichEdit0")->viewport()->removeEventFilter(this);
    }
    int lastPaintedWord() const { return m_lastPaintedWord; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_lastPaintedWord = m_main->session().currentWord();
        return false;
    }

private:
    TMainForm *m_main;
    int m_lastPaintedWord = -1;
};

// A left click on the right box (press and release, the pointer moving onto the box as a mouse does),
// until the next question has been painted. False when it never is. Out of line, so that a profiler can
// count it alone: valgrind --tool=callgrind --toggle-collect='*clickRightUntilQuestionOnScreen*'
[[gnu::noinline]] bool clickRightUntilQuestionOnScreen(TMainForm *main, const QuestionPaints &paints)
{
    const int asked = main->session().currentWord();
    int right = 1;
    for (int i = 1; i <= runningTrainer()->question().count(); ++i)
        if (runningTrainer()->question().wordInBox(i) == asked)
            right = i;
    QWidget *viewport =
        control<QTextEdit>(main, QStringLiteral("AnswerBox%1").arg(size_t(right - 1) + 1))->viewport();
    const QPoint inBox(40, 12);
    QTest::mousePress(viewport, Qt::LeftButton, {}, inBox);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, inBox);
    // A word answered right at once leaves the pass, so the next question asks another one.
    QElapsedTimer waited;
    waited.start();
    while (paints.lastPaintedWord() == asked && waited.elapsed() < 1000)
        QCoreApplication::processEvents();
    return paints.lastPaintedWord() != asked;
}

// What the learner waits for after a right click, side by side on the built-in course and on a
// CC-CEDICT-sized dictionary, without and with the learning journal (its batches are written while the
// clicks go on, as they are for the learner), and with a sync folder as well (journal 2).
void ClickRightUntilQuestionOnScreen(benchmark::State &state)
{
    const bool keepJournal = state.range(1) != 0;
    wordlark::JournalKeeper *journal = programJournal();
    if (keepJournal && !journal->turnOn()) {
        state.SkipWithError("the journal could not be made");
        return;
    }
    QTemporaryDir syncFolder;
    if (state.range(1) == 2 && !journal->setSyncFolder(syncFolder.path())) {
        state.SkipWithError("the sync folder could not be chosen");
        return;
    }
    program->load(state.range(0) != 0 ? cedictSizedDictionary() : QStringLiteral("Dictionary/Dict.dic"));
    control<QComboBox>(window<TLessonOptions>("LessonOptions"), "ComboBox3")
        ->setCurrentText(QStringLiteral("12"));
    TMainForm *main = program->main;
    main->Button1Click();
    QuestionPaints paints(main);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        if (main->session().queue().size() <= 1) {
            // Keep the pass from ending with its message box.
            runningTrainer()->chooseLessons(runningTrainer()->lessons().selectionFlags());
            main->Button1Click();
            QCoreApplication::processEvents();
        }
        if (!clickRightUntilQuestionOnScreen(main, paints)) {
            state.SkipWithError("the next question was not painted");
            break;
        }
    }
    state.counters["words"] = main->TotalWordCount();
    if (keepJournal) {
        state.counters["journal"] = journal->journal()->knownWordCount();
        (void)journal->turnOffAndDelete();
    }
}
BENCHMARK(ClickRightUntilQuestionOnScreen)
    ->ArgNames({"cedict", "journal"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 2})
    ->Args({1, 2})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// "Применить" with a stored scheme while a question with twelve candidates is on screen, alternating
// between two schemes so that every run changes every colour; with `settle` until the next frame is drawn.
void applyScheme(benchmark::State &state, bool settle)
{
    program->load(QStringLiteral("Dictionary/Dict.dic"));
    control<QComboBox>(window<TLessonOptions>("LessonOptions"), "ComboBox3")
        ->setCurrentText(QStringLiteral("12"));
    program->main->Button1Click();
    auto *dialog = window<TFormThems>("FormThems");
    int item = 1;
    for (auto _ : state) {
        control<QComboBox>(dialog, "ComboBoxShambala")->setCurrentIndex(item);
        dialog->ApplyColourScheme();
        if (settle)
            QCoreApplication::processEvents();
        item = 3 - item;
    }
    state.counters["candidates"] = runningTrainer()->question().count();
}

void ApplySchemeTwelveCandidates(benchmark::State &state)
{
    applyScheme(state, false);
}
BENCHMARK(ApplySchemeTwelveCandidates)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void ApplySchemeUntilNextFrame(benchmark::State &state)
{
    applyScheme(state, true);
}
BENCHMARK(ApplySchemeUntilNextFrame)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The idle animation as the idle check starts it, over the built-in dictionary with every lesson chosen.
TForm3 *startIdleAnimation()
{
    program->load(QStringLiteral("Dictionary/Dict.dic"));
    auto *form = window<TForm3>("Form3");
    form->startAnimation(program->main->screen());
    return form;
}

void endIdleAnimation(TForm3 *form)
{
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QCoreApplication::sendEvent(form, &key);
    while (form->isVisible())
        form->Timer1Timer();
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One tick: one character drawn into its cell, the fade moved on. Target: at most 0.5 ms.
void IdleAnimationOneCell(benchmark::State &state)
{
    TForm3 *form = startIdleAnimation();
    control<QTimer>(form, "Timer1")->stop();
    for (auto _ : state)
        form->Timer1Timer();
    endIdleAnimation(form);
}
BENCHMARK(IdleAnimationOneCell)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Ten seconds of the running animation with its 1 ms timer, painting included: the share of one core the
// program takes. Target: at most 30 %.
void IdleAnimationTenSeconds(benchmark::State &state)
{
    TForm3 *form = startIdleAnimation();
    int ticks = 0;
    const QMetaObject::Connection counting =
        QObject::connect(control<QTimer>(form, "Timer1"), &QTimer::timeout, [&ticks] { ++ticks; });
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        wall += double(clock.nsecsElapsed()) / 1e9;
        cpu += cpuSeconds() - cpuBefore;
    }
    QObject::disconnect(counting);
    endIdleAnimation(form);
    state.counters["core_percent"] = 100 * cpu / wall;
    state.counters["ticks_per_second"] = ticks / wall;
}
BENCHMARK(IdleAnimationTenSeconds)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    Program running;
    program = &running;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
