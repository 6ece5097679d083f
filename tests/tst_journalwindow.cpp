// The learning journal from the learner's side: the "Прогресс" menu, answers kept across runs, the
// progress window, the review of due words, and a run without the journal that writes nothing.

#include "badinput.h"
#include "guitestutil.h"
#include "journalfiles.h"

#include "journal/journal.h"
#include "journal/journalkeeper.h"
#include "journal/journalsync.h"
#include "ui/dialogplacement.h"

#include <QAbstractButton>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QStackedBarSeries>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace testutil;
using testutil::FileSizeLimit;
using wordlark::Journal;

namespace {

constexpr qint64 DayMs = 86'400'000;

QString journalPath()
{
    return QDir::current().filePath(Journal::fileName());
}

QAction *action(const QuizFixture &quiz, const char *name)
{
    return quiz.main->findChild<QAction *>(QString::fromLatin1(name));
}

// Opens the "Прогресс" menu as a learner does, with a click on the menu bar, and reads the due review's
// caption and state there.
std::pair<QString, bool> dueReviewInMenu(const QuizFixture &quiz)
{
    auto *menu = quiz.main->findChild<QMenu *>(u"ProgressMenu"_s);
    QMenuBar *bar = quiz.main->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }))
        return {u"menu not shown"_s, false};
    QAction *review = action(quiz, "DueReviewAction");
    const std::pair<QString, bool> seen{review->text(), review->isEnabled()};
    menu->hide();
    return seen;
}

// Starts the program and answers the first message box it shows with OK; its text, or nothing if none came.
QString startAndReadMessage(std::unique_ptr<RunningProgram> &program)
{
    QString message;
    ModalAnswer report(
        [&message](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                message = box->text();
            acceptDialog(modal);
        },
        15000);
    program = std::make_unique<RunningProgram>();
    if (!QTest::qWaitFor([&report] { return report.answered(); }, 15000) || report.failed())
        return {};
    return message;
}

std::function<void(QWidget *)> pressButton(const QString &text)
{
    return [text](QWidget *modal) {
        for (auto *button : modal->findChildren<QAbstractButton *>())
            if (button->text() == text)
                return button->click();
        rejectAllModals();
    };
}

void answerRight(const QuizFixture &quiz)
{
    quiz.click(quiz.rightBox());
}

// What the progress window showed when it opened: answers today, the share right at the first try
// today, and the words of the first lesson that were met.
struct ProgressSeen {
    int answersToday = -1;
    qreal shareToday = -1;
    int metInFirstLesson = -1;
};

ProgressSeen readProgress(QWidget *modal)
{
    ProgressSeen seen;
    auto *answers = modal->findChild<QChartView *>(u"ChartAnswers"_s);
    for (QAbstractSeries *series : answers->chart()->series()) {
        if (auto *bars = qobject_cast<QBarSeries *>(series))
            seen.answersToday = int(bars->barSets()[0]->at(bars->barSets()[0]->count() - 1));
        if (auto *line = qobject_cast<QLineSeries *>(series); line && line->count() > 0)
            seen.shareToday = line->at(line->count() - 1).y();
    }
    auto *lessons = modal->findChild<QChartView *>(u"ChartLessons"_s);
    if (auto *stacked = qobject_cast<QStackedBarSeries *>(lessons->chart()->series().value(0)))
        seen.metInFirstLesson = int(stacked->barSets()[0]->at(0) + stacked->barSets()[1]->at(0));
    return seen;
}

qint64 utc(int y, int m, int d, int h = 12)
{
    return QDateTime(QDate(y, m, d), QTime(h, 0), Qt::UTC).toMSecsSinceEpoch();
}

QBarCategoryAxis *categoriesOf(const QChartView *view)
{
    const QList<QAbstractAxis *> axes = view->chart()->axes();
    for (QAbstractAxis *axis : axes)
        if (auto *categories = qobject_cast<QBarCategoryAxis *>(axis))
            return categories;
    return nullptr;
}

