// Start-up, dictionary loading and changing, the lesson dialog, help and About, with the whole program
// running headless in this process.

#include "badinput.h"
#include "guitestutil.h"

#include "app/mainunit.h"
#include "app/startup.h"
#include "app/unit1.h"
#include "dictionary/unit4.h"
#include "quiz/candidates.h"
#include "ui/helptext.h"
#include "ui/unithelp.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTranslator>

#include <memory>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using testutil::findWindow;
using testutil::ModalAnswer;
using testutil::ProgramFolder;
using testutil::RunningProgram;

namespace {

QByteArray dictionaryLine(const QString &pinyin, const QString &simplified, const QString &full,
                          const QString &lesson, const QString &translation)
{
    const QString sep = QStringLiteral("\t*\t");
    return (pinyin + sep + simplified + sep + full + sep + lesson + sep + translation +
            QStringLiteral("\r\n"))
        .toUtf8();
}

// Three lessons, in the order 3, 1, 2, of 2, 3 and 1 words.
QByteArray smallDictionary()
{
    return QByteArray("\xEF\xBB\xBF") +
           dictionaryLine(QStringLiteral("tāmen"), QStringLiteral("他们"), QStringLiteral("他們"),
                          QStringLiteral("3"), QStringLiteral("они")) +
           dictionaryLine(QStringLiteral("wǒmen"), QStringLiteral("我们"), QStringLiteral("我們"),
                          QStringLiteral("3"), QStringLiteral("мы")) +
           dictionaryLine(QStringLiteral("hǎo"), QStringLiteral("好"), QString(), QStringLiteral("1"),
                          QStringLiteral("\"хорошо; хороший\"")) +
           dictionaryLine(QStringLiteral("nǐ"), QStringLiteral("你"), QString(), QStringLiteral("1"),
                          QStringLiteral("ты")) +
           dictionaryLine(QStringLiteral("wǒ"), QStringLiteral("我"), QString(), QStringLiteral("1"),
                          QStringLiteral("я")) +
           dictionaryLine(QStringLiteral("ma"), QStringLiteral("吗"), QStringLiteral("嗎"),
                          QStringLiteral("2"), QStringLiteral("вопросительная частица"));
}

QStringList listEntries(const QListWidget *list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries.append(list->item(i)->text());
    return entries;
}

int selectedCount(const QListWidget *list)
{
    return int(list->selectedItems().size());
}

template <typename T> T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QString::fromLatin1(name));
}

void waitForMainWindow()
{
    QTRY_VERIFY_WITH_TIMEOUT(
        findWindow(QStringLiteral("MainForm")) && findWindow(QStringLiteral("MainForm"))->isVisible(), 10000);
}

// Starts the program where the dictionary file cannot be read: the learner is told, once, and gets the
// built-in dictionary.
void startWithTheBuiltInDictionary(std::unique_ptr<RunningProgram> &program)
{
    QString message;
    ModalAnswer answer([&message](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            message = box->text();
        testutil::acceptDialog(modal);
    });
    program = std::make_unique<RunningProgram>();
    waitForMainWindow();
    QVERIFY(!answer.failed());
    QCOMPARE(message, QStringLiteral("Dictionary file not found. Now default dictionary will loading."));
}

// Starts the program, answers the help file's message, and returns its text once the quiz is on screen.
QString helpFileMessage(std::unique_ptr<RunningProgram> &program)
{
    QString message;
    ModalAnswer answer([&message](QWidget *modal) {
        if (modal->objectName() == u"HelpFileError")
            message = qobject_cast<QMessageBox *>(modal)->text();
        testutil::acceptDialog(modal);
    });
    program = std::make_unique<RunningProgram>();
    waitForMainWindow();
    return message;
}

} // namespace

class StartupTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // First, while no test has run the program yet.
    void qtTranslationIsLoadedOnceAndOptional();
    void createsAllWindowsAndShowsTheSplashFirst();
    void splashIsDraggedWithAnyButton_data();
    void splashIsDraggedWithAnyButton();
    void loadsTheDictionaryFileAndShowsTheMainWindow();
    void missingDictionaryFallsBackToTheBuiltInOne();
    void brokenDictionaryBytesLoadWithoutFault();
    void nonRegularDictionaryFallsBackToTheBuiltInOne_data();
    void nonRegularDictionaryFallsBackToTheBuiltInOne();
    void emptyDictionaryIsExplained_data();
    void emptyDictionaryIsExplained();
    void changesTheDictionaryThroughTheFileDialog();
    void changingToAFifoFallsBackToTheBuiltInOne();
    void cancellingTheDictionaryDialogChangesNothing();
    void lessonDialogShowsItsDefaults_data();
    void lessonDialogShowsItsDefaults();
    void helpAndAboutOpenCentredAndClose();
    void missingHelpFileIsReportedAndTheProgramGoesOn();
    void splashIsOnScreenBeforeTheSchemeFileMessage();
    void unreadableHelpFileIsReportedAndTheProgramGoesOn_data();
    void unreadableHelpFileIsReportedAndTheProgramGoesOn();
    void helpShowsAVeryLongLineCut();
    void helpTextIsCut_data();
    void helpTextIsCut();
    void hugeDictionaryFallsBackToTheBuiltInOne();
    void closingTheMainWindowClosesTheSplash();
    void testsLeaveTheRealHomeAlone();
};

void StartupTest::qtTranslationIsLoadedOnceAndOptional()
{
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    const auto loaded = [] { return QCoreApplication::instance()->findChildren<QTranslator *>().size(); };
    if (cancel() != u"Cancel")
        QSKIP("Qt's translation is already loaded in this process");

    // Missing or broken: Qt's texts stay English, and nothing else happens.
    QTemporaryDir missing;
    QVERIFY(!installQtTranslation(missing.path()));
    QTemporaryDir broken;
    QFile garbage(QDir(broken.path()).filePath(QStringLiteral("qtbase_ru.qm")));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a translation");
    garbage.close();
    QVERIFY(!installQtTranslation(broken.path()));
    QCOMPARE(cancel(), QStringLiteral("Cancel"));
    QCOMPARE(loaded(), 0);

    // The program loads it as it starts, once however often it is started in one process.
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    for (int start = 0; start < 2; ++start) {
        RunningProgram program;
        QCOMPARE(cancel(), QStringLiteral("Отмена"));
        QCOMPARE(loaded(), 1);
    }
    QVERIFY(installQtTranslation(missing.path()));
    QCOMPARE(loaded(), 1);
}

void StartupTest::createsAllWindowsAndShowsTheSplashFirst()
{
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    // The program's own delay: the splash stays a second before the load.
    RunningProgram program(std::chrono::seconds(1));

    for (const char *name : {"Form1", "MainForm", "FormStat", "Form3", "LessonOptions", "FormFuxi",
                             "AboutForm", "FormHelp", "FormThems"})
        QVERIFY2(findWindow(QString::fromLatin1(name)), name);

    auto *splash = findWindow<TForm1>(QStringLiteral("Form1"));
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->size(), QSize(459, 459));
    QVERIFY(testutil::control<QTimer>(splash, "Timer1")->isActive());
    QCOMPARE(testutil::control<QTimer>(splash, "Timer1")->interval(), 1000);
    QVERIFY(!testutil::control<QLabel>(splash, "Label1")->isVisible());
    QVERIFY(!testutil::control<QProgressBar>(splash, "ProgressBar1")->isVisible());
    QCOMPARE(splash->DictionaryPath(), QStringLiteral("Dictionary/Dict.dic"));
    QVERIFY(!findWindow(QStringLiteral("MainForm"))->isVisible());
    QVERIFY(!testutil::control<QLabel>(splash, "Image1")->pixmap().isNull());
}

void StartupTest::splashIsDraggedWithAnyButton_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("pressedAt");
    QTest::newRow("left on the picture") << Qt::LeftButton << QPoint(229, 100);
    QTest::newRow("right on the picture") << Qt::RightButton << QPoint(150, 300);
    QTest::newRow("middle on the progress bar") << Qt::MiddleButton << QPoint(100, 230);
}

void StartupTest::splashIsDraggedWithAnyButton()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, pressedAt);
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    RunningProgram program;
    auto *splash = findWindow<TForm1>(QStringLiteral("Form1"));
    testutil::control<QTimer>(splash, "Timer1")->stop();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    const QPoint start = splash->pos();
    QTest::mousePress(splash, button, {}, pressedAt);
    QTest::mouseMove(splash, pressedAt + QPoint(30, 20));
    QTRY_COMPARE(splash->pos(), start + QPoint(30, 20));
    QTest::mouseRelease(splash, button, {}, pressedAt + QPoint(30, 20));
    QTest::mouseMove(splash, pressedAt + QPoint(60, 60));
    QCOMPARE(splash->pos(), start + QPoint(30, 20));
}

