#include "guitestutil.h"
#include "lessonchoice.h"

#include "dictionary/lessonlist.h"
#include "dictionary/wordtable.h"
#include "progress/statistics.h"
#include "progress/unit2.h"

#include <QClipboard>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
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

// The characters of a text of the Basic Multilingual Plane, one by one.
QStringList each(const QString &text)
{
    return text.split(QString(), Qt::SkipEmptyParts);
}

// The characters of a list, in order.
QStringList characters(const QListView *list)
{
    QStringList shown;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        shown.append(list->model()->index(row, 0).data().toString());
    return shown;
}

// What the statistics window shows: its figures, its two lists and where they stand.
struct StatisticsView {
    QString figures;
    QStringList simplified;
    QStringList full;
    QList<QRect> geometry; // TntMemo1, TntMemo2, Label2
    QList<int> layout;     // flow, horizontal and vertical scroll bars of each list

    explicit StatisticsView(QWidget *window)
    {
        auto *simplifiedList = control<QListView>(window, "TntMemo1");
        auto *fullList = control<QListView>(window, "TntMemo2");
        figures = control<QPlainTextEdit>(window, "Memo1")->toPlainText();
        simplified = characters(simplifiedList);
        full = characters(fullList);
        geometry = {simplifiedList->geometry(), fullList->geometry(),
                    control<QLabel>(window, "Label2")->geometry()};
        for (const QListView *list : {simplifiedList, fullList})
            layout << list->flow() << list->horizontalScrollBarPolicy() << list->verticalScrollBarPolicy();
    }
};

QString figures(int words, int simplified, int full)
{
    return u"Всего слов: %1\nНеповторяющихся иероглифов (простых): %2\nНеповторяющихся иероглифов (полных): %3"_s
        .arg(words)
        .arg(simplified)
        .arg(full);
}

const QList<QRect> kHorizontal = {QRect(5, 184, 369, 57), QRect(5, 264, 369, 57)};
const QList<QRect> kVertical = {QRect(5, 184, 90, 137), QRect(189, 184, 90, 137)};
const QList<int> kHorizontalLayout = {QListView::LeftToRight, Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOff,
                                      QListView::LeftToRight, Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOff};
const QList<int> kVerticalLayout = {QListView::TopToBottom, Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOn,
                                    QListView::TopToBottom, Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOn};

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
        QListWidget *list = quiz.options->ListBox1;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list->visualItemRect(list->item(0)).center());
        QTest::mouseClick(quiz.options->ButtonOptOK, Qt::LeftButton);
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
        auto *simplifiedList = control<QListView>(window, "TntMemo1");
        QCOMPARE(simplifiedList->font().family(), quiz.main->HierFontDial.font.family());
        QCOMPARE(simplifiedList->font().pixelSize(), 24);
        QCOMPARE(control<QListView>(window, "TntMemo2")->font().family(),
                 quiz.main->BHierFontDial.font.family());

        const StatisticsView all(window);
        QCOMPARE(all.figures, figures(6, 6, 2));
        QCOMPARE(all.simplified, each(u"好你我吗他们"_s));
        QCOMPARE(all.full, each(u"嗎們"_s));
        // Read as text, a list holds its characters on one line.
        QCOMPARE(simplifiedList->property("plainText").toString(), u"好你我吗他们"_s);
        QCOMPARE(all.geometry.mid(0, 2), kHorizontal);
        QCOMPARE(all.geometry[2].topLeft(), QPoint(5, 248));
        QCOMPARE(all.layout, kHorizontalLayout);

        // Moving the pointer over the window or its figures counts as the learner's presence.
        quiz.main->Timer2->start(5);
        QTRY_VERIFY(quiz.main->idleTicks() >= 2);
        quiz.main->Timer2->stop();
        moveMouseOver(control<QPlainTextEdit>(window, "Memo1")->viewport(), QPoint(30, 30));
        QCOMPARE(quiz.main->idleTicks(), 0);
        quiz.main->Timer2->start(5);
        QTRY_VERIFY(quiz.main->idleTicks() >= 2);
        quiz.main->Timer2->stop();
        moveMouseOver(window, QPoint(360, 160));
        QCOMPARE(quiz.main->idleTicks(), 0);

        // A character can be picked out and copied.
        QTest::mouseClick(simplifiedList->viewport(), Qt::LeftButton, {},
                          simplifiedList->visualRect(simplifiedList->model()->index(1, 0)).center());
        QTest::keyClick(simplifiedList, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"你"_s);

        QTest::mouseClick(control<QRadioButton>(window, "RadioButton2"), Qt::LeftButton);
        const StatisticsView chosen(window);
        QCOMPARE(chosen.figures, figures(3, 4, 2));
        QCOMPARE(chosen.simplified, each(u"吗他们我"_s));
        QCOMPARE(chosen.full, each(u"嗎們"_s));
        QVERIFY(!simplifiedList->selectionModel()->hasSelection());

        auto *layoutSwitch = control<QPushButton>(window, "ButtonHV");
        QTest::mouseClick(layoutSwitch, Qt::LeftButton);
        const StatisticsView vertical(window);
        QCOMPARE(vertical.figures, chosen.figures);
        QCOMPARE(vertical.simplified, chosen.simplified);
        QCOMPARE(vertical.full, chosen.full);
        QCOMPARE(vertical.geometry.mid(0, 2), kVertical);
        QCOMPARE(vertical.geometry[2].topLeft(), QPoint(189, 168));
        QCOMPARE(vertical.layout, kVerticalLayout);
        QCOMPARE(control<QListView>(window, "TntMemo2")->property("plainText").toString(), u"嗎\n們"_s);

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
        QCOMPARE(again.simplified, each(u"吗他们我"_s));
        QCOMPARE(again.layout, kVerticalLayout);
        QCOMPARE(again.geometry.mid(0, 2), kVertical);
        QTest::mouseClick(control<QPushButton>(window, "Button1"), Qt::LeftButton);
    });
    chooseMenuItem(quiz.main, "N2", "N16");
    QVERIFY(secondLook.answered());
    QVERIFY(!secondLook.failed());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(TestStatistics)
#include "tst_statistics.moc"
