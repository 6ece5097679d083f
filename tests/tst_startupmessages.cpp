// The messages that can come while the program starts (a help file or the colour scheme file missing, the
// dictionary replaced by the course, a journal that cannot be opened), with the whole program running in
// this process. A learner waits until the screen is still, answers each box, then answers the quiz.
//
// Offscreen, the test checks where each box stands: by a window on screen, with nothing coming up over it
// while it waits. On an X server with a window manager (scripts/with-window-manager.sh, as CTest runs it a
// second time) the learner clicks with the real pointer through xdotool, and a click reaches only what
// the window manager really put on top: a box hidden behind the quiz window cannot be answered there.

#include "guitestutil.h"

#include "app/mainunit.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QTextEdit>
#include <QWindow>

using namespace Qt::StringLiterals;
using testutil::findWindow;
using testutil::ProgramFolder;
using testutil::RunningProgram;

namespace {

bool onRealScreen()
{
    return QGuiApplication::platformName() == u"xcb";
}

// A real click of the pointer at `at` in `widget`, where the X server sends it: to whatever window is on
// top there.
bool realClick(QWidget *widget, QPoint at)
{
    const QPoint inWindow = widget->mapTo(widget->window(), at);
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("mousemove"), QStringLiteral("--window"),
                   QString::number(widget->window()->winId()), QString::number(inWindow.x()),
                   QString::number(inWindow.y()), QStringLiteral("click"), QStringLiteral("1")});
    return xdotool.waitForFinished(5000) && xdotool.exitCode() == 0;
}

bool click(QWidget *widget, QPoint at)
{
    if (onRealScreen())
        return realClick(widget, at);
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    return true;
}

QSet<QWidget *> windowsOnScreen()
{
    QSet<QWidget *> shown;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            shown.insert(window);
    return shown;
}

// A message box as the learner met it.
struct MetBox {
    QString name;
    bool byAWindowOnScreen = false;   // the window it stands over was shown when it came up
    bool coveredWhileWaiting = false; // another window came up while it waited for an answer
    bool answered = false;            // closed by the learner's click on OK
};

// Notes every message box as it comes up and every window that comes up while one waits. Waits until
// nothing on screen has changed for a moment, then clicks OK on the box that waits, again a little later
// if the click did not close it, until a deadline; a box still open then is rejected so that the test
// goes on.
class StartupLearner final : public QObject {
public:
    StartupLearner()
    {
        qApp->installEventFilter(this);
        m_clock.start();
        m_still.start();
        connect(&m_timer, &QTimer::timeout, this, &StartupLearner::look);
        m_timer.start(50);
    }

    const QList<MetBox> &met() const { return m_met; }
    bool gaveUp() const { return m_gaveUp; }

private:
    static constexpr int kRetryMs = 1500;
    static constexpr int kDeadlineMs = 8000;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWidget *>(watched);
        if (event->type() != QEvent::Show || !window || !window->isWindow())
            return false;
        m_still.restart();
        if (m_waiting && m_waiting->isVisible() && window != m_waiting)
            m_met.last().coveredWhileWaiting = true;
        if (auto *box = qobject_cast<QMessageBox *>(window); box && box != m_waiting) {
            m_waiting = box;
            m_clicks.invalidate();
            const QWidget *owner = box->parentWidget();
            m_met.append({box->objectName(), owner && owner->isVisible(), false, false});
            connect(box, &QDialog::finished, this,
                    [this, met = m_met.size() - 1] { m_met[met].answered = !m_gaveUp; });
        }
        return false;
    }

    void look()
    {
        if (windowsOnScreen() != m_shown) {
            m_shown = windowsOnScreen();
            m_still.restart();
        }
        if (!m_waiting || !m_waiting->isVisible())
            return;
        if (m_clock.elapsed() > kDeadlineMs) {
            m_gaveUp = true;
            m_timer.stop();
            testutil::rejectAllModals();
            return;
        }
        // On a real screen the learner looks once the windows have settled; offscreen nothing settles.
        const int stillMs = onRealScreen() ? 300 : 0;
        const bool exposed = m_waiting->windowHandle() && m_waiting->windowHandle()->isExposed();
        if (!exposed || m_still.elapsed() < stillMs || (m_clicks.isValid() && m_clicks.elapsed() < kRetryMs))
            return;
        m_clicks.start();
        QAbstractButton *ok = m_waiting->button(QMessageBox::Ok);
        click(ok, ok->rect().center());
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    QElapsedTimer m_still;
    QElapsedTimer m_clicks;
    QSet<QWidget *> m_shown;
    QPointer<QMessageBox> m_waiting;
    QList<MetBox> m_met;
    bool m_gaveUp = false;
};

