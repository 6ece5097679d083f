// The quiz from end to end: questions, candidates, answers, counters and the end of a pass, driven by
// object names with the whole program running headless.

#include "guitestutil.h"
#include "ui/screenlook.h"

#include "app/mainunit.h"
#include "dictionary/unit4.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

using wordlark::FieldFont;
using wordlark::FieldKind;

using testutil::findWindow;
using testutil::line;
using testutil::ModalAnswer;
using testutil::ProgramFolder;
using testutil::QuizFixture;
using testutil::RunningProgram;
using testutil::sixWords;

namespace {

// Four lessons of 1, 2, 3 and 4 words, so that every choice of lessons has its own word count.
QByteArray fourLessons()
{
    QByteArray text("\xEF\xBB\xBF");
    const char *words[][3] = {{"yī", "一", "один"},   {"èr", "二", "два"},    {"sān", "三", "три"},
                              {"sì", "四", "четыре"}, {"wǔ", "五", "пять"},   {"liù", "六", "шесть"},
                              {"qī", "七", "семь"},   {"bā", "八", "восемь"}, {"jiǔ", "九", "девять"},
                              {"shí", "十", "десять"}};
    int word = 0;
    for (int lesson = 1; lesson <= 4; ++lesson)
        for (int i = 0; i < lesson; ++i, ++word)
            text += line(words[word][0], words[word][1], "", QByteArray::number(lesson).constData(),
                         words[word][2]);
    return text;
}

// What the learner does to the lesson list.
struct ListAction {
    enum Kind { Click, RightClick, ClickEmpty, Key } kind = Click;
    int entryOrKey = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};
ListAction click(int entry, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return {ListAction::Click, entry, modifiers};
}
ListAction key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return {ListAction::Key, qtKey, modifiers};
}

// The lesson dialog open beside the quiz, as after "Урок" → "Выбрать", driven with real events.
class LessonListDriver final {
public:
    explicit LessonListDriver(const QuizFixture &quiz)
        : m_list(testutil::control<LessonListBox>(quiz.options, "ListBox1"))
    {
        quiz.options->show();
        QVERIFY(QTest::qWaitForWindowExposed(quiz.options));
    }

    void act(const ListAction &action) const
    {
        QWidget *viewport = m_list->viewport();
        switch (action.kind) {
        case ListAction::Click:
        case ListAction::RightClick:
            QTest::mouseClick(viewport, action.kind == ListAction::Click ? Qt::LeftButton : Qt::RightButton,
                              action.modifiers, entryCentre(action.entryOrKey));
            break;
        case ListAction::ClickEmpty:
            QTest::mouseClick(viewport, Qt::LeftButton, action.modifiers,
                              QPoint(viewport->width() - 5, viewport->height() - 5));
            break;
        case ListAction::Key:
            m_list->setFocus();
            pressAndRelease(action.entryOrKey, action.modifiers);
            break;
        }
    }

    QList<int> shownChoice() const
    {
        QList<int> chosen;
        for (int k = 0; k < m_list->count(); ++k)
            if (m_list->item(k)->isSelected())
                chosen.append(k);
        return chosen;
    }

private:
    // A letter beyond Latin-1 comes with its text, as a keyboard layout sends it; QTest::keyClick knows
    // only Latin-1 keys.
    void pressAndRelease(int qtKey, Qt::KeyboardModifiers modifiers) const
    {
        if (qtKey < 0x100 || qtKey >= 0x10000) {
            QTest::keyClick(m_list, Qt::Key(qtKey), modifiers);
            return;
        }
        const QString text(QChar(char16_t(qtKey)).toLower());
        QTest::sendKeyEvent(QTest::Press, m_list, Qt::Key(qtKey), text, modifiers);
        QTest::sendKeyEvent(QTest::Release, m_list, Qt::Key(qtKey), text, modifiers);
    }

    QPoint entryCentre(int entry) const { return m_list->visualItemRect(m_list->item(entry)).center(); }

    QListWidget *m_list;
};

} // namespace

Q_DECLARE_METATYPE(ListAction)

class QuizTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstQuestionShowsQuestionAndCandidates();
    void candidateCountFollowsMaxAnswers_data();
    void candidateCountFollowsMaxAnswers();
    void rightAnswerRemovesTheWord();
    void wrongThenRightKeepsTheWord();
    void passEndsWithTheGrade_data();
    void passEndsWithTheGrade();
    void flashEndsAfterTheTimer();
    void rightClickChangesNoCounter();
    void lessonChoiceFollowsTheList_data();
    void lessonChoiceFollowsTheList();
    void selectionKeysAreKnownByTheirPlace_data();
    void selectionKeysAreKnownByTheirPlace();
    void noLessonChosenAsksNothing();
    void longFieldsAreCutOnScreenOnly();
    void boxesKeepTheirLookOverManyQuestions();
    void hiddenAnswersAreUncoveredByTheButton();
    void builtInTranslationsFitTheirBoxes();
};

void QuizTest::firstQuestionShowsQuestionAndCandidates()
{
    QuizFixture quiz;
    auto *question = quiz.main->findChild<QTextEdit *>(QStringLiteral("TntRichEdit0"));
    const int word = quiz.main->session().currentWord();
    QVERIFY(word >= 0);
    QCOMPARE(question->toPlainText(), quiz.main->wordTable().cell(4, word));
    QCOMPARE(runningTrainer()->question().count(), 6);
    QCOMPARE(quiz.visibleBoxes(), 6);
    const int right = quiz.rightBox();
    QVERIFY(right > 0);
    QCOMPARE(quiz.box(right)->toPlainText(),
             quiz.main->wordTable().cell(0, word) + u' ' + quiz.main->wordTable().cell(1, word));
    QCOMPARE(quiz.remained(), QStringLiteral(" Осталось слов: 6"));
    QCOMPARE(quiz.mistakes(), QStringLiteral("Ошибок: 0"));
    // Odd boxes form the left column, even ones the right.
    QCOMPARE(quiz.box(1)->x(), 10);
    QCOMPARE(quiz.box(2)->x(), 405);
}

void QuizTest::candidateCountFollowsMaxAnswers_data()
{
    QTest::addColumn<QString>("maxAnswers");
    QTest::addColumn<int>("expected");
    QTest::newRow("2") << QStringLiteral("2") << 2;
    QTest::newRow("5") << QStringLiteral("5") << 5;
    QTest::newRow("12, but only 6 words") << QStringLiteral("12") << 6;
}

void QuizTest::candidateCountFollowsMaxAnswers()
{
    QFETCH(QString, maxAnswers);
    QFETCH(int, expected);
    QuizFixture quiz;
    testutil::control<QComboBox>(quiz.options, "ComboBox3")->setCurrentText(maxAnswers);
    quiz.main->Button1Click();
    QCOMPARE(runningTrainer()->question().count(), expected);
    QCOMPARE(quiz.visibleBoxes(), expected);
    // The rows share the answer area; an odd count leaves the last box alone on the left.
    const int rows = expected / 2 + expected % 2;
    QCOMPARE(quiz.box(expected)->x(), expected % 2 ? 10 : 405);
    QCOMPARE(quiz.box(expected)->y(), quiz.box(1)->y() + (quiz.box(1)->height() + 2) * (rows - 1));
}

void QuizTest::rightAnswerRemovesTheWord()
{
    QuizFixture quiz;
    const int word = quiz.main->session().currentWord();
    quiz.click(quiz.rightBox());
    QVERIFY(!quiz.main->session().queue().contains(word));
    QCOMPARE(quiz.remained(), QStringLiteral(" Осталось слов: 5"));
    QCOMPARE(quiz.mistakes(), QStringLiteral("Ошибок: 0"));
}

void QuizTest::wrongThenRightKeepsTheWord()
{
    QuizFixture quiz;
    const int word = quiz.main->session().currentWord();
    const int wrong = quiz.wrongBox();
    QVERIFY(wrong > 0);
    quiz.click(wrong);
    quiz.click(wrong);
    QCOMPARE(quiz.mistakes(), QStringLiteral("Ошибок: 2"));
    QCOMPARE(quiz.main->session().currentWord(), word);
    quiz.click(quiz.rightBox());
    QVERIFY(quiz.main->session().queue().contains(word));
    QCOMPARE(quiz.remained(), QStringLiteral(" Осталось слов: 6"));
    QCOMPARE(quiz.main->session().mistakes(), (QList<wordlark::MistakeRecord>{{word, 2}}));
}