// The texts drawn beside the plot of the chart on the `side` of its category axis (below it or left
// of it), each with where it lies along that axis.
QList<std::pair<QString, QRectF>> drawnBeside(const QChartView *view, Qt::Alignment side)
{
    QChart *chart = view->chart();
    const QRectF plot = chart->mapRectToScene(chart->plotArea());
    QList<std::pair<QString, QRectF>> drawn;
    const QList<QGraphicsItem *> items = view->scene()->items();
    for (QGraphicsItem *item : items) {
        auto *text = dynamic_cast<QGraphicsTextItem *>(item);
        if (!text || !text->isVisible())
            continue;
        const QRectF at = text->sceneBoundingRect();
        const bool beside = side == Qt::AlignBottom
                                ? at.center().y() > plot.bottom() && at.center().x() > plot.left() &&
                                      at.center().x() < plot.right()
                                : at.center().x() < plot.left() && at.center().y() > plot.top() &&
                                      at.center().y() < plot.bottom();
        if (beside)
            drawn.append({text->toPlainText(), at});
    }
    return drawn;
}

// Every category of the chart is named by a label of its own, and no two labels are drawn over each
// other; the first fault found, or an empty text.
QString unnamedBars(const QChartView *view, Qt::Alignment side)
{
    QBarCategoryAxis *axis = categoriesOf(view);
    if (!axis)
        return view->objectName() + u": no category axis"_s;
    const QList<std::pair<QString, QRectF>> drawn = drawnBeside(view, side);
    QList<QRectF> labels;
    for (const QString &category : axis->categories()) {
        // The chart sets its labels as rich text, where runs of blanks read as one.
        const auto found = std::find_if(drawn.cbegin(), drawn.cend(), [&category](const auto &label) {
            return label.first.simplified() == category.simplified();
        });
        if (found == drawn.cend())
            return view->objectName() + u": \"%1\" not drawn"_s.arg(category);
        for (const QRectF &other : std::as_const(labels))
            if (other.intersects(found->second))
                return view->objectName() + u": \"%1\" drawn over its neighbour"_s.arg(category);
        labels.append(found->second);
    }
    return {};
}

// A dictionary of `lessons` lessons of two words each, every word its own character; the lessons are
// numbered from 01, after `lessonName` if one is given.
QByteArray lessonsOfTwoWords(int lessons, const QByteArray &lessonName = {})
{
    QByteArray text("\xEF\xBB\xBF");
    for (int word = 0; word < 2 * lessons; ++word) {
        const QByteArray pinyin = "zi" + QByteArray::number(word);
        const QByteArray character = QString(QChar(0x4E00 + word)).toUtf8();
        const QByteArray lesson = lessonName + QByteArray::number(word / 2 + 1).rightJustified(2, '0');
        const QByteArray translation = "слово номер " + QByteArray::number(word);
        text +=
            line(pinyin.constData(), character.constData(), "", lesson.constData(), translation.constData());
    }
    return text;
}

// The first answer to a showing of the word, as the quiz gives it to the journal.
void recordShowing(Journal &journal, const QString &pinyin, const QString &simplified, bool right,
                   qint64 timeMs)
{
    wordlark::JournalAnswer given;
    given.timeMs = timeMs;
    given.pinyin = pinyin;
    given.simplified = simplified;
    given.right = right;
    given.firstOfShowing = true;
    journal.record(given);
}

// A journal in the working folder as a learner has it after months: answers on each of the last 30
// days up to `nowMs`, and `lapsed` words forgotten once to four times before that.
void writeJournalOfMonths(const QString &path, int lapsed, qint64 nowMs)
{
    auto made = Journal::create(path);
    QVERIFY2(made, qPrintable(made ? QString() : made.error()));
    Journal &journal = **made;
    const auto answer = [&journal](int word, bool right, qint64 timeMs) {
        recordShowing(journal, "zi"_L1 + QString::number(word), QString(QChar(0x4E00 + word)), right, timeMs);
    };
    for (int word = 0; word < lapsed; ++word) {
        qint64 t = nowMs - 90 * DayMs + word * 1000;
        answer(word, true, t);
        for (int lapse = 0; lapse <= word % 4; ++lapse)
            answer(word, false, t += DayMs);
    }
    for (int day = 0; day < 30; ++day)
        for (int i = 0; i <= day % 5; ++i)
            answer(40 + i, i % 3 != 0, nowMs - day * DayMs - i * 1000);
    QVERIFY(journal.flush());
}

