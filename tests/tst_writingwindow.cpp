// Writing characters from the learner's side: the "Письмо" menu, the writing pad in the place of the
// answer boxes, strokes drawn with the mouse along the data's own medians, hints, "Показать", the end
// of a pass, the journal's written answers, the stroke order window, and a program without stroke data.

#include "guitestutil.h"
#include "writing/strokedata.h"
#include "writing/strokestore.h"
#include "writing/unitstrokes.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>

using namespace Qt::StringLiterals;
using namespace wordlark;
using testutil::control;
using testutil::ModalAnswer;
using testutil::ModalScript;
using testutil::QuizFixture;

namespace {

QString shippedStrokeData()
{
    return qEnvironmentVariable("WORDLARK_RUNTIME_DIR") + u"/Data/strokes.sqlite"_s;
}

// Words of few strokes, so that shown strokes are quickly drawn: 一 1, 人 2, 十 2, 大 3, 人口 5.
QByteArray fewStrokes()
{
    using testutil::line;
    return line("yī", "一", "", "1", "один") + line("rén", "人", "", "1", "человек") +
           line("shí", "十", "", "1", "десять") + line("dà", "大", "", "2", "большой") +
           line("rénkǒu", "人口", "", "2", "население");
}

// The program in a folder with the shipped stroke data (linked, not copied: it is large).
class WritingFixture final {
public:
    explicit WritingFixture(const QByteArray &dictionary = fewStrokes(), bool withData = true)
        : quiz(dictionary, false, [withData](const testutil::ProgramFolder &folder) {
            if (withData)
                QFile::link(shippedStrokeData(), folder.path(u"Data/strokes.sqlite"_s));
        })
    {
        auto opened = StrokeStore::open(shippedStrokeData());
        if (opened)
            strokes = std::move(opened).value();
    }

    QAction *action(const char *name) const { return control<QAction>(quiz.main, name); }
    QWidget *pad() const { return control<QWidget>(quiz.main, "WritingPad"); }
    QWidget *cell(int number) const
    {
        return control<QWidget>(quiz.main,
                                QStringLiteral("WritingCell%1").arg(number).toLatin1().constData());
    }
    QString askedWord() const
    {
        return quiz.main->wordTable().cell(SimplifiedColumn, quiz.main->question().word);
    }
    int cellsShown() const
    {
        int shown = 0;
        for (QWidget *child : pad()->findChildren<QWidget *>())
            shown += child->objectName().startsWith(u"WritingCell"_s) && child->isVisible();
        return shown;
    }

    // Drags the mouse along the points (the data's coordinates) in the cell, as one stroke.
    void drawStroke(int number, const StrokeMedian &median) const
    {
        QWidget *target = cell(number);
        const double side = target->width();
        const auto at = [side](QPointF p) { return dataToCell(p, side).toPoint(); };
        QTest::mousePress(target, Qt::LeftButton, {}, at(median.front()));
        for (size_t i = 1; i + 1 < median.size(); ++i)
            QTest::mouseMove(target, at(median[i]));
        QTest::mouseRelease(target, Qt::LeftButton, {}, at(median.back()));
    }
    const CharacterStrokes &strokesOf(const QString &character) const
    {
        return *strokes->character(character);
    }
    // Writes the asked word from its stroke `from` of its first character on, stroke by stroke.
    void writeAskedWord() const
    {
        const QStringList characters = writtenCharacters(askedWord());
        for (int i = 0; i < characters.size(); ++i)
            for (const StrokeMedian &median : strokesOf(characters[i]).medians)
                drawStroke(i + 1, median);
    }
    void drawWrongStroke() const
    {
        const StrokeMedian &first = strokesOf(writtenCharacters(askedWord()).front()).medians.front();
        drawStroke(1, StrokeMedian(first.rbegin(), first.rend()));
    }

