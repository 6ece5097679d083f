#include "guitestutil.h"
#include "lessonchoice.h"

#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"
#include "progress/statistics.h"
#include "progress/unit2.h"

#include <QClipboard>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

using namespace Qt::StringLiterals;
using namespace wordlark;

using testutil::flagsFor;

namespace {

// A table with the given simplified and full forms, row by row, all in one lesson.
WordTable tableOfForms(const QStringList &simplified, const QStringList &full)
{
    WordTable table;
    table.setRowCount(int(simplified.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        table.setCell(SimplifiedColumn, row, simplified[row]);
        table.setCell(FullColumn, row, row < full.size() ? full[row] : QString());
        table.setCell(LessonColumn, row, u"01"_s);
    }
    return table;
}

std::vector<int> allRows(const WordTable &table)
{
    std::vector<int> rows;
    for (int row = 0; row < table.rowCount(); ++row)
        rows.push_back(row);
    return rows;
}

// Lessons "03", "01", "02", with lesson "01" in two blocks; each row's simplified form names its row.
WordTable scatteredLessons()
{
    const QStringList labels = {u"03"_s, u"03"_s, u"01"_s, u"02"_s, u"02"_s, u"01"_s};
    const QStringList forms = {u"零"_s, u"一"_s, u"二"_s, u"三"_s, u"四"_s, u"五"_s};
    WordTable table;
    table.setRowCount(int(labels.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        table.setCell(SimplifiedColumn, row, forms[row]);
        table.setCell(LessonColumn, row, labels[row]);
    }
    return table;
}

const QString kTiger = u"𠮷"_s; // U+20BB7, a surrogate pair
const QChar kLoneHigh(char16_t(0xD842));
const QChar kLoneLow(char16_t(0xDFB7));

// Opens a menu of the menu bar and chooses one of its items with the mouse, as the learner does.
void chooseMenuItem(QMainWindow *window, const char *menuName, const char *itemName)
{
    QMenuBar *bar = window->menuBar();
    auto *menu = window->findChild<QMenu *>(QString::fromLatin1(menuName));
    auto *item = window->findChild<QAction *>(QString::fromLatin1(itemName));
    QVERIFY(menu && item);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(item->isEnabled());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

// A move of the pointer with no button held, delivered to the window as the windowing system does, so that
// it reaches the widget under the pointer.
void moveMouseOver(QWidget *widget, QPoint position)
{
    QWidget *window = widget->window();
    QTest::mouseMove(window->windowHandle(), widget->mapTo(window, position));
}

template <typename T> T *control(QWidget *window, const char *name)
{
    auto *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// What the statistics window shows: its figures, its two lists and where they stand.
struct StatisticsView {
    QString figures;
    QString simplified;
    QString full;
    QList<QRect> geometry; // TntMemo1, TntMemo2, Label2
    QList<int> layout;     // wrapping, horizontal and vertical scroll bars of each list

    explicit StatisticsView(QWidget *window)
    {
        auto *simplifiedList = control<QPlainTextEdit>(window, "TntMemo1");
        auto *fullList = control<QPlainTextEdit>(window, "TntMemo2");
        figures = control<QPlainTextEdit>(window, "Memo1")->toPlainText();
        simplified = simplifiedList->toPlainText();
        full = fullList->toPlainText();
        geometry = {simplifiedList->geometry(), fullList->geometry(),
                    control<QLabel>(window, "Label2")->geometry()};
        for (const QPlainTextEdit *list : {simplifiedList, fullList})
            layout << list->lineWrapMode() << list->horizontalScrollBarPolicy()
                   << list->verticalScrollBarPolicy();
    }
};

// The caret stands before the first character and nothing is selected, with the list scrolled to its start.
void checkAtStart(const QPlainTextEdit *list)
{
    QCOMPARE(list->textCursor().position(), 0);
    QVERIFY(!list->textCursor().hasSelection());
    QCOMPARE(list->horizontalScrollBar()->value(), 0);
    QCOMPARE(list->verticalScrollBar()->value(), 0);
}

// The point between the characters before and after `position`, in the list's viewport.
QPoint pointBefore(const QPlainTextEdit *list, int position)
{
    QTextCursor cursor(list->document());
    cursor.setPosition(position);
    return list->cursorRect(cursor).center();
}

// Drags the mouse over the list from the caret position `from` to `to`, as the learner selects a run.
void dragOver(QPlainTextEdit *list, int from, int to)
{
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, pointBefore(list, from));
    QTest::mouseMove(list->viewport(), pointBefore(list, to));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, pointBefore(list, to));
}

// Opens the statistics through the menu, lets `look` act in the window, and closes it with "OK".
void lookAtStatistics(const testutil::QuizFixture &quiz, const std::function<void(QWidget *)> &look)
{
    testutil::ModalAnswer answer([&look](QWidget *window) {
        look(window);
        QTest::mouseClick(control<QPushButton>(window, "Button1"), Qt::LeftButton);
    });
    chooseMenuItem(quiz.main, "N2", "N16");
    QVERIFY(answer.answered());
    QVERIFY(!answer.failed());
}

QString figures(int words, int simplified, int full)
{
    return u"Всего слов: %1\nНеповторяющихся иероглифов (простых): %2\nНеповторяющихся иероглифов (полных): %3"_s
        .arg(words)
        .arg(simplified)
        .arg(full);
}

const QList<QRect> kHorizontal = {QRect(5, 184, 369, 57), QRect(5, 264, 369, 57)};
const QList<QRect> kVertical = {QRect(5, 184, 90, 137), QRect(189, 184, 90, 137)};
const QList<int> kHorizontalLayout = {QPlainTextEdit::NoWrap, Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOff,
                                      QPlainTextEdit::NoWrap, Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOff};
const QList<int> kVerticalLayout = {QPlainTextEdit::NoWrap, Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOn,
                                    QPlainTextEdit::NoWrap, Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOn};

} // namespace

class TestStatistics final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void countsDistinctCharactersInFirstOccurrenceOrder_data();
    void countsDistinctCharactersInFirstOccurrenceOrder();
    void scopeFollowsTheLessonList_data();
    void scopeFollowsTheLessonList();
    void nothingChosenGivesNothing();
    void joinsCharactersWhole();
    void summaryHasThreeLines();
    void windowThroughTheMenu();
    void listsAreTextBoxesHoldingTheWholeList_data();
    void listsAreTextBoxesHoldingTheWholeList();
};

void TestStatistics::countsDistinctCharactersInFirstOccurrenceOrder_data()
{
    QTest::addColumn<QStringList>("simplified");
    QTest::addColumn<QStringList>("full");
    QTest::addColumn<QString>("expectedSimplified");
    QTest::addColumn<int>("simplifiedCount");
    QTest::addColumn<QString>("expectedFull");
    QTest::addColumn<int>("fullCount");

    QTest::newRow("first occurrence order")
        << QStringList{u"好"_s, u"你好"_s, u"好人"_s} << QStringList{} << u"好你人"_s << 3 << QString() << 0;
    QTest::newRow("full forms not among the simplified")
        << QStringList{u"我们"_s, u"吗"_s, u"我们"_s} << QStringList{u"我們"_s, u"嗎"_s, u"我們"_s}
        << u"我们吗"_s << 3 << u"們嗎"_s << 2;
    QTest::newRow("full form made of simplified characters adds nothing")
        << QStringList{u"你好"_s, u"人"_s} << QStringList{u"好你"_s, u""_s} << u"你好人"_s << 3 << QString()
        << 0;
    // The simplified list is complete before the full forms are read.
    QTest::newRow("full form equal to a later simplified character")
        << QStringList{u"后"_s, u"後"_s} << QStringList{u"後"_s, u""_s} << u"后後"_s << 2 << QString() << 0;
    QTest::newRow("empty cells") << QStringList{u""_s, u""_s} << QStringList{u""_s, u""_s} << QString() << 0
                                 << QString() << 0;
    QTest::newRow("blanks and commas, also first in the scope")
        << QStringList{u", 好"_s, u" "_s, u"你, 好 人,"_s} << QStringList{u" ,們"_s} << u"好你人"_s << 3
        << u"們"_s << 1;
    QTest::newRow("any other character counts, exactly")
        << QStringList{u"A a·A"_s, u"ё"_s} << QStringList{u"Ё"_s} << u"Aa·ё"_s << 4 << u"Ё"_s << 1;
    QTest::newRow("surrogate pair counts once")
        << QStringList{kTiger + kTiger, u"好"_s + kTiger} << QStringList{kTiger} << kTiger + u"好"_s << 2
        << QString() << 0;
    QTest::newRow("lone surrogates count as themselves")
        << QStringList{QString(kLoneHigh) + u"好"_s, QString(kLoneLow), u"好"_s + kLoneHigh, kTiger}
        << QStringList{QString(kLoneHigh) + kLoneHigh} << QString(kLoneHigh) + u"好"_s + kLoneLow + kTiger
        << 4 << QString() << 0;
}

void TestStatistics::countsDistinctCharactersInFirstOccurrenceOrder()
{
    QFETCH(QStringList, simplified);
    QFETCH(QStringList, full);
    const WordTable table = tableOfForms(simplified, full);

    const DictionaryStatistics statistics = countCharacters(table, allRows(table));

    QCOMPARE(statistics.wordCount, table.rowCount());
    QTEST(joinCharacters(statistics.simplified), "expectedSimplified");
    QTEST(int(statistics.simplified.size()), "simplifiedCount");
    QTEST(joinCharacters(statistics.full), "expectedFull");
    QTEST(int(statistics.full.size()), "fullCount");
}

void TestStatistics::scopeFollowsTheLessonList_data()
{
    QTest::addColumn<QList<int>>("chosenLessons");
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("expectedSimplified");

    // The list reads "03", "01", "02"; lesson "01" owns rows 2 and 5.
    QTest::newRow("all lessons in row order")
        << QList<int>{2} << int(StatisticsScope::AllLessons) << u"零一二三四五"_s;
    QTest::newRow("every lesson in list order")
        << QList<int>{0, 1, 2} << int(StatisticsScope::ChosenLessons) << u"零一二五三四"_s;
    QTest::newRow("one lesson in two blocks")
        << QList<int>{1} << int(StatisticsScope::ChosenLessons) << u"二五"_s;
    QTest::newRow("first and last lesson")
        << QList<int>{0, 2} << int(StatisticsScope::ChosenLessons) << u"零一三四"_s;
}

void TestStatistics::scopeFollowsTheLessonList()
{
    QFETCH(QList<int>, chosenLessons);
    QFETCH(int, scope);
    const WordTable table = scatteredLessons();
    LessonList lessons;
    lessons.build(table);
    lessons.countSelected(flagsFor(chosenLessons, lessons.lessonCount()));

    const DictionaryStatistics statistics = computeStatistics(table, lessons, StatisticsScope(scope));

    QTEST(joinCharacters(statistics.simplified), "expectedSimplified");
    QCOMPARE(statistics.wordCount, int(statistics.simplified.size()));
    // The scope is the chosen words in the order the quiz counts them.
    if (StatisticsScope(scope) == StatisticsScope::ChosenLessons) {
        std::vector<int> counted;
        for (int n = 0; n < lessons.selectedWordCount(); ++n)
            counted.push_back(lessons.nthSelectedWord(n));
        QCOMPARE(wordsInScope(table, lessons, StatisticsScope::ChosenLessons), counted);
    }
}

void TestStatistics::nothingChosenGivesNothing()
{
    const WordTable table = scatteredLessons();
    LessonList lessons;
    lessons.build(table);
    lessons.countSelected(flagsFor({}, lessons.lessonCount()));

    const DictionaryStatistics statistics = computeStatistics(table, lessons, StatisticsScope::ChosenLessons);

    QCOMPARE(statistics.wordCount, 0);
    QVERIFY(statistics.simplified.empty());
    QVERIFY(statistics.full.empty());
    QCOMPARE(computeStatistics(WordTable(), LessonList(), StatisticsScope::AllLessons).wordCount, 0);
}

void TestStatistics::joinsCharactersWhole()
{
    const CharacterList characters = {U'好', U'\U00020BB7', char32_t(0xD842), U'人'};
    QCOMPARE(joinCharacters(characters, u"\n"), u"好\n"_s + kTiger + u'\n' + kLoneHigh + u"\n人"_s);
    QCOMPARE(joinCharacters({}, u"\n"), QString());
}

void TestStatistics::summaryHasThreeLines()
{
    DictionaryStatistics statistics;
    statistics.wordCount = 1400;
    statistics.simplified = {U'好', U'你'};
    statistics.full = {U'們'};
    QCOMPARE(statisticsSummary(statistics), u"Всего слов: 1400\n"
                                            u"Неповторяющихся иероглифов (простых): 2\n"
                                            u"Неповторяющихся иероглифов (полных): 1"_s);
}

// The learner chooses lesson "02" alone, opens the statistics, looks at all lessons and at the chosen one,
// switches the layout there and back and closes the window; on the next opening the window still shows
// the chosen lessons in the layout it was left in.
void TestStatistics::windowThroughTheMenu()
{
    testutil::QuizFixture quiz; // lesson "01": 好 你 我; lesson "02": 吗/嗎 他们/他們 我们/我們
    testutil::ModalAnswer chooseLesson([&quiz](QWidget *) {
        QListWidget *list = testutil::control<LessonListBox>(quiz.options, "ListBox1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list->visualItemRect(list->item(0)).center());
        QTest::mouseClick(testutil::control<QPushButton>(quiz.options, "ButtonOptOK"), Qt::LeftButton);
    });
    chooseMenuItem(quiz.main, "N1", "N20");
    QVERIFY(!chooseLesson.failed());
    QCOMPARE(quiz.options->SelectedWordCount(), 3);

    testutil::ModalAnswer firstLook([&quiz](QWidget *window) {
        QCOMPARE(window->objectName(), u"FormStat"_s);
        QCOMPARE(window->windowTitle(), u"Статистика"_s);
        QCOMPARE(control<QRadioButton>(window, "RadioButton1")->text(), u"Все уроки"_s);
        QCOMPARE(control<QLabel>(window, "Label1")->text(), u"Иерогл (прост)"_s);
        QCOMPARE(control<QPushButton>(window, "ButtonHV")->text(), u"Гориз/Вертик"_s);
        // The busy pointer covers the computation only.
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        auto *simplifiedList = control<QPlainTextEdit>(window, "TntMemo1");
        QCOMPARE(simplifiedList->font().family(), runningLook()->field(FieldKind::Simplified).font.family());
        QCOMPARE(simplifiedList->font().pixelSize(), 24);
        QCOMPARE(control<QPlainTextEdit>(window, "TntMemo2")->font().family(),
                 runningLook()->field(FieldKind::Full).font.family());

        const StatisticsView all(window);
        QCOMPARE(all.figures, figures(6, 6, 2));
        QCOMPARE(all.simplified, u"好你我吗他们"_s);
        QCOMPARE(all.full, u"嗎們"_s);
        QCOMPARE(all.geometry.mid(0, 2), kHorizontal);
        QCOMPARE(all.geometry[2].topLeft(), QPoint(5, 248));
        QCOMPARE(all.layout, kHorizontalLayout);

        // Moving the pointer over the window or its figures counts as the learner's presence.
        testutil::control<QTimer>(quiz.main, "Timer2")->start(5);
        QTRY_VERIFY(testutil::idleTicks(quiz.main) >= 2);
        testutil::control<QTimer>(quiz.main, "Timer2")->stop();
        moveMouseOver(control<QPlainTextEdit>(window, "Memo1")->viewport(), QPoint(30, 30));
        QCOMPARE(testutil::idleTicks(quiz.main), 0);
        testutil::control<QTimer>(quiz.main, "Timer2")->start(5);
        QTRY_VERIFY(testutil::idleTicks(quiz.main) >= 2);
        testutil::control<QTimer>(quiz.main, "Timer2")->stop();
        moveMouseOver(window, QPoint(360, 160));
        QCOMPARE(testutil::idleTicks(quiz.main), 0);

        // A run of characters can be picked out with the mouse and copied.
        dragOver(simplifiedList, 1, 4);
        QCOMPARE(simplifiedList->textCursor().selectedText(), u"你我吗"_s);
        QTest::keyClick(simplifiedList, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"你我吗"_s);

        QTest::mouseClick(control<QRadioButton>(window, "RadioButton2"), Qt::LeftButton);
        const StatisticsView chosen(window);
        QCOMPARE(chosen.figures, figures(3, 4, 2));
        QCOMPARE(chosen.simplified, u"吗他们我"_s);
        QCOMPARE(chosen.full, u"嗎們"_s);
        // The run selected before is gone with the text it was in.
        checkAtStart(simplifiedList);

        auto *layoutSwitch = control<QPushButton>(window, "ButtonHV");
        QTest::mouseClick(layoutSwitch, Qt::LeftButton);
        const StatisticsView vertical(window);
        QCOMPARE(vertical.figures, chosen.figures);
        QCOMPARE(vertical.geometry.mid(0, 2), kVertical);
        QCOMPARE(vertical.geometry[2].topLeft(), QPoint(189, 168));
        QCOMPARE(vertical.layout, kVerticalLayout);
        QCOMPARE(vertical.simplified, u"吗\n他\n们\n我"_s);
        QCOMPARE(vertical.full, u"嗎\n們"_s);

        QTest::mouseClick(layoutSwitch, Qt::LeftButton);
        const StatisticsView back(window);
        QCOMPARE(back.figures, chosen.figures);
        QCOMPARE(back.simplified, chosen.simplified);
        QCOMPARE(back.full, chosen.full);
        QCOMPARE(back.geometry, chosen.geometry);
        QCOMPARE(back.layout, kHorizontalLayout);

        QTest::mouseClick(layoutSwitch, Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(window, "Button1"), Qt::LeftButton);
    });
    chooseMenuItem(quiz.main, "N2", "N16");
    QVERIFY(firstLook.answered());
    QVERIFY(!firstLook.failed());

    testutil::ModalAnswer secondLook([](QWidget *window) {
        QVERIFY(control<QRadioButton>(window, "RadioButton2")->isChecked());
        const StatisticsView again(window);
        QCOMPARE(again.figures, figures(3, 4, 2));
        QCOMPARE(again.simplified, u"吗\n他\n们\n我"_s);
        QCOMPARE(again.layout, kVerticalLayout);
        QCOMPARE(again.geometry.mid(0, 2), kVertical);
        QTest::mouseClick(control<QPushButton>(window, "Button1"), Qt::LeftButton);
    });
    chooseMenuItem(quiz.main, "N2", "N16");
    QVERIFY(secondLook.answered());
    QVERIFY(!secondLook.failed());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestStatistics::listsAreTextBoxesHoldingTheWholeList_data()
{
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<QString>("simplified");
    QTest::addColumn<QString>("full");
    QTest::addColumn<int>("runStart");
    QTest::addColumn<int>("runEnd");
    QTest::addColumn<QString>("run");

    QTest::newRow("horizontal: one line") << false << u"好你我吗他们"_s << u"嗎們"_s << 2 << 4 << u"我吗"_s;
    QTest::newRow("vertical: one character a line")
        << true << u"好\n你\n我\n吗\n他\n们"_s << u"嗎\n們"_s << 2 << 5 << u"你\n我"_s;
}

// Each list is a read-only text box whose text is exactly the list: the learner opens the window with every
// lesson chosen, finds the caret before the first character with nothing selected, cannot change the text,
// copies a run and the whole list.
void TestStatistics::listsAreTextBoxesHoldingTheWholeList()
{
    QFETCH(bool, vertical);
    QFETCH(QString, simplified);
    QFETCH(QString, full);
    QFETCH(int, runStart);
    QFETCH(int, runEnd);
    QFETCH(QString, run);
    testutil::QuizFixture quiz;
    if (vertical)
        lookAtStatistics(quiz, [](QWidget *window) {
            QTest::mouseClick(control<QPushButton>(window, "ButtonHV"), Qt::LeftButton);
        });

    lookAtStatistics(quiz, [&](QWidget *window) {
        const QList<std::pair<const char *, QString>> lists = {{"TntMemo1", simplified}, {"TntMemo2", full}};
        for (const auto &[name, text] : lists) {
            auto *list = window->findChild<QPlainTextEdit *>(QString::fromLatin1(name));
            QVERIFY2(list, name);
            QVERIFY(list->isReadOnly());
            QCOMPARE(list->toPlainText(), text);
            checkAtStart(list);

            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, pointBefore(list, 1));
            QTest::keyClicks(list, u"x"_s);
            QTest::keyClick(list, Qt::Key_Delete);
            QTest::keyClick(list, Qt::Key_Backspace);
            QCOMPARE(list->toPlainText(), text);

            if (list->objectName() == u"TntMemo1"_s) {
                dragOver(list, runStart, runEnd);
                QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
                QCOMPARE(QGuiApplication::clipboard()->text(), run);
            }
            QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(QGuiApplication::clipboard()->text(), text);
        }
    });

    // Opened again, the lists start afresh: caret first, nothing selected.
    lookAtStatistics(quiz, [&](QWidget *window) {
        for (const char *name : {"TntMemo1", "TntMemo2"})
            checkAtStart(control<QPlainTextEdit>(window, name));
        QCOMPARE(control<QPlainTextEdit>(window, "TntMemo1")->toPlainText(), simplified);
    });
}

QTEST_MAIN(TestStatistics)
#include "tst_statistics.moc"
