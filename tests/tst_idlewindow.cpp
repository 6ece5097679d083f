// The idle animation in the running program: how it starts, draws, fades and ends.

#include "guitestutil.h"

#include "app/mainunit.h"
#include "dictionary/unit4.h"
#include "ui/fonts.h"
#include "ui/idleanimation.h"
#include "ui/unit3.h"

#include <QCursor>
#include <QFontInfo>
#include <QListWidget>
#include <QRawFont>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>

using testutil::findWindow;
using testutil::ModalAnswer;
using testutil::QuizFixture;

namespace {

enum class Wake { Key, Click };
// Ways the animation window can go away other than by fading out.
enum class Away { WindowManagerClose, Close, Hide };

void wake(TForm3 *form, Wake how)
{
    // Through the window, as the platform delivers input, so that a blocked window would miss it.
    if (how == Wake::Key)
        QTest::keyClick(form->windowHandle(), Qt::Key_Space);
    else
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, QPoint(200, 150));
}

// Starts the animation as the idle check does; the test then runs the ticks itself, one by one.
TForm3 *startStepping(const QuizFixture &quiz)
{
    auto *form = findWindow<TForm3>(QStringLiteral("Form3"));
    form->startAnimation(quiz.main->screen());
    testutil::control<QTimer>(form, "Timer1")->stop();
    return form;
}

// A few idle seconds, quickly, so that the end of the animation has a counter to reset.
void passIdleSeconds(const QuizFixture &quiz)
{
    testutil::control<QTimer>(quiz.main, "Timer2")->setInterval(10);
    QTRY_VERIFY(testutil::idleTicks(quiz.main) > 0);
    testutil::control<QTimer>(quiz.main, "Timer2")->setInterval(1000);
}

void tick(TForm3 *form, int count)
{
    for (int i = 0; i < count; ++i)
        form->Timer1Timer();
}

bool pointerHidden()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::BlankCursor;
}

QImage blackImage(const QImage &like)
{
    QImage black(like.size(), like.format());
    black.fill(Qt::black);
    return black;
}

// Records the idle counter at the moment the animation window is shown.
class ShowWatcher final : public QObject {
public:
    ShowWatcher(QWidget *watched, const TMainForm *main)
        : m_main(main)
    {
        watched->installEventFilter(this);
    }
    int idleTicksAtShow = -1;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show && idleTicksAtShow < 0)
            idleTicksAtShow = testutil::idleTicks(m_main);
        return false;
    }

private:
    const TMainForm *m_main;
};

} // namespace

Q_DECLARE_METATYPE(Wake)
Q_DECLARE_METATYPE(Away)

class IdleWindowTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fadesInAndOutOnKeyOrClick_data();
    void fadesInAndOutOnKeyOrClick();
    void keepsItsDrawingOnARepaint();
    void drawsNothingWithoutChosenLessons();
    void endsAlsoOverAnOpenDialog();
    void endsHoweverTheWindowGoesAway_data();
    void endsHoweverTheWindowGoesAway();
    void startsAfterFiveIdleMinutes();
    void startsAtOnceWithThePointerInTheTopRightCorner();
    void facesVary();
};

void IdleWindowTest::fadesInAndOutOnKeyOrClick_data()
{
    QTest::addColumn<Wake>("how");
    QTest::addColumn<int>("fadeInTicks");
    QTest::addColumn<int>("alphaBeforeWaking");
    QTest::newRow("key after the fade-in") << Wake::Key << 13 << 255;
    QTest::newRow("click after the fade-in") << Wake::Click << 20 << 255;
    QTest::newRow("key during the fade-in") << Wake::Key << 3 << 60;
    QTest::newRow("click during the fade-in") << Wake::Click << 12 << 240;
}

void IdleWindowTest::fadesInAndOutOnKeyOrClick()
{
    QFETCH(Wake, how);
    QFETCH(int, fadeInTicks);
    QFETCH(int, alphaBeforeWaking);
    QuizFixture quiz;
    passIdleSeconds(quiz);

    TForm3 *form = startStepping(quiz);
    QVERIFY(form->isVisible());
    QCOMPARE(form->geometry(), quiz.main->screen()->geometry());
    QCOMPARE(form->windowOpacity(), 0.0);
    QVERIFY(pointerHidden());

    tick(form, fadeInTicks);
    QCOMPARE(form->alpha(), alphaBeforeWaking);
    QCOMPARE(form->windowOpacity(), alphaBeforeWaking / 255.0);

    wake(form, how);
    QCOMPARE(form->alpha(), 255);
    tick(form, 12);
    QVERIFY(form->isVisible());
    QCOMPARE(form->alpha(), 15);
    QVERIFY(pointerHidden());
    tick(form, 1);
    QVERIFY(!form->isVisible());
    QCOMPARE(form->alpha(), 0);
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(testutil::idleTicks(quiz.main), 0);
}

void IdleWindowTest::keepsItsDrawingOnARepaint()
{
    QuizFixture quiz;
    TForm3 *form = startStepping(quiz);
    tick(form, 2000);
    const QImage drawn = form->canvas();
    QVERIFY(drawn != blackImage(drawn));
    // A repaint, as when another window has passed over it, shows what was drawn.
    QCOMPARE(form->grab().toImage().convertToFormat(drawn.format()), drawn);

    wake(form, Wake::Click);
    tick(form, 13);
    QVERIFY(!form->isVisible());
}