    QuizFixture quiz;
    std::unique_ptr<StrokeStore> strokes;
};

QString remained(int count)
{
    return counterText(UiTextId::WordsRemained, count);
}

QString mistakes(int count)
{
    return counterText(UiTextId::Mistakes, count);
}

} // namespace

class TestWritingWindow final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theMenuStandsBetweenProgressAndHelp();
    void writingTheAskedWordCountsItRight();
    void threeWrongStrokesGiveTheHintAndOneMistake();
    void showingTheStrokesCountsAMiss();
    void untickingWhileStrokesAreShownCountsNothingMore();
    void theEndOfAPassShowsTheGradeAndTheReview();
    void untickingReturnsTheBoxes();
    void theJournalRecordsWrittenAnswers();
    void theStrokeOrderWindowDrawsTheWord();
    void withoutStrokeDataTheItemsAreDisabled_data();
    void withoutStrokeDataTheItemsAreDisabled();
};

void TestWritingWindow::theMenuStandsBetweenProgressAndHelp()
{
    WritingFixture writing;
    QStringList menus;
    for (QAction *entry : writing.quiz.main->menuBar()->actions())
        menus.append(entry->menu()->objectName());
    QCOMPARE(menus.mid(menus.indexOf(u"ProgressMenu"_s), 3),
             QStringList({u"ProgressMenu"_s, u"WritingMenu"_s, u"N10"_s}));
    auto *menu = control<QMenu>(writing.quiz.main, "WritingMenu");
    QCOMPARE(menu->title(), u"Письмо"_s);
    QCOMPARE(writing.action("WritingAction")->text(), u"Писать иероглифы"_s);
    QVERIFY(writing.action("WritingAction")->isCheckable());
    QVERIFY(writing.action("WritingAction")->isEnabled());
    QCOMPARE(writing.action("StrokeOrderAction")->text(), u"Порядок черт"_s);
    // Nothing changes until the learner ticks it.
    QVERIFY(!writing.pad()->isVisible());
    QCOMPARE(writing.quiz.visibleBoxes(), runningTrainer()->question().count());
}

void TestWritingWindow::writingTheAskedWordCountsItRight()
{
    WritingFixture writing;
    writing.action("WritingAction")->trigger();
    QVERIFY(writing.action("WritingAction")->isChecked());
    QVERIFY(writing.pad()->isVisible());
    QCOMPARE(writing.quiz.visibleBoxes(), 0);
    QCOMPARE(writing.quiz.remained(), remained(5));
    QCOMPARE(writing.cellsShown(), writtenCharacters(writing.askedWord()).size());
    QVERIFY(writing.cell(1)->width() >= 200);
    QCOMPARE(writing.cell(1)->width(), writing.cell(1)->height());

    const int first = writing.quiz.main->question().word;
    writing.writeAskedWord();
    QCOMPARE(writing.quiz.remained(), remained(4));
    QCOMPARE(writing.quiz.mistakes(), mistakes(0));
    QVERIFY(!writing.quiz.main->session().queue().contains(first));
}

void TestWritingWindow::threeWrongStrokesGiveTheHintAndOneMistake()
{
    WritingFixture writing;
    writing.action("WritingAction")->trigger();
    const int asked = writing.quiz.main->question().word;
    QWidget *cell = writing.cell(1);
    auto *fade = control<QTimer>(cell, "FadeTimer");
    const QImage plain = cell->grab().toImage();
    writing.drawWrongStroke();
    writing.drawWrongStroke();
    QCOMPARE(writing.quiz.mistakes(), mistakes(0));
    // A rejected stroke fades away and leaves the cell as it was.
    QTRY_VERIFY_WITH_TIMEOUT(!fade->isActive(), 3000);
    QCOMPARE(cell->grab().toImage(), plain);
    writing.drawWrongStroke();
    QCOMPARE(writing.quiz.mistakes(), mistakes(1));
    // The third leaves the expected stroke's outline as a hint.
    QTRY_VERIFY_WITH_TIMEOUT(!fade->isActive(), 3000);
    QVERIFY(cell->grab().toImage() != plain);
    writing.drawWrongStroke();
    QCOMPARE(writing.quiz.mistakes(), mistakes(1));
    // Written to the end, the missed word stays in the pass.
    writing.writeAskedWord();
    QCOMPARE(writing.quiz.remained(), remained(5));
    QVERIFY(writing.quiz.main->session().queue().contains(asked));
}

