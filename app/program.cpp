#include "app/program.h"

#include "app/mainunit.h"
#include "app/startup.h"
#include "app/trainer.h"
#include "app/unit1.h"
#include "app/windows.h"
#include "dictionary/unit4.h"
#include "journal/journalkeeper.h"
#include "journal/unitprogress.h"
#include "progress/unit2.h"
#include "progress/unitfuxi.h"
#include "ui/dialogplacement.h"
#include "ui/fonts.h"
#include "ui/screenlook.h"
#include "ui/unit3.h"
#include "ui/unitabout.h"
#include "ui/unithelp.h"
#include "ui/unitthems.h"
#include "writing/strokestore.h"
#include "writing/unitstrokes.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

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

// The program's state and the screen's look live from before the first window until the last is gone.
std::unique_ptr<wordlark::Trainer> &programTrainer()
{
    static std::unique_ptr<wordlark::Trainer> trainer;
    return trainer;
}

std::unique_ptr<wordlark::ScreenLook> &programLook()
{
    static std::unique_ptr<wordlark::ScreenLook> look;
    return look;
}

// The lesson dialog's answer aids act on the quiz screen at once.
void connectLessonOptions(TLessonOptions &options, TMainForm &mainForm)
{
    QObject::connect(&options, &TLessonOptions::answersHidden, &mainForm, &TMainForm::coverAnswers);
    QObject::connect(&options, &TLessonOptions::keyboardPanelTicked, &mainForm,
                     &TMainForm::showKeyboardPanel);
    QObject::connect(&options, &TLessonOptions::maskTicked, &mainForm, &TMainForm::showMask);
}

// The main window's menu opens the other windows; what they show comes from the program's state.
void connectMenu(const ProgramWindows &windows, const wordlark::Trainer &trainer)
{
    TMainForm *mainForm = windows.MainForm;
    QObject::connect(mainForm, &TMainForm::lessonOptionsAsked, windows.LessonOptions,
                     [dialog = windows.LessonOptions] { execCentred(dialog); });
    QObject::connect(mainForm, &TMainForm::aboutAsked, windows.AboutForm,
                     [dialog = windows.AboutForm] { execCentred(dialog); });
    QObject::connect(mainForm, &TMainForm::helpAsked, windows.FormHelp,
                     [dialog = windows.FormHelp] { execCentred(dialog); });
    QObject::connect(mainForm, &TMainForm::coloursAsked, windows.FormThems,
                     [dialog = windows.FormThems] { execCentred(dialog); });
    QObject::connect(mainForm, &TMainForm::statisticsAsked, windows.FormStat,
                     [&trainer, dialog = windows.FormStat] {
                         dialog->ShowStatistics(trainer.wordTable(), trainer.lessons());
                     });
    QObject::connect(mainForm, &TMainForm::idleTimeReached, windows.Form3, &TForm3::startAnimation);
    // The splash window is the program's main window: closing the quiz screen closes it, which ends the
    // program.
    QObject::connect(mainForm, &TMainForm::closed, windows.Form1, &QWidget::close);
}

// What the journal asks and tells the learner, the "Прогресс" menu's state and the sync folder's dialog:
// the part of the journal that needs a window. What the journal has to tell waits until the first
// dictionary is loaded and the quiz window is up.
class JournalPrompts final : public QObject {
public:
    JournalPrompts(TMainForm &main, const wordlark::Trainer &trainer, wordlark::JournalKeeper &keeper)
        : QObject(&keeper)
        , m_main(main)
        , m_trainer(trainer)
        , m_keeper(keeper)
    {
    }

    void refresh()
    {
        m_main.showJournalState(m_keeper.isOn(), m_keeper.dueCount(m_trainer.lessons()));
        m_main.showSyncState(m_keeper.isOn(), !m_keeper.syncFolder().isEmpty());
    }