// Runs one test function of this program again in a child process whose screen has the given size,
// with the window frames the offscreen platform can draw. The child's output comes back on failure.
QString runOnScreen(const QSize &screen, const QString &testAndTag)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(u"screen.json"_s);
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return u"cannot write the screen's description"_s;
    file.write(u"{\"windowFrameMargins\": true, \"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, "
               "\"width\": %1, \"height\": %2, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}"_s
                   .arg(screen.width())
                   .arg(screen.height())
                   .toUtf8());
    file.close();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen:configfile="_s + config);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {testAndTag, u"-maxwarnings"_s, u"0"_s});
    if (!child.waitForFinished(40000)) {
        child.kill();
        child.waitForFinished(5000);
        return u"the child did not finish in time:\n"_s + QString::fromUtf8(child.readAll());
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return QString::fromUtf8(child.readAll());
    return {};
}

} // namespace

class TestJournalWindow final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void withoutTheFileARunWritesNothing();
    void answersOutliveTheRunAndShowInTheProgressWindow();
    void dueWordsAreCountedAndReviewedInAPassOfTheirOwn();
    void aWordOnTwoRowsIsCountedAndAskedOnce();
    void untickingAsksBeforeDeletingTheHistory();
    void aFileThatIsNoJournalIsReportedAndLeftAlone_data();
    void aFileThatIsNoJournalIsReportedAndLeftAlone();
    void aFailedWriteStopsTheJournalAndKeepsTheFile();
    void aJournalDeletedByHandIsReportedOnceAndUnticked();
    void theAnswersChartKeepsEveryDay_data();
    void theAnswersChartKeepsEveryDay();
    void theProgressWindowFitsTheScreenAndNamesEveryBar_data();
    void theProgressWindowFitsTheScreenAndNamesEveryBar();
    void aFittedWindowKeepsItsFrameOnTheScreen_data();
    void aFittedWindowKeepsItsFrameOnTheScreen();
    void aSyncFolderIsChosenSyncedAndShownInTheProgressWindow();
    void anUnreachableSyncFolderIsToldOncePerRun();
};

void TestJournalWindow::withoutTheFileARunWritesNothing()
{
    QStringList before;
    {
        QuizFixture quiz;
        before = QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        QVERIFY(!action(quiz, "JournalAction")->isChecked());
        QVERIFY(!action(quiz, "ProgressAction")->isEnabled());
        QCOMPARE(dueReviewInMenu(quiz), std::pair(u"Повторить слова (0)"_s, false));
        quiz.click(quiz.wrongBox());
        for (int i = 0; i < 3; ++i)
            answerRight(quiz);
        QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
        quiz.restart();
        QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
        QVERIFY(!QFile::exists(journalPath()));
    }
}

void TestJournalWindow::answersOutliveTheRunAndShowInTheProgressWindow()
{
    QuizFixture quiz;
    action(quiz, "JournalAction")->trigger();
    QVERIFY(QFile::exists(journalPath()));
    QVERIFY(action(quiz, "JournalAction")->isChecked());
    QVERIFY(action(quiz, "ProgressAction")->isEnabled());

    // First showing missed, then right; the next showing right at once.
    quiz.click(quiz.wrongBox());
    answerRight(quiz);
    answerRight(quiz);
    quiz.restart();

    QVERIFY(action(quiz, "JournalAction")->isChecked());
    ProgressSeen seen;
    ModalAnswer progress([&seen](QWidget *modal) {
        if (modal->objectName() == u"FormProgress"_s)
            seen = readProgress(modal);
        rejectAllModals();
    });
    action(quiz, "ProgressAction")->trigger();
    QVERIFY(!progress.failed());
    QCOMPARE(progress.title(), u"Прогресс"_s);
    QCOMPARE(seen.answersToday, 3);
    QCOMPARE(seen.shareToday, 50.0);
    // Both words asked are of lesson 01 (all six words are chosen: 01 holds three of them) or of 02.
    QVERIFY(seen.metInFirstLesson >= 0);
    // Nothing answered today is due today.
    QCOMPARE(dueReviewInMenu(quiz), std::pair(u"Повторить слова (0)"_s, false));
}