void TestWritingWindow::showingTheStrokesCountsAMiss()
{
    WritingFixture writing(testutil::line("yī", "一", "", "1", "один") +
                           testutil::line("rén", "人", "", "1", "человек"));
    writing.action("WritingAction")->trigger();
    const int asked = writing.quiz.main->question().word;
    QSignalSpy questions(runningTrainer(), &Trainer::questionAsked);
    QTest::mouseClick(control<QPushButton>(writing.quiz.main, "ButtonStrokes"), Qt::LeftButton);
    QCOMPARE(writing.quiz.mistakes(), mistakes(1));
    QVERIFY(!control<QPushButton>(writing.quiz.main, "ButtonStrokes")->isEnabled());
    // The strokes are drawn one after another, then the next question comes; the word stays in the pass.
    QCOMPARE(questions.size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(questions.size(), 1, 3000);
    QCOMPARE(writing.quiz.mistakes(), mistakes(1));
    QCOMPARE(writing.quiz.remained(), remained(2));
    QVERIFY(writing.quiz.main->session().queue().contains(asked));
}

void TestWritingWindow::untickingWhileStrokesAreShownCountsNothingMore()
{
    WritingFixture writing(testutil::line("dà", "大", "", "1", "большой") +
                           testutil::line("rén", "人", "", "1", "человек"));
    writing.action("WritingAction")->trigger();
    QTest::mouseClick(control<QPushButton>(writing.quiz.main, "ButtonStrokes"), Qt::LeftButton);
    writing.action("WritingAction")->trigger();
    QSignalSpy answers(runningTrainer(), &Trainer::answered);
    // The strokes stop being shown, so no late answer can come.
    auto *timer = control<QTimer>(writing.pad(), "StrokeTimer");
    QVERIFY(!timer->isActive());
    QCOMPARE(writing.quiz.mistakes(), mistakes(0));
    QCOMPARE(writing.quiz.remained(), remained(2));
    QCOMPARE(answers.size(), 0);
}

void TestWritingWindow::theEndOfAPassShowsTheGradeAndTheReview()
{
    WritingFixture writing(testutil::line("yī", "一", "", "1", "один") +
                           testutil::line("shí", "十", "", "1", "десять"));
    writing.action("WritingAction")->trigger();
    writing.drawWrongStroke();
    writing.drawWrongStroke();
    writing.drawWrongStroke();
    ModalScript script([](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    });
    for (int words = 0; words < 3 && writing.quiz.main->question().hasWord() && script.names().size() < 2;
         ++words)
        writing.writeAskedWord();
    QTRY_COMPARE_WITH_TIMEOUT(script.names(), QStringList({u"GradeMessage"_s, u"FormFuxi"_s}), 5000);
    QVERIFY(!script.failed());
    // A new writing pass follows.
    QCOMPARE(writing.quiz.remained(), remained(2));
    QVERIFY(writing.pad()->isVisible());
}

void TestWritingWindow::untickingReturnsTheBoxes()
{
    WritingFixture writing;
    writing.action("WritingAction")->trigger();
    writing.writeAskedWord();
    writing.action("WritingAction")->trigger();
    QVERIFY(!writing.action("WritingAction")->isChecked());
    QVERIFY(!writing.pad()->isVisible());
    QCOMPARE(writing.quiz.visibleBoxes(), runningTrainer()->question().count());
    QCOMPARE(writing.quiz.remained(), remained(5));
    QCOMPARE(writing.quiz.mistakes(), mistakes(0));
    writing.quiz.click(writing.quiz.rightBox());
    QCOMPARE(writing.quiz.remained(), remained(4));
}

void TestWritingWindow::theJournalRecordsWrittenAnswers()
{
    WritingFixture writing;
    writing.action("JournalAction")->trigger();
    writing.action("WritingAction")->trigger();
    writing.writeAskedWord();
    writing.action("WritingAction")->trigger();
    writing.quiz.click(writing.quiz.rightBox());
    // The program ends, writing what the journal holds.
    writing.quiz.stop();
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"reader"_s);
        db.setDatabaseName(writing.quiz.folder.path(u"journal.sqlite"_s));
        QVERIFY(db.open());
        QSqlQuery query(u"SELECT is_right, written FROM answers ORDER BY rowid"_s, db);
        while (query.next())
            rows.append(query.value(0).toString() + query.value(1).toString());
    }
    QSqlDatabase::removeDatabase(u"reader"_s);
    QCOMPARE(rows, QStringList({u"11"_s, u"10"_s}));
}