void QuizTest::passEndsWithTheGrade_data()
{
    QTest::addColumn<int>("mistakes");
    QTest::addColumn<QString>("grade");
    QTest::newRow("none") << 0 << QStringLiteral("Отлично!");
    QTest::newRow("three") << 3 << QStringLiteral("Удовлетворительно.");
}

void QuizTest::passEndsWithTheGrade()
{
    QFETCH(int, mistakes);
    QFETCH(QString, grade);
    QuizFixture quiz;
    for (int i = 0; i < mistakes; ++i)
        quiz.click(quiz.wrongBox());

    QString caption;
    QString text;
    bool reviewShown = false;
    for (int guard = 0; guard < 100 && !quiz.main->session().newPassPending(); ++guard) {
        if (quiz.main->session().queue().size() == 1 && !quiz.main->session().missedThisQuestion()) {
            // The last word: the grade comes, then the review of the missed words if there were any.
            ModalAnswer gradeBox([&](QWidget *modal) {
                auto *box = qobject_cast<QMessageBox *>(modal);
                caption = box->windowTitle();
                text = box->text();
                box->accept();
            });
            ModalAnswer review(
                [&](QWidget *modal) {
                    reviewShown = modal->objectName() == QStringLiteral("FormFuxi");
                    if (auto *dialog = qobject_cast<QDialog *>(modal))
                        dialog->reject();
                },
                mistakes > 0 ? 5000 : 300);
            const int before = quiz.main->session().mistakeCount();
            quiz.click(quiz.rightBox());
            QCOMPARE(before, mistakes);
            break;
        }
        quiz.click(quiz.rightBox());
    }
    QCOMPARE(caption, grade);
    QCOMPARE(text, QStringLiteral("Слова кончились. Начните сначала."));
    QCOMPARE(reviewShown, mistakes > 0);
    // The next question has started a new pass.
    QCOMPARE(quiz.mistakes(), QStringLiteral("Ошибок: 0"));
    QCOMPARE(quiz.remained(), QStringLiteral(" Осталось слов: 6"));
}