void TestJournalWindow::dueWordsAreCountedAndReviewedInAPassOfTheirOwn()
{
    QuizFixture quiz;
    action(quiz, "JournalAction")->trigger();
    wordlark::JournalKeeper *keeper = programJournal();
    QVERIFY(keeper);
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    // The first word missed at first (due the next day), then up to two others right at once (due in
    // three days). A missed word stays in the pass; should it come back, its second showing would be a
    // review of its own, so the run ends there.
    const int missed = quiz.main->session().currentWord();
    quiz.click(quiz.wrongBox());
    answerRight(quiz);
    int others = 0;
    while (others < 2 && quiz.main->session().currentWord() != missed) {
        answerRight(quiz);
        ++others;
    }
    quiz.restart();

    keeper = programJournal();
    keeper->setClock([start] { return start + 2 * DayMs; });
    QCOMPARE(dueReviewInMenu(quiz), std::pair(u"Повторить слова (1)"_s, true));
    keeper->setClock([start] { return start + 4 * DayMs; });
    QCOMPARE(dueReviewInMenu(quiz), std::pair(u"Повторить слова (%1)"_s.arg(1 + others), true));

    // The review asks exactly the due words, the most overdue first in the queue, with the usual
    // counters and end of pass.
    keeper->setClock([start] { return start + 2 * DayMs; });
    action(quiz, "DueReviewAction")->trigger();
    QCOMPARE(quiz.main->session().currentWord(), missed);
    QCOMPARE(quiz.mistakes(), u"Ошибок: 0"_s);
    ModalAnswer grade(acceptDialog);
    answerRight(quiz);
    QTRY_VERIFY(grade.answered());
    QVERIFY(!grade.failed());
    QCOMPARE(grade.title(), u"Отлично!"_s);
    QCOMPARE(dueReviewInMenu(quiz), std::pair(u"Повторить слова (0)"_s, false));
}

void TestJournalWindow::aWordOnTwoRowsIsCountedAndAskedOnce()
{
    // 好 hǎo stands in lesson 1 and again in lesson 2.
    QuizFixture quiz(sixWords() + line("hǎo", "好", "", "2", "хорошо"));
    {
        auto made = Journal::create(journalPath());
        QVERIFY(made);
        // Both right at once five days ago: due since.
        const qint64 then = QDateTime::currentMSecsSinceEpoch() - 5 * DayMs;
        recordShowing(**made, u"hǎo"_s, u"好"_s, true, then);
        recordShowing(**made, u"nǐ"_s, u"你"_s, true, then + 1000);
    }
    quiz.restart();
    QCOMPARE(dueReviewInMenu(quiz), std::pair(u"Повторить слова (2)"_s, true));

    action(quiz, "DueReviewAction")->trigger();
    QCOMPARE(quiz.remained(), u" Осталось слов: 2"_s);
    const wordlark::WordTable &table = runningTrainer()->wordTable();
    QStringList asked;
    ModalAnswer grade(acceptDialog);
    for (int i = 0; i < 2; ++i) {
        asked << table.cell(wordlark::SimplifiedColumn, quiz.main->session().currentWord());
        answerRight(quiz);
    }
    QTRY_VERIFY(grade.answered());
    QCOMPARE(grade.title(), u"Отлично!"_s);
    QCOMPARE(asked, (QStringList{u"好"_s, u"你"_s}));
    QCOMPARE(dueReviewInMenu(quiz), std::pair(u"Повторить слова (0)"_s, false));
}

void TestJournalWindow::untickingAsksBeforeDeletingTheHistory()
{
    QuizFixture quiz;
    QAction *journal = action(quiz, "JournalAction");
    journal->trigger();
    answerRight(quiz);

    QString question;
    {
        ModalAnswer no([&question](QWidget *modal) {
            question =
                qobject_cast<QMessageBox *>(modal) ? qobject_cast<QMessageBox *>(modal)->text() : QString();
            pressButton(u"Нет"_s)(modal);
        });
        journal->trigger();
        QVERIFY(!no.failed());
    }
    QCOMPARE(question, u"Удалить журнал вместе со всей историей ответов?"_s);
    QVERIFY(journal->isChecked());
    QVERIFY(QFile::exists(journalPath()));

    {
        ModalAnswer yes(pressButton(u"Да"_s));
        journal->trigger();
        QVERIFY(!yes.failed());
    }
    QVERIFY(!journal->isChecked());
    QVERIFY(!action(quiz, "ProgressAction")->isEnabled());
    answerRight(quiz);
    quiz.restart();
    QVERIFY(!QFile::exists(journalPath()));
    QVERIFY(!QFile::exists(journalPath() + u"-wal"_s));
    QVERIFY(!action(quiz, "JournalAction")->isChecked());
}