void StartupTest::loadsTheDictionaryFileAndShowsTheMainWindow()
{
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    RunningProgram program;
    waitForMainWindow();

    auto *splash = findWindow<TForm1>(QStringLiteral("Form1"));
    auto *mainForm = findWindow<TMainForm>(QStringLiteral("MainForm"));
    auto *options = findWindow<TLessonOptions>(QStringLiteral("LessonOptions"));
    QVERIFY(!splash->isVisible());
    QCOMPARE(testutil::control<QLabel>(splash, "Label1")->text(), QStringLiteral("Please, wait..."));
    QCOMPARE(testutil::control<QProgressBar>(splash, "ProgressBar1")->maximum(), 6);
    QCOMPARE(mainForm->windowTitle(), QStringLiteral("Wordlark"));
    QCOMPARE(mainForm->size(), QSize(800, 570));
    QVERIFY(!(mainForm->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(mainForm->minimumSize(), mainForm->maximumSize());
    QVERIFY(testutil::control<QTimer>(mainForm, "Timer2")->isActive());

    QCOMPARE(mainForm->TotalWordCount(), 6);
    QCOMPARE(mainForm->wordTable().cell(3, 0), QStringLiteral("03"));
    QCOMPARE(mainForm->wordTable().cell(4, 2), QStringLiteral("хорошо; хороший"));
    QCOMPARE(listEntries(testutil::control<LessonListBox>(options, "ListBox1")),
             (QStringList{QStringLiteral("03"), QStringLiteral("01"), QStringLiteral("02")}));
    QCOMPARE(selectedCount(testutil::control<LessonListBox>(options, "ListBox1")), 3);
    QCOMPARE(testutil::control<QLabel>(options, "Label3")->text(), QStringLiteral("Всего слов: 6"));
    QCOMPARE(child<QLabel>(mainForm, "LabelMis")->text(), QStringLiteral("Ошибок: 0"));
    QVERIFY(child<QLabel>(mainForm, "LabelRemained")->text().startsWith(QStringLiteral(" Осталось слов: ")));

    const QStringList menus = {QStringLiteral("Урок"), QStringLiteral("Словарь"), QStringLiteral("Настройки"),
                               QStringLiteral("Помощь")};
    for (const char *name : {"N20", "N4", "N5", "N6", "N3", "N16", "N8", "N13", "N11", "N12"})
        QVERIFY2(mainForm->findChild<QAction *>(QString::fromLatin1(name)), name);
    QCOMPARE(mainForm->findChild<QAction *>(QStringLiteral("N16"))->text(), QStringLiteral("Статистика"));
}

void StartupTest::missingDictionaryFallsBackToTheBuiltInOne()
{
    ProgramFolder folder;
    std::unique_ptr<RunningProgram> program;
    startWithTheBuiltInDictionary(program);
    if (QTest::currentTestFailed())
        return;

    auto *mainForm = findWindow<TMainForm>(QStringLiteral("MainForm"));
    auto *options = findWindow<TLessonOptions>(QStringLiteral("LessonOptions"));
    QFile builtIn(QStringLiteral(":/dictionary/Dict.dic"));
    QVERIFY(builtIn.open(QIODevice::ReadOnly));
    const int builtInLines = int(builtIn.readAll().count('\n'));
    QCOMPARE(mainForm->TotalWordCount(), builtInLines);
    QCOMPARE(testutil::control<LessonListBox>(options, "ListBox1")->item(0)->text(), QStringLiteral("01"));
    QCOMPARE(selectedCount(testutil::control<LessonListBox>(options, "ListBox1")),
             testutil::control<LessonListBox>(options, "ListBox1")->count());
    // The path that failed is kept.
    QCOMPARE(findWindow<TForm1>(QStringLiteral("Form1"))->DictionaryPath(),
             QStringLiteral("Dictionary/Dict.dic"));
}

void StartupTest::brokenDictionaryBytesLoadWithoutFault()
{
    ProgramFolder folder;
    // Invalid UTF-8, NUL bytes, a stray CR and a line without separators: read as code page 1251.
    static const char bytes[] = "a\t*\t\xff\xfe\x00\x01\t*\r\nno separators here\n\x80\x81\t*\t*\t*\t*\t*\t*";
    folder.write(QStringLiteral("Dictionary/Dict.dic"), QByteArray(bytes, sizeof bytes - 1));
    RunningProgram program;
    waitForMainWindow();
    auto *mainForm = findWindow<TMainForm>(QStringLiteral("MainForm"));
    QCOMPARE(mainForm->TotalWordCount(), 3);
}

void StartupTest::nonRegularDictionaryFallsBackToTheBuiltInOne_data()
{
    QTest::addColumn<QString>("kind");

    QTest::newRow("FIFO") << QStringLiteral("fifo");
    QTest::newRow("link to an endless device") << QStringLiteral("zero");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("unreadable file") << QStringLiteral("unreadable");
}

// A FIFO would block the load with the splash on screen, a device would be read until memory runs out:
// anything but a readable regular file is treated as a missing one.
void StartupTest::nonRegularDictionaryFallsBackToTheBuiltInOne()
{
    QFETCH(QString, kind);
    ProgramFolder folder;
    const QString path = folder.path(QStringLiteral("Dictionary/Dict.dic"));
    if (kind == u"fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == u"zero") {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (kind == u"folder") {
        QVERIFY(QDir().mkpath(path));
    } else {
        folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    }
    std::unique_ptr<RunningProgram> program;
    {
        // Root would read the unreadable file all the same.
        const testutil::WithoutReadOverride notRoot;
        startWithTheBuiltInDictionary(program);
    }
    if (QTest::currentTestFailed())
        return;
    auto *options = findWindow<TLessonOptions>(QStringLiteral("LessonOptions"));
    QCOMPARE(testutil::control<LessonListBox>(options, "ListBox1")->count(), 50);
    QCOMPARE(testutil::control<QLabel>(options, "Label3")->text(), QStringLiteral("Всего слов: 1400"));
}

void StartupTest::emptyDictionaryIsExplained_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("byte-order mark only") << QByteArray("\xEF\xBB\xBF");
}

void StartupTest::emptyDictionaryIsExplained()
{
    QFETCH(QByteArray, bytes);
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), bytes);
    testutil::ModalScript script(testutil::acceptDialog);
    RunningProgram program;
    waitForMainWindow();
    auto *mainForm = findWindow<TMainForm>(QStringLiteral("MainForm"));
    QCOMPARE(mainForm->TotalWordCount(), 0);
    QTRY_COMPARE(script.names(), QStringList{QStringLiteral("EmptyDictionaryMessage")});
    QVERIFY(!script.failed());
    QCOMPARE(script.seen().constFirst().text,
             QStringLiteral("В словаре нет ни одного слова. Выберите другой словарь: Словарь → Сменить."));
    // The quiz screen stays usable and says what to do.
    QVERIFY(mainForm->isVisible());
    QCOMPARE(testutil::control<QTextEdit>(mainForm, "TntRichEdit0")->toPlainText(),
             QStringLiteral("В словаре нет слов: Словарь → Сменить"));
    QVERIFY(mainForm->findChild<QAction *>(QStringLiteral("N3"))->isEnabled());
    QCOMPARE(child<QLabel>(mainForm, "LabelRemained")->text(), QStringLiteral(" Осталось слов: 0"));
}