    void dictionaryLoaded()
    {
        m_keeper.useDictionary(m_trainer.wordTable(), m_trainer.dictionaryPath());
        refresh();
        if (std::exchange(m_loaded, true))
            return;
        // Once the load has returned and the quiz window is up.
        QTimer::singleShot(0, &m_main, [this, waiting = std::exchange(m_waiting, {})] {
            for (const QString &message : waiting)
                show(message);
        });
    }

    void tell(const QString &message)
    {
        if (message.isEmpty())
            return;
        if (m_loaded)
            show(message);
        else
            m_waiting.append(message);
    }

    void journalTicked(bool kept)
    {
        if (kept) {
            if (const wordlark::Result<void> on = m_keeper.turnOn(); !on)
                tell(on.error());
        } else if (askDelete()) {
            if (const wordlark::Result<void> off = m_keeper.turnOffAndDelete(); !off)
                tell(off.error());
        }
        refresh();
    }

    void stopped(const QString &message)
    {
        refresh();
        tell(message);
    }

    // The sync folder: chosen in Qt's folder dialog and kept in the journal.
    void chooseSyncFolder()
    {
        QFileDialog dialog(&m_main, QStringLiteral("Папка синхронизации"), m_keeper.syncFolder());
        dialog.setObjectName(QStringLiteral("SyncFolderDialog"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        if (execCentred(&dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            if (const wordlark::Result<void> chosen =
                    m_keeper.setSyncFolder(dialog.selectedFiles().constFirst());
                !chosen)
                tell(chosen.error());
        }
        refresh();
    }

    void stopSync()
    {
        if (const wordlark::Result<void> off = m_keeper.stopSync(); !off)
            tell(off.error());
        refresh();
    }

private:
    void show(const QString &text)
    {
        showMessage(&m_main, QMessageBox::Warning, QStringLiteral("Журнал"), text,
                    QStringLiteral("JournalMessage"));
    }

    bool askDelete()
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Журнал"),
                        QStringLiteral("Удалить журнал вместе со всей историей ответов?"),
                        QMessageBox::Yes | QMessageBox::No, &m_main);
        box.setObjectName(QStringLiteral("DeleteJournalQuestion"));
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
        box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }

    TMainForm &m_main;
    const wordlark::Trainer &m_trainer;
    wordlark::JournalKeeper &m_keeper;
    QStringList m_waiting;
    bool m_loaded = false;
};

// The journal follows the program's state (each question, each answer, the end of a pass, a new
// dictionary) and answers the main window's "Прогресс" menu. It is opened here, once it is connected. What
// goes wrong with the journal before the first dictionary is loaded (a file that cannot be opened, or that
// its check finds damaged, a sync folder out of reach) is reported once that is done.
void connectJournal(const ProgramWindows &windows, wordlark::Trainer &trainer,
                    wordlark::JournalKeeper &keeper)
{
    using wordlark::JournalKeeper;
    using wordlark::Trainer;
    TMainForm *main = windows.MainForm;
    auto *prompts = new JournalPrompts(*main, trainer, keeper);
    QObject::connect(&trainer, &Trainer::lessonsBuilt, prompts, &JournalPrompts::dictionaryLoaded);
    QObject::connect(&trainer, &Trainer::questionAsked, &keeper, &JournalKeeper::questionAsked);
    QObject::connect(&trainer, &Trainer::answered, &keeper, &JournalKeeper::answerGiven);
    QObject::connect(&trainer, &Trainer::passEnded, &keeper, &JournalKeeper::writeNow);
    QObject::connect(&trainer, &Trainer::passEnded, prompts, &JournalPrompts::refresh);
    QObject::connect(main, &TMainForm::progressMenuOpening, prompts, &JournalPrompts::refresh);
    QObject::connect(main, &TMainForm::journalTicked, prompts, &JournalPrompts::journalTicked);
    QObject::connect(&keeper, &JournalKeeper::stopped, prompts, &JournalPrompts::stopped);
    QObject::connect(
        main, &TMainForm::progressAsked, &keeper, [progress = windows.FormProgress, &trainer, &keeper] {
            keeper.writeNow();
            // Local days as they were at the journal's moment, summer time and all.
            const qint64 now = keeper.now();
            const int offset = QDateTime::fromMSecsSinceEpoch(now).offsetFromUtc();
            progress->setSyncSummary(wordlark::syncSummary(keeper.syncStatus(), offset));
            if (const wordlark::Journal *journal = keeper.journal())
                progress->ShowProgress(*journal, trainer.wordTable(), trainer.lessons(), now, offset);
        });
    QObject::connect(main, &TMainForm::dueReviewAsked, &keeper, [&trainer, &keeper] {
        const std::vector<int> due = keeper.dueWords(trainer.lessons());
        trainer.startPassOver(QList<int>(due.begin(), due.end()));
    });
    QObject::connect(main, &TMainForm::syncFolderAsked, prompts, &JournalPrompts::chooseSyncFolder);
    QObject::connect(main, &TMainForm::syncOffAsked, prompts, &JournalPrompts::stopSync);
    QObject::connect(main, &TMainForm::syncNowAsked, &keeper, &JournalKeeper::syncNow);
    QObject::connect(&keeper, &JournalKeeper::syncMessage, prompts, &JournalPrompts::tell);
    QObject::connect(&keeper, &JournalKeeper::synced, prompts, &JournalPrompts::refresh);
    if (const wordlark::Result<void> opened = keeper.openIfPresent(); !opened)
        prompts->tell(opened.error());
}

std::unique_ptr<wordlark::StrokeStore> &programStrokes()
{
    static std::unique_ptr<wordlark::StrokeStore> strokes;
    return strokes;
}

// Per row of the dictionary: the simplified form has a character the stroke data has, so the word can
// be asked in a writing pass.
std::vector<bool> writableWords(const wordlark::WordTable &table, const wordlark::StrokeStore &strokes)
{
    std::vector<bool> writable(size_t(table.rowCount()), false);
    for (int row = 0; row < table.rowCount(); ++row)
        for (const QString &character :
             wordlark::writtenCharacters(table.cell(wordlark::SimplifiedColumn, row)))
            if (strokes.has(character)) {
                writable[size_t(row)] = true;
                break;
            }
    return writable;
}

// The "Письмо" menu: the writing pass over the chosen lessons, and the stroke order of the shown word.
// Without usable stroke data both items stay disabled and say why.
void connectWriting(const ProgramWindows &windows, wordlark::Trainer &trainer,
                    const wordlark::ScreenLook &look)
{
    TMainForm *main = windows.MainForm;
    auto opened = wordlark::StrokeStore::open(wordlark::strokeDataPath(trainer.startFolder()));
    if (!opened) {
        programStrokes().reset();
        main->setStrokeData({}, opened.error());
        return;
    }
    programStrokes() = std::move(opened).value();
    wordlark::StrokeStore *strokes = programStrokes().get();
    const wordlark::WrittenWord::Lookup lookup = [strokes](const QString &character) {
        return strokes->character(character);
    };
    main->setStrokeData(lookup, QString());
    QObject::connect(main, &TMainForm::writingTicked, &trainer, [&trainer, strokes](bool writing) {
        if (writing)
            trainer.startWriting(writableWords(trainer.wordTable(), *strokes));
        else
            trainer.stopWriting();
    });
    QObject::connect(&trainer, &wordlark::Trainer::lessonsBuilt, main, [&trainer, strokes] {
        if (trainer.writing())
            trainer.setWritableWords(writableWords(trainer.wordTable(), *strokes));
    });
    QObject::connect(main, &TMainForm::strokeOrderAsked, windows.FormStrokes,
                     [&trainer, &look, main, lookup, form = windows.FormStrokes] {
                         if (!trainer.question().hasWord())
                             return;
                         form->showStrokeOrder(wordlark::writtenCharacters(trainer.wordTable().cell(
                                                   wordlark::SimplifiedColumn, trainer.question().word)),
                                               lookup, main->writingColours(),
                                               look.field(wordlark::FieldKind::Simplified).font);
                         execCentred(form);
                     });
}

void connectWindows(const ProgramWindows &windows, wordlark::Trainer &trainer)
{
    QObject::connect(&trainer, &wordlark::Trainer::loadStarting, windows.Form1,
                     [windows] { ApplyUiTexts(windows); });
    connectLessonOptions(*windows.LessonOptions, *windows.MainForm);
    connectMenu(windows, trainer);
    // At the end of a pass with mistakes the review of the missed words is offered; learning them makes
    // them the next pass.
    QObject::connect(&trainer, &wordlark::Trainer::reviewDue, windows.FormFuxi, [&trainer, windows] {
        if (windows.FormFuxi->ShowDifficultWords(trainer.wordTable(), trainer.session().mistakes()))
            trainer.startReview();
    });
    // Moving the pointer over the statistics window keeps the idle animation away.
    QObject::connect(windows.FormStat, &TFormStat::learnerActive, windows.MainForm,
                     &TMainForm::resetIdleCounter);
    QObject::connect(windows.Form3, &TForm3::animationEnded, windows.MainForm, &TMainForm::resetIdleCounter);
}

} // namespace