QTextEdit *answerBox(TMainForm *main, int number)
{
    return main->findChild<QTextEdit *>(QStringLiteral("AnswerBox%1").arg(number));
}

int wrongBox(TMainForm *main)
{
    for (int i = 1; i <= runningTrainer()->question().count(); ++i)
        if (runningTrainer()->question().wordInBox(i) != main->session().currentWord() &&
            answerBox(main, i)->toPlainText() != runningTrainer()->question().rightAnswerText)
            return i;
    return 0;
}

enum Fault : unsigned {
    NoHelpText = 1,
    NoDictionaryHelp = 2,
    NoSchemeFile = 4,
    NoDictionary = 8,
    BrokenJournal = 16,
};

} // namespace

class TestStartupMessages final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void messageStandsOnTopAndTheQuizGoesOn_data();
    void messageStandsOnTopAndTheQuizGoesOn();
};

void TestStartupMessages::initTestCase()
{
    if (onRealScreen() && QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is needed for real clicks");
}

void TestStartupMessages::messageStandsOnTopAndTheQuizGoesOn_data()
{
    QTest::addColumn<unsigned>("faults");
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("help text missing") << unsigned(NoHelpText) << QStringList{u"HelpFileError"_s};
    QTest::newRow("dictionary help missing") << unsigned(NoDictionaryHelp) << QStringList{u"HelpFileError"_s};
    QTest::newRow("scheme file missing") << unsigned(NoSchemeFile) << QStringList{u"SchemeFileError"_s};
    QTest::newRow("dictionary missing") << unsigned(NoDictionary) << QStringList{u"DictionaryNotFound"_s};
    QTest::newRow("journal not a journal") << unsigned(BrokenJournal) << QStringList{u"JournalMessage"_s};
    QTest::newRow("all at once") << unsigned(NoHelpText | NoSchemeFile | NoDictionary | BrokenJournal)
                                 << QStringList{u"HelpFileError"_s, u"SchemeFileError"_s,
                                                u"DictionaryNotFound"_s, u"JournalMessage"_s};
}

void TestStartupMessages::messageStandsOnTopAndTheQuizGoesOn()
{
    QFETCH(unsigned, faults);
    QFETCH(QStringList, boxes);

    ProgramFolder folder;
    if (!(faults & NoDictionary))
        folder.write(u"Dictionary/Dict.dic"_s, testutil::sixWords());
    for (const auto &[fault, file] : {std::pair{NoHelpText, "Help/Readme.txt"},
                                      {NoDictionaryHelp, "Help/Dict_readme.txt"},
                                      {NoSchemeFile, "Data/data1.dat"}})
        if (faults & fault)
            QVERIFY(QFile::remove(folder.path(QString::fromLatin1(file))));
    if (faults & BrokenJournal)
        folder.write(u"journal.sqlite"_s, QByteArray("this is no journal\n").repeated(200));

    StartupLearner learner;
    RunningProgram program;
    QTRY_VERIFY_WITH_TIMEOUT(learner.met().size() == boxes.size() && !QApplication::activeModalWidget(),
                             15000);
    QVERIFY(!learner.gaveUp());
    QStringList names;
    for (const MetBox &box : learner.met()) {
        names.append(box.name);
        QVERIFY2(box.byAWindowOnScreen, qPrintable(box.name + u" came up by a window not on screen"_s));
        QVERIFY2(!box.coveredWhileWaiting, qPrintable(box.name + u": a window came up over it"_s));
        QVERIFY2(box.answered, qPrintable(box.name + u" was not answered by a click on OK"_s));
    }
    QCOMPARE(names, boxes);

    // The quiz answers the learner's first click.
    auto *main = findWindow<TMainForm>(u"MainForm"_s);
    QVERIFY(main);
    QTRY_VERIFY_WITH_TIMEOUT(main->isVisible() && main->windowHandle()->isExposed(), 10000);
    QTRY_VERIFY(wrongBox(main) > 0);
    QCOMPARE(main->session().mistakeCount(), 0);
    QVERIFY(click(answerBox(main, wrongBox(main))->viewport(), QPoint(20, 10)));
    QTRY_COMPARE_WITH_TIMEOUT(main->session().mistakeCount(), 1, 5000);
}

QTEST_MAIN(TestStartupMessages)
#include "tst_startupmessages.moc"