void StartupTest::changesTheDictionaryThroughTheFileDialog()
{
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    folder.write(QStringLiteral("Dictionary/other.dic"),
                 QByteArray("\xEF\xBB\xBF") +
                     dictionaryLine(QStringLiteral("shū"), QStringLiteral("书"), QStringLiteral("書"),
                                    QStringLiteral("7"), QStringLiteral("книга")) +
                     dictionaryLine(QStringLiteral("bǐ"), QStringLiteral("笔"), QStringLiteral("筆"),
                                    QStringLiteral("8"), QStringLiteral("ручка")));
    RunningProgram program;
    waitForMainWindow();
    auto *mainForm = findWindow<TMainForm>(QStringLiteral("MainForm"));
    auto *options = findWindow<TLessonOptions>(QStringLiteral("LessonOptions"));

    ModalAnswer answer([](QWidget *modal) {
        auto *nameEdit = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(nameEdit);
        nameEdit->setText(QStringLiteral("other.dic"));
        QTest::keyClick(nameEdit, Qt::Key_Return);
    });
    mainForm->findChild<QAction *>(QStringLiteral("N3"))->trigger();
    QVERIFY(!answer.failed());
    QVERIFY(answer.answered());

    QVERIFY(mainForm->isVisible());
    QCOMPARE(findWindow<TForm1>(QStringLiteral("Form1"))->DictionaryPath(),
             folder.path(QStringLiteral("Dictionary/other.dic")));
    QCOMPARE(listEntries(testutil::control<LessonListBox>(options, "ListBox1")),
             (QStringList{QStringLiteral("07"), QStringLiteral("08")}));
    QCOMPARE(testutil::control<QLabel>(options, "Label3")->text(), QStringLiteral("Всего слов: 2"));
    QCOMPARE(child<QLabel>(mainForm, "LabelMis")->text(), QStringLiteral("Ошибок: 0"));
    QVERIFY(!findWindow(QStringLiteral("Form1"))->isVisible());
}