void IdleWindowTest::drawsNothingWithoutChosenLessons()
{
    QuizFixture quiz;
    testutil::control<LessonListBox>(quiz.options, "ListBox1")->clearSelection();
    quiz.options->CountSelectedWords();
    TForm3 *form = startStepping(quiz);
    tick(form, 2000);
    QCOMPARE(form->canvas(), blackImage(form->canvas()));
    wake(form, Wake::Key);
    tick(form, 13);
    QVERIFY(!form->isVisible());
}

void IdleWindowTest::endsAlsoOverAnOpenDialog()
{
    QuizFixture quiz;
    auto *form = findWindow<TForm3>(QStringLiteral("Form3"));
    bool ended = false;
    ModalAnswer answer([&](QWidget *dialog) {
        form->startAnimation(quiz.main->screen());
        testutil::control<QTimer>(form, "Timer1")->stop();
        wake(form, Wake::Key);
        tick(form, 13);
        ended = !form->isVisible();
        static_cast<QDialog *>(dialog)->reject();
    });
    quiz.trigger("N8");
    QVERIFY(!answer.failed());
    QVERIFY(ended);
}

void IdleWindowTest::endsHoweverTheWindowGoesAway_data()
{
    QTest::addColumn<Away>("away");
    QTest::addColumn<int>("ticksBefore");
    // A window manager's close is what Alt+F4 and the title bar's button amount to.
    QTest::newRow("window manager, fading in") << Away::WindowManagerClose << 3;
    QTest::newRow("window manager, at full opacity") << Away::WindowManagerClose << 20;
    QTest::newRow("close()") << Away::Close << 20;
    QTest::newRow("hide()") << Away::Hide << 5;
}

void IdleWindowTest::endsHoweverTheWindowGoesAway()
{
    QFETCH(Away, away);
    QFETCH(int, ticksBefore);
    QuizFixture quiz;
    passIdleSeconds(quiz);
    auto *form = findWindow<TForm3>(QStringLiteral("Form3"));
    QSignalSpy ended(form, &TForm3::animationEnded);

    for (int run = 0; run < 2; ++run) {
        form->startAnimation(quiz.main->screen());
        QVERIFY(form->isVisible());
        QVERIFY(testutil::control<QTimer>(form, "Timer1")->isActive());
        QVERIFY(pointerHidden());
        tick(form, ticksBefore);

        switch (away) {
        case Away::WindowManagerClose:
            QVERIFY(form->windowHandle()->close());
            break;
        case Away::Close:
            QVERIFY(form->close());
            break;
        case Away::Hide:
            form->hide();
            break;
        }
        QVERIFY(!form->isVisible());
        QVERIFY(!testutil::control<QTimer>(form, "Timer1")->isActive());
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(testutil::idleTicks(quiz.main), 0);
        QCOMPARE(ended.size(), run + 1);
    }

    // And it comes back as before, ending on a key.
    form->startAnimation(quiz.main->screen());
    QVERIFY(testutil::control<QTimer>(form, "Timer1")->isActive());
    QVERIFY(pointerHidden());
    wake(form, Wake::Key);
    QTRY_VERIFY(!form->isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(ended.size(), 3);
}

void IdleWindowTest::startsAfterFiveIdleMinutes()
{
    QuizFixture quiz;
    QScreen *screen = quiz.main->screen();
    QCursor::setPos(screen, screen->geometry().center());
    auto *form = findWindow<TForm3>(QStringLiteral("Form3"));
    ShowWatcher watcher(form, quiz.main);
    // Five minutes of seconds, run as milliseconds; typing does not count as a sign of life.
    testutil::control<QTimer>(quiz.main, "Timer2")->setInterval(1);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(quiz.main->windowHandle(), Qt::Key_A);
    QTRY_VERIFY_WITH_TIMEOUT(form->isVisible(), 30000);
    QCOMPARE(watcher.idleTicksAtShow, wordlark::IdleTicksBeforeAnimation);
    QVERIFY(pointerHidden());

    wake(form, Wake::Click);
    QTRY_VERIFY(!form->isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void IdleWindowTest::startsAtOnceWithThePointerInTheTopRightCorner()
{
    QuizFixture quiz;
    QScreen *screen = quiz.main->screen();
    const QPoint corner(screen->geometry().right(), screen->geometry().top());
    QCursor::setPos(screen, corner);
    if (QCursor::pos(screen) != corner)
        QSKIP("This platform does not let a test place the pointer");
    auto *form = findWindow<TForm3>(QStringLiteral("Form3"));
    // Within a tick of the idle timer, whatever the idle counter.
    QTRY_VERIFY_WITH_TIMEOUT(form->isVisible(), 2500);
    QVERIFY(testutil::idleTicks(quiz.main) < wordlark::IdleTicksBeforeAnimation);
    QVERIFY(testutil::control<QTimer>(form, "Timer1")->isActive());
    QTRY_COMPARE(form->alpha(), 255);

    // Away from the corner, or the next idle tick starts the animation again.
    QCursor::setPos(screen, screen->geometry().center());
    wake(form, Wake::Key);
    QTRY_VERIFY(!form->isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(testutil::idleTicks(quiz.main) <= 1);
}

void IdleWindowTest::facesVary()
{
    wordlark::installFontSubstitutions();
    wordlark::installAnimationFontSubstitutions();
    QSet<QString> faces;
    for (const char *family : wordlark::AnimationFontFamilies) {
        const QFont font(QString::fromLatin1(family));
        QVERIFY2(QRawFont::fromFont(font).supportsCharacter(U'学'), family);
        faces.insert(QFontInfo(font).family());
    }
    QVERIFY2(faces.size() >= 5, qPrintable(faces.values().join(u", ")));
}

QTEST_MAIN(IdleWindowTest)
#include "tst_idlewindow.moc"