void TestJournalWindow::aFileThatIsNoJournalIsReportedAndLeftAlone_data()
{
    QTest::addColumn<bool>("damagedJournal");
    QTest::newRow("notes") << false;
    // SQLite opens it and reads its words; only the check of the whole file finds the damage.
    QTest::newRow("damaged journal") << true;
}

void TestJournalWindow::aFileThatIsNoJournalIsReportedAndLeftAlone()
{
    QFETCH(bool, damagedJournal);
    ProgramFolder folder;
    folder.write(u"Dictionary/Dict.dic"_s, sixWords());
    if (damagedJournal) {
        auto made = Journal::create(journalPath());
        QVERIFY(made);
        wordlark::JournalAnswer answer;
        answer.simplified = u"好"_s;
        answer.firstOfShowing = true;
        for (int i = 0; i < 20; ++i)
            (*made)->record(answer);
        std::move(made).value().reset();
        QVERIFY(damageAnswerIndex(journalPath()));
    } else {
        folder.write(Journal::fileName(), "мои заметки\n");
    }
    const QByteArray bytes = [] {
        QFile file(journalPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    std::unique_ptr<RunningProgram> program;
    const QString message = startAndReadMessage(program);
    QCOMPARE(message, u"Файл «%1» не является журналом ответов. Урок продолжится без журнала, файл оставлен "
                      "как есть."_s.arg(QDir::toNativeSeparators(journalPath())));
    auto *main = findWindow<TMainForm>(u"MainForm"_s);
    QVERIFY(main);
    QVERIFY(!main->findChild<QAction *>(u"JournalAction"_s)->isChecked());
    program.reset();
    QFile file(journalPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    // No log or other side file is left beside it.
    QCOMPARE(QDir::current().entryList({Journal::fileName() + u'*'},
                                       QDir::AllEntries | QDir::Hidden | QDir::System),
             QStringList(Journal::fileName()));
}

void TestJournalWindow::aFailedWriteStopsTheJournalAndKeepsTheFile()
{
    QuizFixture quiz;
    action(quiz, "JournalAction")->trigger();
    answerRight(quiz);
    const auto lookAtProgress = [&quiz] {
        ModalAnswer close([](QWidget *) { rejectAllModals(); });
        action(quiz, "ProgressAction")->trigger();
        return !close.failed();
    };
    // Opening the progress window writes what is kept first.
    QVERIFY(lookAtProgress());

    answerRight(quiz);
    QString message;
    {
        const FileSizeLimit full(rlim_t(QFileInfo(journalPath() + u"-wal"_s).size() + 100));
        QVERIFY(full.active());
        ModalAnswer report([&message](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal);
                box && box->objectName() == u"JournalMessage"_s)
                message = box->text();
            rejectAllModals();
        });
        action(quiz, "ProgressAction")->trigger();
        QVERIFY(!report.failed());
    }
    QCOMPARE(message,
             u"Не удалось записать ответы в журнал «%1»: на диске не осталось места. Урок продолжится "
             "без журнала; записанное раньше сохранено."_s.arg(journalPath()));
    QVERIFY(!action(quiz, "JournalAction")->isChecked());
    QVERIFY(!action(quiz, "ProgressAction")->isEnabled());
    // The quiz goes on, writing nothing more.
    answerRight(quiz);

    quiz.restart();
    QVERIFY(action(quiz, "JournalAction")->isChecked());
    ProgressSeen seen;
    ModalAnswer progress([&seen](QWidget *modal) {
        seen = readProgress(modal);
        rejectAllModals();
    });
    action(quiz, "ProgressAction")->trigger();
    QVERIFY(!progress.failed());
    QCOMPARE(seen.answersToday, 1);
}

void TestJournalWindow::aJournalDeletedByHandIsReportedOnceAndUnticked()
{
    QuizFixture quiz;
    action(quiz, "JournalAction")->trigger();
    answerRight(quiz);
    // Opening the progress window writes what is kept first.
    {
        ModalAnswer close([](QWidget *) { rejectAllModals(); });
        action(quiz, "ProgressAction")->trigger();
        QVERIFY(!close.failed());
    }
    QVERIFY(QFile::exists(journalPath() + u"-wal"_s));

    // The learner deletes the file in the file manager and goes on answering.
    QVERIFY(QFile::remove(journalPath()));
    answerRight(quiz);
    ModalScript reports([](QWidget *modal) {
        if (modal->objectName() == u"JournalMessage"_s)
            acceptDialog(modal);
        else
            rejectAllModals();
    });
    action(quiz, "ProgressAction")->trigger();
    QTRY_VERIFY(!reports.seen().isEmpty() && !QApplication::activeModalWidget());
    QCOMPARE(reports.seen().size(), 1);
    QCOMPARE(reports.seen()[0].text, u"Журнал ответов «%1» удалён или заменён другим файлом, пока программа "
                                     "работала. Урок продолжится без журнала."_s.arg(journalPath()));
    QVERIFY(!action(quiz, "JournalAction")->isChecked());
    QVERIFY(!action(quiz, "ProgressAction")->isEnabled());
    QTRY_VERIFY(!QFile::exists(journalPath() + u"-wal"_s));

    // The quiz goes on without the journal: nothing more is said, and nothing is written.
    for (int i = 0; i < 3; ++i)
        answerRight(quiz);
    quiz.restart();
    reports.stop();
    QCOMPARE(reports.seen().size(), 1);
    QVERIFY(!reports.failed());
    QVERIFY(!QFile::exists(journalPath()));
    QVERIFY(!QFile::exists(journalPath() + u"-wal"_s));
    QVERIFY(!action(quiz, "JournalAction")->isChecked());
}

// Thirty days seen back from a day in March reach into February: each day keeps its bar, today's too.
void TestJournalWindow::theAnswersChartKeepsEveryDay_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("todayLabel");
    QTest::newRow("1 March") << QDate(2027, 3, 1) << u"01.03"_s;
    QTest::newRow("29 March in a leap year") << QDate(2028, 3, 29) << u"29.03"_s;
}