void createProgramWindows()
{
    wordlark::installFontSubstitutions();
    wordlark::installAnimationFontSubstitutions();
    setProgramIdentity();
    installQtTranslation();
    // Our own dialogs are widgets, never native ones, so they look alike everywhere and can be driven.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);

    programTrainer() = std::make_unique<wordlark::Trainer>(QDir::currentPath());
    wordlark::Trainer &trainer = *programTrainer();
    programLook() = std::make_unique<wordlark::ScreenLook>();
    wordlark::ScreenLook &look = *programLook();
    ProgramWindows &windows = programWindows();
    windows = {};
    // The splash window is the program's main window: it owns every other window, and closing it ends
    // the program.
    windows.Form1 = new TForm1(trainer);
    // Shown as soon as it is made, so that it is the first thing on screen, also under a message that a
    // window made after it gives (the colour dialog's missing scheme file).
    windows.Form1->show();
    windows.MainForm = new TMainForm(trainer, look, windows.Form1);
    windows.FormStat = new TFormStat(look, windows.MainForm);
    windows.Form3 = new TForm3(trainer.lessons(), trainer.wordTable(), windows.MainForm);
    windows.LessonOptions = new TLessonOptions(trainer, windows.MainForm);
    windows.FormFuxi = new TFormFuxi(windows.MainForm);
    windows.AboutForm = new TAboutForm(windows.MainForm);
    windows.FormHelp = new TFormHelp(windows.MainForm);
    windows.FormThems = new TFormThems(QDir(trainer.startFolder()).filePath(QStringLiteral("Data/data1.dat")),
                                       look, windows.MainForm);
    windows.FormProgress = new TFormProgress(windows.MainForm);
    windows.FormStrokes = new TFormStrokes(windows.MainForm);
    connectWindows(windows, trainer);
    connectWriting(windows, trainer, look);
    // The journal lives in the working folder; it closes, writing what it holds, with the windows.
    connectJournal(windows, trainer, *new wordlark::JournalKeeper(trainer.startFolder(), windows.Form1));

    QObject::connect(qApp, &QCoreApplication::aboutToQuit, windows.Form1, &QObject::deleteLater);
    // The windows are gone by the time the splash reports its end; the state goes after them.
    QObject::connect(windows.Form1, &QObject::destroyed, [] {
        programWindows() = {};
        programStrokes().reset();
        programTrainer().reset();
        programLook().reset();
    });

    windows.Form1->startLoadTimer(splashDelay());
}

wordlark::JournalKeeper *programJournal()
{
    return programWindows().Form1 ? programWindows().Form1->findChild<wordlark::JournalKeeper *>() : nullptr;
}

wordlark::Trainer *runningTrainer()
{
    return programTrainer().get();
}

wordlark::ScreenLook *runningLook()
{
    return programLook().get();
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
