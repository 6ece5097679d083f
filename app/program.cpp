#include "app/program.h"

#include "app/mainunit.h"
#include "app/startup.h"
#include "app/unit1.h"
#include "app/windows.h"
#include "dictionary/unit4.h"
#include "journal/journalkeeper.h"
#include "journal/unitprogress.h"
#include "progress/unit2.h"
#include "progress/unitfuxi.h"
#include "ui/fonts.h"
#include "ui/unit3.h"
#include "ui/unitabout.h"
#include "ui/unithelp.h"
#include "ui/unitthems.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

ProgramWindows &programWindows()
{
    static ProgramWindows windows;
    return windows;
}

// The lesson dialog reports; the main window decides what its screen does about it.
void connectLessonOptions(TLessonOptions &options, TMainForm &mainForm)
{
    QObject::connect(&options, &TLessonOptions::lessonsCounted, &mainForm, &TMainForm::lessonsCounted);
    QObject::connect(&options, &TLessonOptions::lessonChoiceChanged, &mainForm,
                     &TMainForm::lessonChoiceChanged);
    QObject::connect(&options, &TLessonOptions::answersHidden, &mainForm, &TMainForm::coverAnswers);
    QObject::connect(&options, &TLessonOptions::keyboardPanelTicked, &mainForm,
                     &TMainForm::showKeyboardPanel);
    QObject::connect(&options, &TLessonOptions::maskTicked, &mainForm, &TMainForm::showMask);
}

void showJournalMessage(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Журнал"), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("JournalMessage"));
    box.exec();
}

bool askDeleteJournal(QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Журнал"),
                    QStringLiteral("Удалить журнал вместе со всей историей ответов?"),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("DeleteJournalQuestion"));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void showJournalState(const ProgramWindows &windows, const wordlark::JournalKeeper &keeper)
{
    windows.MainForm->showJournalState(keeper.isOn(), keeper.dueCount(windows.LessonOptions->lessons()));
}

// The journal follows the quiz through the main window's signals and answers its "Прогресс" menu. A
// journal that cannot be opened at start is reported once the quiz is on screen.
void connectJournal(const ProgramWindows &windows, wordlark::JournalKeeper &keeper,
                    const QString &startFailure)
{
    TMainForm *main = windows.MainForm;
    const auto refresh = [&windows, &keeper] { showJournalState(windows, keeper); };
    auto pendingFailure = std::make_shared<QString>(startFailure);
    QObject::connect(main, &TMainForm::quizStarted, &keeper, [main, &keeper, refresh, pendingFailure] {
        keeper.useDictionary(main->wordTable());
        refresh();
        if (!pendingFailure->isEmpty())
            QTimer::singleShot(0, main, [main, message = std::exchange(*pendingFailure, QString())] {
                showJournalMessage(main, message);
            });
    });
    QObject::connect(main, &TMainForm::questionAsked, &keeper, &wordlark::JournalKeeper::questionAsked);
    QObject::connect(main, &TMainForm::answerGiven, &keeper,
                     [&windows, &keeper](int word, bool right, bool typed) {
                         keeper.answerGiven(windows.MainForm->wordTable(), windows.Form1->DictionaryPath(),
                                            word, right, typed);
                     });
    QObject::connect(main, &TMainForm::passEnded, &keeper, [&keeper, refresh] {
        keeper.writeNow();
        refresh();
    });
    QObject::connect(main, &TMainForm::progressMenuOpening, &keeper, refresh);
    QObject::connect(windows.LessonOptions, &TLessonOptions::lessonChoiceChanged, &keeper, refresh);
    QObject::connect(main, &TMainForm::journalTicked, &keeper, [main, &keeper, refresh](bool kept) {
        if (kept) {
            if (const wordlark::Result<void> on = keeper.turnOn(); !on)
                showJournalMessage(main, on.error());
        } else if (askDeleteJournal(main)) {
            if (const wordlark::Result<void> off = keeper.turnOffAndDelete(); !off)
                showJournalMessage(main, off.error());
        }
        refresh();
    });
    QObject::connect(main, &TMainForm::progressAsked, &keeper, [&windows, &keeper] {
        keeper.writeNow();
        if (const wordlark::Journal *journal = keeper.journal())
            windows.FormProgress->ShowProgress(*journal, windows.MainForm->wordTable(),
                                               windows.LessonOptions->lessons(), keeper.now(),
                                               QDateTime::currentDateTime().offsetFromUtc());
    });
    QObject::connect(main, &TMainForm::dueReviewAsked, &keeper, [&windows, &keeper] {
        const std::vector<int> due = keeper.dueWords(windows.LessonOptions->lessons());
        windows.MainForm->startPassOver(QList<int>(due.begin(), due.end()));
    });
    QObject::connect(&keeper, &wordlark::JournalKeeper::stopped, main,
                     [main, refresh](const QString &message) {
                         refresh();
                         showJournalMessage(main, message);
                     });
}

} // namespace