void StartupTest::changingToAFifoFallsBackToTheBuiltInOne()
{
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    QCOMPARE(mkfifo(QFile::encodeName(folder.path(QStringLiteral("Dictionary/pipe.dic"))).constData(), 0600),
             0);
    RunningProgram program;
    waitForMainWindow();
    auto *mainForm = findWindow<TMainForm>(QStringLiteral("MainForm"));
    auto *options = findWindow<TLessonOptions>(QStringLiteral("LessonOptions"));

    testutil::ModalScript script([](QWidget *modal) {
        if (auto *nameEdit = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
            nameEdit->setText(QStringLiteral("pipe.dic"));
            QTest::keyClick(nameEdit, Qt::Key_Return);
        } else {
            testutil::acceptDialog(modal);
        }
    });
    mainForm->findChild<QAction *>(QStringLiteral("N3"))->trigger();
    QVERIFY(!script.failed());
    QCOMPARE(script.seen().size(), qsizetype(2));
    QCOMPARE(script.seen().constLast().text,
             QStringLiteral("Dictionary file not found. Now default dictionary will loading."));
    QVERIFY(mainForm->isVisible());
    QCOMPARE(testutil::control<QLabel>(options, "Label3")->text(), QStringLiteral("Всего слов: 1400"));
    QCOMPARE(findWindow<TForm1>(QStringLiteral("Form1"))->DictionaryPath(),
             folder.path(QStringLiteral("Dictionary/pipe.dic")));
}

void StartupTest::cancellingTheDictionaryDialogChangesNothing()
{
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    RunningProgram program;
    waitForMainWindow();
    auto *mainForm = findWindow<TMainForm>(QStringLiteral("MainForm"));

    ModalAnswer answer([](QWidget *modal) { qobject_cast<QDialog *>(modal)->reject(); });
    mainForm->findChild<QAction *>(QStringLiteral("N3"))->trigger();
    QVERIFY(answer.answered());
    QVERIFY(mainForm->isVisible());
    QCOMPARE(mainForm->TotalWordCount(), 6);
    QCOMPARE(findWindow<TForm1>(QStringLiteral("Form1"))->DictionaryPath(),
             QStringLiteral("Dictionary/Dict.dic"));
}

void StartupTest::lessonDialogShowsItsDefaults_data()
{
    QTest::addColumn<bool>("withAudioFolder");
    QTest::addColumn<QString>("menuItem");
    QTest::newRow("no sound folder, Урок → Выбрать") << false << QStringLiteral("N20");
    QTest::newRow("sound folder, Настройки → Параметры урока") << true << QStringLiteral("N8");
}

