// The quiz from end to end: questions, candidates, answers, counters and the end of a pass, driven by
// object names with the whole program running headless.

#include "guitestutil.h"

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

using testutil::findWindow;
using testutil::line;
using testutil::ModalAnswer;
using testutil::ProgramFolder;
using testutil::QuizFixture;
using testutil::RunningProgram;
using testutil::sixWords;

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
    void noLessonChosenAsksNothing();
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
    QCOMPARE(quiz.main->AnswerCount(), 6);
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
    quiz.options->ComboBox3->setCurrentText(maxAnswers);
    quiz.main->Button1Click();
    QCOMPARE(quiz.main->AnswerCount(), expected);
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
    QTRY_COMPARE(quiz.box(wrong)->palette().color(QPalette::Base), quiz.main->colours().question);
    quiz.click(wrong);
    QCOMPARE(quiz.box(wrong)->palette().color(QPalette::Base), QColor(221, 0, 0));
    QVERIFY(quiz.main->Timer1->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(quiz.box(wrong)->palette().color(QPalette::Base), quiz.main->colours().question,
                              2000);

    const int right = quiz.rightBox();
    QTest::mouseMove(quiz.box(right)->viewport(), QPoint(20, 10));
    quiz.click(right);
    QCOMPARE(quiz.box(right)->palette().color(QPalette::Base), QColor(0, 221, 0));
    // The box last under the mouse gets the question colour, the others the answer colour.
    QTRY_COMPARE_WITH_TIMEOUT(quiz.box(right)->palette().color(QPalette::Base), quiz.main->colours().question,
                              2000);
    const int another = right == 1 ? 2 : 1;
    QCOMPARE(quiz.box(another)->palette().color(QPalette::Base), quiz.main->colours().answer);
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
    QVERIFY(!quiz.main->Timer1->isActive());
}

void QuizTest::noLessonChosenAsksNothing()
{
    QuizFixture quiz;
    quiz.options->ListBox1->clearSelection();
    QTest::mouseClick(quiz.options->ListBox1->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      quiz.options->ListBox1->visualItemRect(quiz.options->ListBox1->item(0)).center());
    quiz.options->ListBox1->clearSelection();
    QTest::keyClick(quiz.options->ListBox1, Qt::Key_Space, Qt::ControlModifier);
    quiz.options->ListBox1->clearSelection();
    quiz.options->CountSelectedWords();
    quiz.main->Button1Click();
    QCOMPARE(quiz.options->Label3->text(), QStringLiteral("Всего слов: 0"));
    QCOMPARE(quiz.remained(), QStringLiteral(" Осталось слов: 0"));
    QCOMPARE(quiz.visibleBoxes(), 0);
    QVERIFY(quiz.main->findChild<QTextEdit *>(QStringLiteral("TntRichEdit0"))->toPlainText().isEmpty());
}

void QuizTest::hiddenAnswersAreUncoveredByTheButton()
{
    QuizFixture quiz;
    QTest::mouseClick(quiz.options->CheckShowBut, Qt::LeftButton);
    QVERIFY(quiz.options->CoolGirl->isEnabled());
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
    quiz.options->ComboBox3->setCurrentText(QStringLiteral("12"));
    quiz.main->Button1Click();
    QCOMPARE(quiz.main->AnswerCount(), 12);
    // A translation is set in the letters font, as the question or as a candidate, and wraps at the width
    // the box leaves for text while it shows no scroll bar of its own.
    QTextDocument document;
    document.setDefaultFont(quiz.main->LatinFontDial.font);
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
        layOut(quiz.main->TntRichEdit0, translation);
        QVERIFY2(lineCount() == 1, qPrintable(translation));
    }
}

QTEST_MAIN(QuizTest)
#include "tst_quiz.moc"