wordlark::JournalKeeper *programJournal()
{
    return programWindows().Form1 ? programWindows().Form1->findChild<wordlark::JournalKeeper *>() : nullptr;
}

void createProgramWindows()
{
    wordlark::installFontSubstitutions();
    wordlark::installAnimationFontSubstitutions();
    setProgramIdentity();
    installQtTranslation();
    // Our own dialogs are widgets, never native ones, so they look alike everywhere and can be driven.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);

    ProgramWindows &windows = programWindows();
    windows = {};
    // The splash window is the program's main window: it owns every other window, and closing it ends
    // the program.
    windows.Form1 = new TForm1(windows);
    // Shown as soon as it is made, so that it is the first thing on screen, also under a message that a
    // window made after it gives (the colour dialog's missing scheme file).
    windows.Form1->show();
    windows.MainForm = new TMainForm(windows, windows.Form1);
    windows.FormStat = new TFormStat(windows.MainForm);
    windows.Form3 = new TForm3(windows, windows.MainForm);
    windows.LessonOptions = new TLessonOptions(windows.MainForm->wordTable(), windows.MainForm);
    windows.FormFuxi = new TFormFuxi(windows.MainForm);
    windows.AboutForm = new TAboutForm(windows.MainForm);
    windows.FormHelp = new TFormHelp(windows.MainForm);
    windows.FormThems = new TFormThems(windows, windows.MainForm);
    windows.FormProgress = new TFormProgress(windows.MainForm);

    connectLessonOptions(*windows.LessonOptions, *windows.MainForm);
    // The journal lives in the working folder, which start-up has made the current one.
    auto *journal = new wordlark::JournalKeeper(QDir::currentPath(), windows.Form1);
    const wordlark::Result<void> opened = journal->openIfPresent();
    connectJournal(windows, *journal, opened ? QString() : opened.error());
    // Moving the pointer over the statistics window keeps the idle animation away.
    QObject::connect(windows.FormStat, &TFormStat::learnerActive, windows.MainForm,
                     &TMainForm::resetIdleCounter);
    QObject::connect(windows.Form3, &TForm3::animationEnded, windows.MainForm, &TMainForm::resetIdleCounter);

    QObject::connect(qApp, &QCoreApplication::aboutToQuit, windows.Form1, &QObject::deleteLater);
    QObject::connect(windows.Form1, &QObject::destroyed, [] { programWindows() = {}; });

    windows.Form1->Timer1->start();
}

void ApplyUiTexts(const ProgramWindows &windows)
{
    if (windows.LessonOptions)
        windows.LessonOptions->applyUiTexts();
    if (windows.FormStat)
        windows.FormStat->applyUiTexts();
    if (windows.MainForm)
        windows.MainForm->applyUiTexts();
    if (windows.FormThems)
        windows.FormThems->applyUiTexts();
}