void StartupTest::lessonDialogShowsItsDefaults()
{
    QFETCH(bool, withAudioFolder);
    QFETCH(QString, menuItem);
    ProgramFolder folder(withAudioFolder);
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    RunningProgram program;
    waitForMainWindow();
    auto *mainForm = findWindow<TMainForm>(QStringLiteral("MainForm"));
    auto *options = findWindow<TLessonOptions>(QStringLiteral("LessonOptions"));

    bool wasShown = false;
    ModalAnswer answer([&](QWidget *modal) {
        wasShown = modal == options;
        QTest::mouseClick(child<QPushButton>(options, "ButtonOptOK"), Qt::LeftButton);
    });
    mainForm->findChild<QAction *>(menuItem)->trigger();
    QVERIFY(wasShown);
    QVERIFY(!answer.failed());
    QVERIFY(!options->isVisible());

    QCOMPARE(options->windowTitle(), QStringLiteral("Параметры урока"));
    QCOMPARE(options->size(), QSize(417, 360));
    QCOMPARE(child<QGroupBox>(options, "GroupBox1")->title(), QStringLiteral("Вопрос"));
    QCOMPARE(child<QGroupBox>(options, "GroupBox2")->title(), QStringLiteral("Ответ"));
    const QStringList fieldCaptions = {QStringLiteral("Пиньинь"), QStringLiteral("Иерогл (прост)"),
                                       QStringLiteral("Иерогл (полн)"), QStringLiteral("Урок №"),
                                       QStringLiteral("Перевод")};
    const QList<bool> checkedByDefault = {false, false, false, false, true, true, true, false, false, false};
    for (int i = 0; i < 10; ++i) {
        auto *box = options->findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(i + 1));
        QVERIFY(box);
        QCOMPARE(box->text(), fieldCaptions[i % 5]);
        QCOMPARE(box->isChecked(), checkedByDefault[i]);
    }
    QCOMPARE(child<QLabel>(options, "Label6")->text(), QStringLiteral("Максимум ответов:"));
    auto *answers = child<QComboBox>(options, "ComboBox3");
    QCOMPARE(answers->count(), 11);
    QCOMPARE(answers->itemText(0), QStringLiteral("2"));
    QCOMPARE(answers->currentText(), QStringLiteral("8"));
    QCOMPARE(child<QGroupBox>(options, "RadioWordsFrom")->title(), QStringLiteral("Добавлять слова из"));
    QCOMPARE(child<QRadioButton>(options, "RadioWordsFrom0")->text(), QStringLiteral("выделенных уроков"));
    QVERIFY(child<QRadioButton>(options, "RadioWordsFrom1")->isChecked());
    QCOMPARE(child<QLabel>(options, "Label1")->text(), QStringLiteral("Выбор уроков"));
    QCOMPARE(child<QLabel>(options, "Label3")->text(), QStringLiteral("Всего слов: 6"));
    QCOMPARE(child<QCheckBox>(options, "CheckShowBut")->text(), QStringLiteral("Скрыть ответы"));
    QVERIFY(!child<QCheckBox>(options, "CheckShowBut")->isChecked());
    QVERIFY(!child<QCheckBox>(options, "CoolGirl")->isEnabled());
    QVERIFY(!child<QCheckBox>(options, "CheckBoxMask")->isEnabled());
    auto *sound = child<QCheckBox>(options, "CheckBoxSound");
    QCOMPARE(sound->text(), QStringLiteral("Звук"));
    QCOMPARE(sound->isChecked(), withAudioFolder);
    QCOMPARE(sound->isEnabled(), withAudioFolder);
    QCOMPARE(child<QPushButton>(options, "ButtonOptOK")->text(), QStringLiteral("Закрыть"));
}

void StartupTest::helpAndAboutOpenCentredAndClose()
{
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    RunningProgram program;
    waitForMainWindow();
    auto *mainForm = findWindow<TMainForm>(QStringLiteral("MainForm"));
    auto *help = findWindow<TFormHelp>(QStringLiteral("FormHelp"));

    QVERIFY(
        testutil::control<QPlainTextEdit>(help, "Memo1")->toPlainText().contains(QStringLiteral("Wordlark")));
    QVERIFY(testutil::control<QPlainTextEdit>(help, "Memo2")
                ->toPlainText()
                .contains(QStringLiteral("Tab * Tab")));
    QCOMPARE(testutil::control<QTabWidget>(help, "PageControl1")->currentIndex(), 0);
    QCOMPARE(help->windowTitle(), QStringLiteral("Help"));

    for (const char *item : {"N11", "N12"}) {
        QRect shownAt;
        ModalAnswer answer([&shownAt](QWidget *modal) {
            shownAt = modal->geometry();
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
        });
        mainForm->findChild<QAction *>(QString::fromLatin1(item))->trigger();
        QVERIFY2(answer.answered() && !answer.failed(), item);
        const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
        QVERIFY2((shownAt.center() - screenCentre).manhattanLength() <= 4,
                 qPrintable(QStringLiteral("%1: %2,%3 vs %4,%5")
                                .arg(QString::fromLatin1(item))
                                .arg(shownAt.center().x())
                                .arg(shownAt.center().y())
                                .arg(screenCentre.x())
                                .arg(screenCentre.y())));
    }
}