void TestWritingWindow::theStrokeOrderWindowDrawsTheWord()
{
    WritingFixture writing(testutil::line("shíyī", "十一", "", "1", "одиннадцать"));
    QString name;
    int cells = 0;
    bool finished = false;
    bool replaying = false;
    ModalAnswer answer([&](QWidget *modal) {
        name = modal->objectName();
        cells = int(modal->findChildren<QWidget *>(QRegularExpression(u"^WritingCell\\d+$"_s)).size());
        auto *form = qobject_cast<TFormStrokes *>(modal);
        // Three strokes at 0.4 s: the learner waits for the end, replays, and closes.
        QTRY_VERIFY_WITH_TIMEOUT(form->finished(), 3000);
        finished = true;
        QTest::mouseClick(control<QPushButton>(modal, "ButtonAgain"), Qt::LeftButton);
        replaying = !form->finished();
        QTest::mouseClick(control<QPushButton>(modal, "ButtonClose"), Qt::LeftButton);
    });
    writing.action("StrokeOrderAction")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(answer.answered(), 5000);
    QVERIFY(!answer.failed());
    QCOMPARE(name, u"FormStrokes"_s);
    QCOMPARE(answer.title(), u"Порядок черт"_s);
    QCOMPARE(cells, 2);
    QVERIFY(finished);
    QVERIFY(replaying);
    // Nothing was counted.
    QCOMPARE(writing.quiz.mistakes(), mistakes(0));
    QCOMPARE(writing.quiz.remained(), remained(1));
}

void TestWritingWindow::withoutStrokeDataTheItemsAreDisabled_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("no file") << QByteArray() << u"Нет файла с чертами иероглифов «%1»."_s;
    QTest::newRow("damaged") << QByteArray("SQLite format 3\0 and nothing", 28)
                             << u"Файл с чертами иероглифов «%1» повреждён или не того формата."_s;
}

void TestWritingWindow::withoutStrokeDataTheItemsAreDisabled()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, tooltip);
    WritingFixture writing(fewStrokes(), false);
    if (!file.isEmpty()) {
        writing.quiz.folder.write(u"Data/strokes.sqlite"_s, file);
        writing.quiz.restart();
    }
    const QString path = QDir(QDir::currentPath()).filePath(u"Data/strokes.sqlite"_s);
    for (const char *name : {"WritingAction", "StrokeOrderAction"}) {
        QVERIFY(!writing.action(name)->isEnabled());
        QCOMPARE(writing.action(name)->toolTip(), tooltip.arg(path));
    }
    // The quiz is as it always was.
    QCOMPARE(writing.quiz.visibleBoxes(), runningTrainer()->question().count());
    writing.quiz.click(writing.quiz.rightBox());
    QCOMPARE(writing.quiz.remained(), remained(4));
}

QTEST_MAIN(TestWritingWindow)
#include "tst_writingwindow.moc"