void TestJournalWindow::theAnswersChartKeepsEveryDay()
{
    QFETCH(QDate, today);
    QFETCH(QString, todayLabel);
    QuizFixture quiz;
    action(quiz, "JournalAction")->trigger();
    wordlark::JournalKeeper *keeper = programJournal();
    QVERIFY(keeper);
    const qint64 noon = QDateTime(today, QTime(12, 0)).toMSecsSinceEpoch();
    keeper->setClock([noon] { return noon - DayMs; });
    answerRight(quiz);
    keeper->setClock([noon] { return noon; });
    answerRight(quiz);
    answerRight(quiz);

    QStringList days;
    QList<int> answers;
    QString legend;
    ModalAnswer progress([&](QWidget *modal) {
        auto *view = modal->findChild<QChartView *>(u"ChartAnswers"_s);
        if (QBarCategoryAxis *axis = categoriesOf(view))
            days = axis->categories();
        for (QAbstractSeries *series : view->chart()->series()) {
            if (auto *bars = qobject_cast<QBarSeries *>(series)) {
                legend = bars->barSets()[0]->label();
                for (int i = 0; i < bars->barSets()[0]->count(); ++i)
                    answers.append(int(bars->barSets()[0]->at(i)));
            }
        }
        rejectAllModals();
    });
    action(quiz, "ProgressAction")->trigger();
    QVERIFY(!progress.failed());
    QCOMPARE(days.size(), 30);
    QCOMPARE(QSet<QString>(days.cbegin(), days.cend()).size(), 30);
    QCOMPARE(days.constFirst(), today.addDays(-29).toString(u"dd.MM"_s));
    QCOMPARE(days.constLast(), todayLabel);
    QCOMPARE(answers.size(), 30);
    QCOMPARE(answers.mid(28), (QList<int>{1, 2}));
    QCOMPARE(legend, u"Ответы"_s);
}

// The smallest and a common screen: the whole window with its frame is on the screen, and every bar of
// every chart is named.
void TestJournalWindow::theProgressWindowFitsTheScreenAndNamesEveryBar_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("lessons");
    QTest::addColumn<QByteArray>("lessonName");
    QTest::newRow("1280x800") << QSize(1280, 800) << 50 << QByteArray();
    QTest::newRow("1920x1080") << QSize(1920, 1080) << 50 << QByteArray();
    QTest::newRow("1280x800, long lesson names")
        << QSize(1280, 800) << 10 << QByteArray("Урок с длинным названием номер ");
}