void StartupTest::missingHelpFileIsReportedAndTheProgramGoesOn()
{
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    QFile::remove(folder.path(QStringLiteral("Help/Readme.txt")));
    std::unique_ptr<RunningProgram> program;
    const QString message = helpFileMessage(program);

    QVERIFY(message.startsWith(QStringLiteral("Cannot open file \"")));
    QVERIFY(message.contains(QStringLiteral("Readme.txt")));

    auto *help = findWindow<TFormHelp>(QStringLiteral("FormHelp"));
    QCOMPARE(testutil::control<QPlainTextEdit>(help, "Memo1")->toPlainText(), QStringLiteral("Memo1"));
    QCOMPARE(testutil::control<QPlainTextEdit>(help, "Memo2")->toPlainText(), QStringLiteral("Memo2"));
    waitForMainWindow();
}

// The first thing the learner sees is the splash, also when a window made after it has something to say.
void StartupTest::splashIsOnScreenBeforeTheSchemeFileMessage()
{
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    QVERIFY(QFile::remove(folder.path(QStringLiteral("Data/data1.dat"))));
    QString message;
    bool splashOnScreen = false;
    ModalAnswer answer([&](QWidget *modal) {
        message = modal->objectName();
        const auto *splash = findWindow<TForm1>(QStringLiteral("Form1"));
        // Shown, and alone: the main window is not up yet.
        splashOnScreen =
            splash && splash->isVisible() && !findWindow(QStringLiteral("MainForm"))->isVisible();
        testutil::acceptDialog(modal);
    });
    // The program's own delay, so that the message comes up while the splash waits.
    RunningProgram program(std::chrono::seconds(1));
    QTRY_VERIFY(answer.answered());
    QVERIFY(!answer.failed());
    QCOMPARE(message, QStringLiteral("SchemeFileError"));
    QVERIFY(splashOnScreen);

    // The load step still comes a second after the start, and the program goes on without schemes.
    auto *splash = findWindow<TForm1>(QStringLiteral("Form1"));
    QVERIFY(testutil::control<QTimer>(splash, "Timer1")->isActive());
    QCOMPARE(testutil::control<QTimer>(splash, "Timer1")->interval(), 1000);
    waitForMainWindow();
    QCOMPARE(findWindow<TMainForm>(QStringLiteral("MainForm"))->TotalWordCount(), 6);
}

void StartupTest::unreadableHelpFileIsReportedAndTheProgramGoesOn_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<testutil::Entry>("entry");
    QTest::addColumn<QString>("reason");
    using testutil::Entry;
    for (const char *file : {"Help/Readme.txt", "Help/Dict_readme.txt"}) {
        const auto row = [file](const char *what, Entry entry, const QString &reason) {
            QTest::addRow("%s as %s", file, what) << QString::fromLatin1(file) << entry << reason;
        };
        // Each of these once hung the start, crashed it or was read as a help text.
        row("FIFO", Entry::Fifo, QStringLiteral("Not a regular file"));
        row("folder", Entry::Folder, QStringLiteral("Is a directory"));
        row("link to /dev/zero", Entry::LinkToDevice, QStringLiteral("Not a regular file"));
        row("file no one may read", Entry::Unreadable, QStringLiteral("Permission denied"));
        row("20 GB file", Entry::Huge, QStringLiteral("File too large"));
    }
}

// Whatever stands where a help file should be, the start goes on and the help says it could not open it.
void StartupTest::unreadableHelpFileIsReportedAndTheProgramGoesOn()
{
    QFETCH(QString, file);
    QFETCH(testutil::Entry, entry);
    QFETCH(QString, reason);
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    const QString path = folder.path(file);
    QVERIFY(QFile::remove(path));
    QVERIFY(testutil::makeEntry(entry, path, "Справка"));

    std::unique_ptr<RunningProgram> program;
    QString message;
    {
        const testutil::FifoDeadline deadline(path);
        const testutil::WithoutReadOverride notRoot;
        message = helpFileMessage(program);
        QVERIFY2(!deadline.fired(), "the start waited for a writer of the FIFO");
    }
    // The system's reason comes in the language of Qt's own texts, which the running program has loaded.
    const QString shownReason = QCoreApplication::translate("QIODevice", reason.toUtf8().constData());
    QCOMPARE(message, QStringLiteral("Cannot open file \"%1\". %2").arg(path, shownReason));

    auto *help = findWindow<TFormHelp>(QStringLiteral("FormHelp"));
    const bool first = file == u"Help/Readme.txt";
    QCOMPARE(testutil::control<QPlainTextEdit>(help, "Memo1")->toPlainText() == QStringLiteral("Memo1"),
             first);
    QCOMPARE(testutil::control<QPlainTextEdit>(help, "Memo2")->toPlainText(), QStringLiteral("Memo2"));
}