void QuizTest::flashEndsAfterTheTimer()
{
    QuizFixture quiz;
    const int wrong = quiz.wrongBox();
    QTest::mouseMove(quiz.box(wrong)->viewport(), QPoint(20, 10));
    QTRY_COMPARE(quiz.box(wrong)->palette().color(QPalette::Base), runningLook()->colours().question);
    quiz.click(wrong);
    QCOMPARE(quiz.box(wrong)->palette().color(QPalette::Base), QColor(221, 0, 0));
    QVERIFY(testutil::control<QTimer>(quiz.main->centralWidget(), "Timer1")->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(quiz.box(wrong)->palette().color(QPalette::Base),
                              runningLook()->colours().question, 2000);

    const int right = quiz.rightBox();
    QTest::mouseMove(quiz.box(right)->viewport(), QPoint(20, 10));
    quiz.click(right);
    QCOMPARE(quiz.box(right)->palette().color(QPalette::Base), QColor(0, 221, 0));
    // The box last under the mouse gets the question colour, the others the answer colour.
    QTRY_COMPARE_WITH_TIMEOUT(quiz.box(right)->palette().color(QPalette::Base),
                              runningLook()->colours().question, 2000);
    const int another = right == 1 ? 2 : 1;
    QCOMPARE(quiz.box(another)->palette().color(QPalette::Base), runningLook()->colours().answer);
}

void QuizTest::rightClickChangesNoCounter()
{
    QuizFixture quiz;
    const int word = quiz.main->session().currentWord();
    const QList<int> queue = quiz.main->session().queue();
    quiz.click(quiz.wrongBox(), Qt::RightButton);
    quiz.click(quiz.rightBox(), Qt::RightButton);
    QCOMPARE(quiz.main->session().currentWord(), word);
    QCOMPARE(quiz.main->session().queue(), queue);
    QCOMPARE(quiz.mistakes(), QStringLiteral("Ошибок: 0"));
    QVERIFY(!testutil::control<QTimer>(quiz.main->centralWidget(), "Timer1")->isActive());
}

void QuizTest::lessonChoiceFollowsTheList_data()
{
    QTest::addColumn<QList<ListAction>>("actions");
    QTest::addColumn<QList<int>>("chosen");

    const ListAction empty{ListAction::ClickEmpty};
    QTest::newRow("plain click on one of all") << QList<ListAction>{click(1)} << QList<int>{1};
    QTest::newRow("plain click on the last") << QList<ListAction>{click(3)} << QList<int>{3};
    QTest::newRow("second plain click elsewhere") << QList<ListAction>{click(1), click(2)} << QList<int>{2};
    QTest::newRow("ctrl click drops one")
        << QList<ListAction>{click(0, Qt::ControlModifier)} << QList<int>{1, 2, 3};
    QTest::newRow("ctrl click adds one")
        << QList<ListAction>{click(0), click(2, Qt::ControlModifier)} << QList<int>{0, 2};
    QTest::newRow("shift click takes a range")
        << QList<ListAction>{click(1), click(3, Qt::ShiftModifier)} << QList<int>{1, 2, 3};
    QTest::newRow("click on empty space") << QList<ListAction>{empty} << QList<int>{};
    QTest::newRow("right click keeps all")
        << QList<ListAction>{{ListAction::RightClick, 2}} << QList<int>{0, 1, 2, 3};
    QTest::newRow("right click keeps one")
        << QList<ListAction>{click(1), {ListAction::RightClick, 3}} << QList<int>{1};
    QTest::newRow("arrow key moves") << QList<ListAction>{click(0), key(Qt::Key_Down)} << QList<int>{1};
    QTest::newRow("shift arrow extends")
        << QList<ListAction>{click(0), key(Qt::Key_Down, Qt::ShiftModifier)} << QList<int>{0, 1};
    QTest::newRow("end key") << QList<ListAction>{click(0), key(Qt::Key_End)} << QList<int>{3};
}

// After every load all lessons are chosen; whatever the learner then does, the count, the recorded
// choice, both labels and the new pass follow the choice the list shows.
void QuizTest::lessonChoiceFollowsTheList()
{
    QFETCH(QList<ListAction>, actions);
    QFETCH(QList<int>, chosen);
    static const int lessonSizes[] = {1, 2, 3, 4};
    static const int firstRows[] = {0, 1, 3, 6};

    QuizFixture quiz(fourLessons());
    LessonListDriver list(quiz);
    QCOMPARE(list.shownChoice(), (QList<int>{0, 1, 2, 3}));
    for (const ListAction &action : actions)
        list.act(action);

    QCOMPARE(list.shownChoice(), chosen);
    int count = 0;
    QList<int> words;
    std::vector<bool> flags(4, false);
    for (int lesson : chosen) {
        count += lessonSizes[lesson];
        flags[size_t(lesson)] = true;
        for (int i = 0; i < lessonSizes[lesson]; ++i)
            words.append(firstRows[lesson] + i);
    }
    QCOMPARE(quiz.options->lessons().selectionFlags(), flags);
    QCOMPARE(quiz.options->SelectedWordCount(), count);
    QCOMPARE(testutil::control<QLabel>(quiz.options, "Label3")->text(),
             QStringLiteral("Всего слов: %1").arg(count));
    QCOMPARE(quiz.remained(), QStringLiteral(" Осталось слов: %1").arg(count));
    QCOMPARE(quiz.main->session().queue(), words);
    if (count > 0)
        QVERIFY(words.contains(quiz.main->session().currentWord()));
}

void QuizTest::selectionKeysAreKnownByTheirPlace_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<bool>("recounts");

    QTest::newRow("latin letter") << int(Qt::Key_F) << true;
    QTest::newRow("digit") << int(Qt::Key_7) << true;
    QTest::newRow("Russian letter on the A key") << int(u'Ф') << true;
    QTest::newRow("Russian letter on the M key") << int(u'Ь') << true;
    QTest::newRow("Russian letter on the [ key") << int(u'Х') << false;
    QTest::newRow("tab") << int(Qt::Key_Tab) << false;
    QTest::newRow("shift alone") << int(Qt::Key_Shift) << false;
}