void TestJournalWindow::theProgressWindowFitsTheScreenAndNamesEveryBar()
{
    QFETCH(QSize, screen);
    QFETCH(int, lessons);
    QFETCH(QByteArray, lessonName);
    if (QGuiApplication::primaryScreen()->size() != screen) {
        const QString failure = runOnScreen(screen, QString::fromLatin1(QTest::currentTestFunction()) + u':' +
                                                        QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        return;
    }
    ProgramFolder folder;
    folder.write(u"Dictionary/Dict.dic"_s, lessonsOfTwoWords(lessons, lessonName));
    const qint64 now = utc(2027, 3, 10);
    writeJournalOfMonths(folder.path(Journal::fileName()), 24, now);
    RunningProgram program;
    QTRY_VERIFY_WITH_TIMEOUT(findWindow(u"MainForm"_s) && findWindow(u"MainForm"_s)->isVisible(), 10000);
    wordlark::JournalKeeper *keeper = programJournal();
    QVERIFY(keeper && keeper->isOn());
    keeper->setClock([now] { return now; });

    QStringList faults;
    ModalAnswer progress([&faults](QWidget *modal) {
        QVERIFY(QTest::qWaitForWindowExposed(modal));
        QCoreApplication::processEvents();
        const QRect available = modal->screen()->availableGeometry();
        if (!available.contains(modal->frameGeometry()))
            faults << u"the window %1 with its frame is not inside %2"_s.arg(
                QDebug::toString(modal->frameGeometry()), QDebug::toString(available));
        for (const char *name : {"LabelSummary", "Button1"}) {
            auto *control = modal->findChild<QWidget *>(QString::fromLatin1(name));
            const QRect at(control->mapTo(modal, QPoint()), control->size());
            if (!control->isVisible() || !modal->rect().contains(at))
                faults << u"%1 is not inside the window"_s.arg(QString::fromLatin1(name));
        }
        for (const auto &[chart, side] : {std::pair{"ChartAnswers", Qt::AlignBottom},
                                          {"ChartLessons", Qt::AlignBottom},
                                          {"ChartDue", Qt::AlignBottom},
                                          {"ChartLapses", Qt::AlignLeft}}) {
            const QString fault =
                unnamedBars(modal->findChild<QChartView *>(QString::fromLatin1(chart)), side);
            if (!fault.isEmpty())
                faults << fault;
        }
        rejectAllModals();
    });
    findWindow<TMainForm>(u"MainForm"_s)->findChild<QAction *>(u"ProgressAction"_s)->trigger();
    QVERIFY(!progress.failed());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

// A frame as a window manager draws it: a title bar above, thin borders elsewhere.
void TestJournalWindow::aFittedWindowKeepsItsFrameOnTheScreen_data()
{
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("window");

    QTest::newRow("too large for 1280x800")
        << QSize(1400, 900) << QRect(0, 0, 1280, 800) << QRect(1, 24, 1278, 775);
    QTest::newRow("room on 1920x1080")
        << QSize(1400, 900) << QRect(0, 0, 1920, 1080) << QRect(260, 101, 1400, 900);
    QTest::newRow("beside a panel") << QSize(1400, 900) << QRect(0, 30, 1280, 770) << QRect(1, 54, 1278, 745);
}

void TestJournalWindow::aFittedWindowKeepsItsFrameOnTheScreen()
{
    QFETCH(QSize, wanted);
    QFETCH(QRect, available);
    QFETCH(QRect, window);
    const QMargins frame(1, 24, 1, 1);
    const QRect fitted = fittedGeometry(wanted, frame, available);
    QCOMPARE(fitted, window);
    QVERIFY(available.contains(fitted.marginsAdded(frame)));
}

void TestJournalWindow::aSyncFolderIsChosenSyncedAndShownInTheProgressWindow()
{
    QuizFixture quiz;
    QVERIFY(!action(quiz, "SyncFolderAction")->isEnabled());
    action(quiz, "JournalAction")->trigger();
    QVERIFY(action(quiz, "SyncFolderAction")->isEnabled());
    QVERIFY(!action(quiz, "SyncNowAction")->isEnabled());
    QVERIFY(!action(quiz, "SyncOffAction")->isEnabled());

    const QTemporaryDir folder;
    QVERIFY(folder.isValid());
    ModalAnswer choose([&folder](QWidget *modal) {
        auto *name = modal->findChild<QLineEdit *>(u"fileNameEdit"_s);
        if (modal->objectName() != u"SyncFolderDialog"_s || !name)
            return rejectAllModals();
        name->setText(folder.path());
        QTest::keyClick(name, Qt::Key_Return);
    });
    action(quiz, "SyncFolderAction")->trigger();
    QVERIFY(!choose.failed());
    QCOMPARE(choose.title(), u"Папка синхронизации"_s);
    QVERIFY(action(quiz, "SyncNowAction")->isEnabled());
    wordlark::JournalKeeper *keeper = programJournal();
    QCOMPARE(keeper->syncFolder(), folder.path());
    const QString ownFile =
        wordlark::JournalSync::deviceFilePath(folder.path(), keeper->journal()->deviceId());
    QVERIFY(QFileInfo::exists(ownFile));

    const auto bytesOf = [&ownFile] {
        QFile file(ownFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytesOf();
    answerRight(quiz);
    QCOMPARE(bytesOf(), before); // not on the way to the next question
    action(quiz, "SyncNowAction")->trigger();
    QVERIFY(bytesOf() != before);

    QString summary;
    ModalAnswer progress([&summary](QWidget *modal) {
        if (auto *label = modal->findChild<QLabel *>(u"LabelSummary"_s))
            summary = label->text();
        rejectAllModals();
    });
    action(quiz, "ProgressAction")->trigger();
    QVERIFY(!progress.failed());
    QVERIFY2(summary.contains(u"Последняя синхронизация: "_s), qPrintable(summary));
    QVERIFY2(summary.endsWith(u", других компьютеров: 0."_s), qPrintable(summary));

    action(quiz, "SyncOffAction")->trigger();
    QVERIFY(!action(quiz, "SyncNowAction")->isEnabled());
    QCOMPARE(keeper->syncFolder(), QString());
}

// A stick unplugged since the last run: one message once the quiz is up, one line in the progress
// window, and nothing more however often the journal synchronises.
void TestJournalWindow::anUnreachableSyncFolderIsToldOncePerRun()
{
    ProgramFolder folder;
    folder.write(u"Dictionary/Dict.dic"_s, sixWords());
    QString stick;
    {
        const QTemporaryDir plugged;
        stick = plugged.path();
        wordlark::JournalKeeper keeper(QDir::currentPath());
        QVERIFY(keeper.turnOn());
        QVERIFY(keeper.setSyncFolder(stick));
    }
    std::unique_ptr<RunningProgram> program;
    const QString message = startAndReadMessage(program);
    const QString reason = u"папка «%1» не найдена"_s.arg(QDir::toNativeSeparators(stick));
    QCOMPARE(message, u"Папка синхронизации «%1» недоступна: %2. Урок продолжится; ответы будут переданы, "
                      "когда папка снова будет доступна."_s.arg(QDir::toNativeSeparators(stick), reason));
    auto *main = findWindow<TMainForm>(u"MainForm"_s);
    QVERIFY(main);
    // A second message would open from the event loop: a guard closes it and counts it.
    int moreMessages = 0;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&moreMessages] {
        if (QApplication::activeModalWidget()) {
            ++moreMessages;
            rejectAllModals();
        }
    });
    guard.start(20);
    main->findChild<QAction *>(u"SyncNowAction"_s)->trigger();
    main->findChild<QAction *>(u"SyncNowAction"_s)->trigger();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    guard.stop();
    QCOMPARE(moreMessages, 0);

    QString summary;
    ModalAnswer progress([&summary](QWidget *modal) {
        if (auto *label = modal->findChild<QLabel *>(u"LabelSummary"_s))
            summary = label->text();
        rejectAllModals();
    });
    main->findChild<QAction *>(u"ProgressAction"_s)->trigger();
    QVERIFY(!progress.failed());
    QVERIFY2(summary.endsWith(u"Папка синхронизации недоступна: %1."_s.arg(reason)), qPrintable(summary));
}

QTEST_MAIN(TestJournalWindow)
#include "tst_journalwindow.moc"