// One line of megabytes is shown cut, as a long field is in the quiz, so the help window shows at once.
void StartupTest::helpShowsAVeryLongLineCut()
{
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    folder.write(QStringLiteral("Help/Readme.txt"), "Wordlark\r\n" + QByteArray(10 << 20, 'x') + "\r\nend");
    RunningProgram program;
    waitForMainWindow();
    auto *help = findWindow<TFormHelp>(QStringLiteral("FormHelp"));
    QCOMPARE(testutil::control<QPlainTextEdit>(help, "Memo1")->toPlainText(),
             QStringLiteral("Wordlark\n") + QString(wordlark::MaxShownFieldLength, u'x') +
                 QStringLiteral("…\nend"));

    auto *mainForm = findWindow<TMainForm>(QStringLiteral("MainForm"));
    ModalAnswer answer([](QWidget *modal) {
        QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    });
    mainForm->findChild<QAction *>(QStringLiteral("N12"))->trigger();
    QVERIFY(answer.answered());
    QVERIFY(!answer.failed());
}

void StartupTest::helpTextIsCut_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    const qsizetype most = wordlark::MaxHelpLines;
    const QString lineOfA = QStringLiteral("a\n").repeated(most).chopped(1);

    QTest::newRow("lines as they are") << QByteArray("a\r\nb\nc\rd") << QStringLiteral("a\nb\nc\nd");
    QTest::newRow("a final break adds no line") << QByteArray("a\r\n\r\n") << QStringLiteral("a\n");
    QTest::newRow("code page 1251") << QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2") << QStringLiteral("Привет");
    QTest::newRow("a line of 5,000 characters")
        << QByteArray(5000, 'x') << QString(wordlark::MaxShownFieldLength, u'x') + u'…';
    QTest::newRow("exactly the most lines") << QByteArray("a\n").repeated(most) << lineOfA;
    QTest::newRow("one line more") << QByteArray("a\n").repeated(most) + "b"
                                   << lineOfA + QStringLiteral("\n…");
    QTest::newRow("a million empty lines")
        << QByteArray(1000000, '\n') << QString(most - 1, u'\n') + QStringLiteral("\n…");
}

// Every line the window would have to set up costs it time: it gets what a learner can read.
void StartupTest::helpTextIsCut()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QCOMPARE(wordlark::helpText(bytes), shown);
}

// A file far larger than any dictionary is refused before it is read, like one that is missing.
void StartupTest::hugeDictionaryFallsBackToTheBuiltInOne()
{
    ProgramFolder folder;
    QVERIFY(
        testutil::makeEntry(testutil::Entry::Huge, folder.path(QStringLiteral("Dictionary/Dict.dic")), {}));
    std::unique_ptr<RunningProgram> program;
    startWithTheBuiltInDictionary(program);
    if (QTest::currentTestFailed())
        return;
    auto *options = findWindow<TLessonOptions>(QStringLiteral("LessonOptions"));
    QCOMPARE(testutil::control<QLabel>(options, "Label3")->text(), QStringLiteral("Всего слов: 1400"));
}

void StartupTest::closingTheMainWindowClosesTheSplash()
{
    ProgramFolder folder;
    folder.write(QStringLiteral("Dictionary/Dict.dic"), smallDictionary());
    RunningProgram program;
    waitForMainWindow();
    auto *mainForm = findWindow<TMainForm>(QStringLiteral("MainForm"));
    mainForm->findChild<QAction *>(QStringLiteral("N6"))->trigger();
    QVERIFY(!mainForm->isVisible());
    QVERIFY(!findWindow(QStringLiteral("Form1"))->isVisible());
}

// The file dialogs keep their history in the user's configuration: a test run must write it elsewhere.
void StartupTest::testsLeaveTheRealHomeAlone()
{
    const passwd *account = getpwuid(getuid());
    QVERIFY(account);
    const QString realHome = QFile::decodeName(account->pw_dir);
    QVERIFY(QDir::homePath() != realHome);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QVERIFY2(!config.startsWith(realHome + u'/'), qPrintable(config));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