// A key that recounts starts a new pass, which shows as a full queue again after a right answer.
void QuizTest::selectionKeysAreKnownByTheirPlace()
{
    QFETCH(int, qtKey);
    QFETCH(bool, recounts);

    QuizFixture quiz(fourLessons());
    LessonListDriver list(quiz);
    quiz.click(quiz.rightBox());
    QCOMPARE(quiz.main->session().queue().size(), 9);
    list.act(key(qtKey));
    QCOMPARE(list.shownChoice(), (QList<int>{0, 1, 2, 3}));
    QCOMPARE(quiz.main->session().queue().size(), recounts ? 10 : 9);
}

// With every lesson taken out of the choice nothing is asked, the counters read 0 and the question box
// tells the learner where lessons are chosen.
void QuizTest::noLessonChosenAsksNothing()
{
    QuizFixture quiz;
    LessonListDriver list(quiz);
    list.act(click(0, Qt::ControlModifier));
    list.act(click(1, Qt::ControlModifier));
    QCOMPARE(list.shownChoice(), QList<int>{});
    QCOMPARE(testutil::control<QLabel>(quiz.options, "Label3")->text(), QStringLiteral("Всего слов: 0"));
    QCOMPARE(quiz.remained(), QStringLiteral(" Осталось слов: 0"));
    QCOMPARE(quiz.mistakes(), QStringLiteral("Ошибок: 0"));
    QCOMPARE(quiz.visibleBoxes(), 0);
    QCOMPARE(quiz.question(), QStringLiteral("Выберите уроки: Урок → Выбрать"));

    // Choosing a lesson again asks from it at once.
    list.act(click(1));
    QCOMPARE(quiz.visibleBoxes(), 6);
    QVERIFY(quiz.main->session().currentWord() >= 3);
}

// A field of thousands of characters shows cut with "…"; the answer is still judged by the whole word.
void QuizTest::longFieldsAreCutOnScreenOnly()
{
    const QByteArray longTranslation(5000, 'x');
    const QByteArray longPinyin(3000, 'p');
    QuizFixture quiz(QByteArray("\xEF\xBB\xBF") + line(longPinyin.constData(), "好", "", "1", "хорошо") +
                     line("nǐ", "你", "", "1", longTranslation.constData()));
    QCOMPARE(quiz.main->wordTable().cell(4, 1), QString::fromLatin1(longTranslation));
    const int word = quiz.main->session().currentWord();
    const QString cut = QString(1000, u'x') + u'…';
    QCOMPARE(quiz.question(), word == 1 ? cut : QStringLiteral("хорошо"));
    const int right = quiz.rightBox();
    const int other = right == 1 ? 2 : 1;
    const QString longBox = QString(1000, u'p') + u'…' + u' ' + QStringLiteral("好");
    QCOMPARE(quiz.box(word == 0 ? right : other)->toPlainText(), longBox);

    quiz.click(right);
    QCOMPARE(quiz.main->session().queue().size(), 1);
    QCOMPARE(quiz.mistakes(), QStringLiteral("Ошибок: 0"));
}

