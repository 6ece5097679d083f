#include "app/program.h"

#include "app/mainunit.h"
#include "app/startup.h"
#include "app/unit1.h"
#include "app/windows.h"
#include "dictionary/unit4.h"
#include "progress/unit2.h"
#include "progress/unitfuxi.h"
#include "ui/fonts.h"
#include "ui/unit3.h"
#include "ui/unitabout.h"
#include "ui/unithelp.h"
#include "ui/unitthems.h"

#include <QApplication>
#include <QTimer>

namespace {

std::chrono::milliseconds &splashDelay()
{
    static std::chrono::milliseconds delay{1000};
    return delay;
}

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

} // namespace

void createProgramWindows()
{
    wordlark::installFontSubstitutions();
    wordlark::installAnimationFontSubstitutions();
    setProgramIdentity();
    // Our own dialogs are widgets, never native ones, so they look alike everywhere and can be driven.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);

    ProgramWindows &windows = programWindows();
    windows = {};
    // The splash window is the program's main window: it owns every other window, and closing it ends
    // the program.
    windows.Form1 = new TForm1(windows);
    windows.MainForm = new TMainForm(windows, windows.Form1);
    windows.FormStat = new TFormStat(windows.MainForm);
    windows.Form3 = new TForm3(windows, windows.MainForm);
    windows.LessonOptions = new TLessonOptions(windows.MainForm->wordTable(), windows.MainForm);
    windows.FormFuxi = new TFormFuxi(windows.MainForm);
    windows.AboutForm = new TAboutForm(windows.MainForm);
    windows.FormHelp = new TFormHelp(windows.MainForm);
    windows.FormThems = new TFormThems(windows, windows.MainForm);

    connectLessonOptions(*windows.LessonOptions, *windows.MainForm);
    // Moving the pointer over the statistics window keeps the idle animation away.
    QObject::connect(windows.FormStat, &TFormStat::learnerActive, windows.MainForm,
                     &TMainForm::resetIdleCounter);
    QObject::connect(windows.Form3, &TForm3::animationEnded, windows.MainForm, &TMainForm::resetIdleCounter);

    QObject::connect(qApp, &QCoreApplication::aboutToQuit, windows.Form1, &QObject::deleteLater);
    QObject::connect(windows.Form1, &QObject::destroyed, [] { programWindows() = {}; });

    windows.Form1->show();
    windows.Form1->Timer1->start(splashDelay());
}

void setSplashDelay(std::chrono::milliseconds delay)
{
    splashDelay() = delay;
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
