// The learning journal from the learner's side: the "Прогресс" menu, answers kept across runs, the
// progress window, the review of due words, and a run without the journal that writes nothing.

#include "badinput.h"
#include "guitestutil.h"
#include "journalfiles.h"

#include "journal/journal.h"
#include "journal/journalkeeper.h"

#include <QAbstractButton>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QStackedBarSeries>

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

} // namespace

class TestJournalWindow final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void withoutTheFileARunWritesNothing();
    void answersOutliveTheRunAndShowInTheProgressWindow();
    void dueWordsAreCountedAndReviewedInAPassOfTheirOwn();
    void untickingAsksBeforeDeletingTheHistory();
    void aFileThatIsNoJournalIsReportedAndLeftAlone_data();
    void aFileThatIsNoJournalIsReportedAndLeftAlone();
    void aFailedWriteStopsTheJournalAndKeepsTheFile();
    void aJournalDeletedByHandIsReportedOnceAndUnticked();
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
    QString message;
    {
        ModalAnswer report(
            [&message](QWidget *modal) {
                if (auto *box = qobject_cast<QMessageBox *>(modal))
                    message = box->text();
                acceptDialog(modal);
            },
            15000);
        program = std::make_unique<RunningProgram>();
        QTRY_VERIFY_WITH_TIMEOUT(report.answered(), 15000);
        QVERIFY(!report.failed());
    }
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

QTEST_MAIN(TestJournalWindow)
#include "tst_journalwindow.moc"