// Over a long session each box's document is cleared now and then; the questions after that must look
// like the ones before: alignment, fonts of the fields, caret at the start.
void QuizTest::boxesKeepTheirLookOverManyQuestions()
{
    const QByteArray longTranslation(3000, 'x');
    const QByteArray longPinyin(3000, 'p');
    QuizFixture quiz(line(longPinyin.constData(), "好", "", "1", longTranslation.constData()) +
                     line(longPinyin.constData(), "你", "", "1", longTranslation.constData()));
    const auto alignment = [](const QTextEdit *box) {
        return box->document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    };
    const auto formatAt = [](const QTextEdit *box, int position) {
        QTextCursor cursor(box->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat();
    };
    // Each question writes over 3,000 characters into the boxes, so forty of them clear every box often.
    for (int question = 0; question < 40; ++question) {
        runningTrainer()->chooseLessons(runningTrainer()->lessons().selectionFlags());
        quiz.main->Button1Click();
        QCOMPARE(quiz.question(), QString(1000, u'x') + u'…');
        QCOMPARE(alignment(testutil::control<QTextEdit>(quiz.main, "TntRichEdit0")), Qt::AlignHCenter);
        for (int number = 1; number <= 2; ++number) {
            const QTextEdit *box = quiz.box(number);
            QCOMPARE(alignment(box), number == 1 ? Qt::AlignRight : Qt::AlignLeft);
            QCOMPARE(box->toPlainText().size(), 1003);
            QCOMPARE(box->textCursor().position(), 0);
            QVERIFY(!box->textCursor().hasSelection());
            const QTextCharFormat pinyin = formatAt(box, 0);
            const QTextCharFormat character = formatAt(box, 1002);
            QCOMPARE(pinyin.font().family(), runningLook()->field(FieldKind::Letters).font.family());
            QCOMPARE(character.font().family(), runningLook()->field(FieldKind::Simplified).font.family());
            QCOMPARE(character.font().hintingPreference(), QFont::PreferNoHinting);
        }
    }
}

void QuizTest::hiddenAnswersAreUncoveredByTheButton()
{
    QuizFixture quiz;
    QTest::mouseClick(testutil::control<QCheckBox>(quiz.options, "CheckShowBut"), Qt::LeftButton);
    QVERIFY(testutil::control<QCheckBox>(quiz.options, "CoolGirl")->isEnabled());
    quiz.main->Button1Click();
    auto *showButton = quiz.main->findChild<QPushButton *>(QStringLiteral("ButtonShow"));
    QVERIFY(showButton->isVisible());
    QCOMPARE(showButton->text(), QStringLiteral("Показать ответы"));
    QTest::mouseClick(showButton, Qt::LeftButton);
    QVERIFY(!showButton->isVisible());
}

void QuizTest::builtInTranslationsFitTheirBoxes()
{
    QFile builtIn(QStringLiteral(":/dictionary/Dict.dic"));
    QVERIFY(builtIn.open(QIODevice::ReadOnly));
    QuizFixture quiz(builtIn.readAll());
    testutil::control<QComboBox>(quiz.options, "ComboBox3")->setCurrentText(QStringLiteral("12"));
    quiz.main->Button1Click();
    QCOMPARE(runningTrainer()->question().count(), 12);
    // A translation is set in the letters font, as the question or as a candidate, and wraps at the width
    // the box leaves for text while it shows no scroll bar of its own.
    QTextDocument document;
    document.setDefaultFont(runningLook()->field(FieldKind::Letters).font);
    const auto layOut = [&document](const QTextEdit *box, const QString &text) {
        document.setDocumentMargin(box->document()->documentMargin());
        document.setTextWidth(box->maximumViewportSize().width());
        document.setPlainText(text);
        return document.size().height(); // lays the text out
    };
    const auto lineCount = [&document] { return document.firstBlock().layout()->lineCount(); };
    const wordlark::WordTable &table = quiz.main->wordTable();
    QCOMPARE(table.rowCount(), 1400);
    for (int r = 0; r < table.rowCount(); ++r) {
        const QString &translation = table.cell(wordlark::TranslationColumn, r);
        // Two lines at most, and those are in sight in each of twelve boxes.
        QVERIFY2(layOut(quiz.box(1), translation) <= quiz.box(1)->maximumViewportSize().height(),
                 qPrintable(translation));
        QVERIFY2(lineCount() <= 2, qPrintable(translation));
        // The question box is one line high.
        layOut(testutil::control<QTextEdit>(quiz.main, "TntRichEdit0"), translation);
        QVERIFY2(lineCount() == 1, qPrintable(translation));
    }
}

QTEST_MAIN(QuizTest)
#include "tst_quiz.moc"
