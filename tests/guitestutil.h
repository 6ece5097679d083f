#pragma once

// Helpers for tests that run the whole program in-process, headless.

#include "app/mainunit.h"
#include "app/program.h"
#include "app/trainer.h"
#include "dictionary/unit4.h"
#include "quiz/maskpanel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace testutil {

// A fresh working folder laid out as beside the program (Dictionary, Help, Saves, Data with the shipped
// colour schemes, optionally audio); the test runs inside it.
class ProgramFolder final {
public:
    explicit ProgramFolder(bool withAudio = false)
    {
        QDir root(m_dir.path());
        for (const char *folder : {"Dictionary", "Help", "Saves", "Data"})
            root.mkpath(QString::fromLatin1(folder));
        if (withAudio)
            root.mkpath(QStringLiteral("audio"));
        const QString runtime = qEnvironmentVariable("WORDLARK_RUNTIME_DIR");
        for (const char *file : {"Help/Readme.txt", "Help/Dict_readme.txt", "Data/data1.dat"})
            QFile::copy(runtime + u'/' + QString::fromLatin1(file), root.filePath(QString::fromLatin1(file)));
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
    }
    ~ProgramFolder() { QDir::setCurrent(m_previous); }
    ProgramFolder(const ProgramFolder &) = delete;
    ProgramFolder &operator=(const ProgramFolder &) = delete;

    QString path(const QString &relative) const { return QDir(m_dir.path()).filePath(relative); }
    void write(const QString &relative, const QByteArray &bytes) const
    {
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Closes every open modal window, innermost first.
inline void rejectAllModals()
{
    for (int guard = 0; guard < 10; ++guard) {
        QWidget *open = QApplication::activeModalWidget();
        if (!open)
            break;
        if (auto *dialog = qobject_cast<QDialog *>(open))
            dialog->reject();
        else
            open->close();
    }
}

// One dictionary line in the file format: five fields separated by tab, "*", tab.
inline QByteArray line(const char *pinyin, const char *simplified, const char *full, const char *lesson,
                       const char *translation)
{
    return QByteArray(pinyin) + "\t*\t" + simplified + "\t*\t" + full + "\t*\t" + lesson + "\t*\t" +
           translation + "\r\n";
}

inline QByteArray sixWords()
{
    return QByteArray("\xEF\xBB\xBF") + line("hǎo", "好", "", "1", "\"хорошо; хороший\"") +
           line("nǐ", "你", "", "1", "ты") + line("wǒ", "我", "", "1", "я") +
           line("ma", "吗", "嗎", "2", "вопросительная частица") + line("tāmen", "他们", "他們", "2", "они") +
           line("wǒmen", "我们", "我們", "2", "мы");
}

// A window's control (or timer) by its objectName: windows keep their controls to themselves.
template <typename T> T *control(const QObject *owner, const QString &name)
{
    T *found = owner->findChild<T *>(name);
    if (!found)
        qWarning("no control %s", qPrintable(name));
    return found;
}
template <typename T> T *control(const QObject *owner, const char *name)
{
    return control<T>(owner, QString::fromLatin1(name));
}

// Seconds the quiz screen has counted since the learner last did something there.
inline int idleTicks(const QObject *mainForm)
{
    return mainForm->property("idleTicks").toInt();
}

template <typename T = QWidget> T *findWindow(const QString &name)
{
    for (QWidget *widget : QApplication::allWidgets()) {
        if (widget->isWindow() && widget->objectName() == name)
            if (T *typed = qobject_cast<T *>(widget))
                return typed;
    }
    return nullptr;
}

// Runs the whole program as main() does, and tears it down again when the test ends. The splash loads
// the dictionary as soon as the event loop runs, unless the test asks for the program's own delay.
class RunningProgram final {
public:
    explicit RunningProgram(std::chrono::milliseconds splashDelay = std::chrono::milliseconds(0))
    {
        setSplashDelay(splashDelay);
        createProgramWindows();
    }
    ~RunningProgram() { delete findWindow(QStringLiteral("Form1")); }
    RunningProgram(const RunningProgram &) = delete;
    RunningProgram &operator=(const RunningProgram &) = delete;
};

// Answers the next modal window with `answer` once it appears. If none appears within the deadline, or it
// is still open after being answered, every open modal is rejected and `failed` is set, so a forgotten
// dialog fails the test instead of hanging the suite.
class ModalAnswer final : public QObject {
public:
    explicit ModalAnswer(std::function<void(QWidget *)> answer, int deadlineMs = 5000)
        : m_answer(std::move(answer))
        , m_deadlineMs(deadlineMs)
    {
        m_clock.start();
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswer::poll);
        m_timer.start(20);
    }

    bool answered() const { return m_answered; }
    bool failed() const { return m_failed; }
    QString title() const { return m_title; }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!m_answered && modal) {
            m_answered = true;
            m_seen = modal;
            m_title = modal->windowTitle();
            m_answer(modal);
            return;
        }
        if (m_answered && (m_seen.isNull() || !m_seen->isVisible())) {
            m_timer.stop();
            return;
        }
        if (m_clock.elapsed() < m_deadlineMs)
            return;
        m_failed = true;
        m_timer.stop();
        rejectAllModals();
    }

    std::function<void(QWidget *)> m_answer;
    int m_deadlineMs;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QPointer<QWidget> m_seen;
    bool m_answered = false;
    bool m_failed = false;
    QString m_title;
};

// One modal window as it was seen when it came up.
struct SeenModal {
    QString objectName;
    QString title;
    QString text;
};

// Answers every modal window that comes up, one after the other, as nested dialogs do (a file dialog,
// then a message box). If a modal is still open after the deadline, every open modal is rejected and
// `failed` is set, so a forgotten dialog fails the test instead of hanging the suite.
class ModalScript final : public QObject {
public:
    explicit ModalScript(std::function<void(QWidget *)> answer, int deadlineMs = 10000)
        : m_answer(std::move(answer))
        , m_deadlineMs(deadlineMs)
    {
        m_clock.start();
        connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
        m_timer.start(20);
    }

    // Stops answering, so that a later script gets the next dialogs.
    void stop() { m_timer.stop(); }
    const QList<SeenModal> &seen() const { return m_seen; }
    bool failed() const { return m_failed; }
    QStringList names() const
    {
        QStringList names;
        for (const SeenModal &modal : m_seen)
            names.append(modal.objectName);
        return names;
    }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && modal != m_current) {
            m_current = modal;
            modal->installEventFilter(this);
            const auto *box = qobject_cast<QMessageBox *>(modal);
            m_seen.append({modal->objectName(), modal->windowTitle(), box ? box->text() : QString()});
            m_answer(modal);
            return;
        }
        if (!modal || m_clock.elapsed() < m_deadlineMs)
            return;
        m_failed = true;
        rejectAllModals();
    }

    // A dialog that is kept and shown again asks anew, even when nothing ran between its two showings.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_current && event->type() == QEvent::Show)
            m_current = nullptr;
        return false;
    }

    std::function<void(QWidget *)> m_answer;
    int m_deadlineMs;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QPointer<QWidget> m_current;
    QList<SeenModal> m_seen;
    bool m_failed = false;
};

class QuizFixture final {
public:
    // `prepare` puts what else the test needs into the folder before the program starts.
    explicit QuizFixture(const QByteArray &dictionary = sixWords(), bool withAudio = false,
                         const std::function<void(const ProgramFolder &)> &prepare = {})
        : folder(withAudio)
    {
        folder.write(QStringLiteral("Dictionary/Dict.dic"), dictionary);
        if (prepare)
            prepare(folder);
        start();
    }

    // Ends the program, as a learner closes it; the folder stays.
    void stop()
    {
        m_program.reset();
        main = nullptr;
        options = nullptr;
    }
    // Ends the program and starts it again in the same folder, as a learner closes it and comes back.
    void restart()
    {
        stop();
        start();
    }

    QTextEdit *box(int number) const
    {
        return main->findChild<QTextEdit *>(QStringLiteral("AnswerBox%1").arg(number));
    }
    int rightBox() const
    {
        for (int i = 1; i <= runningTrainer()->question().count(); ++i)
            if (runningTrainer()->question().wordInBox(i) == main->session().currentWord())
                return i;
        return 0;
    }
    int wrongBox() const
    {
        const QString right = runningTrainer()->question().rightAnswerText;
        for (int i = 1; i <= runningTrainer()->question().count(); ++i)
            if (runningTrainer()->question().wordInBox(i) != main->session().currentWord() &&
                box(i)->toPlainText() != right)
                return i;
        return 0;
    }
    void click(int number, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseClick(box(number)->viewport(), button, {}, QPoint(20, 10));
    }
    int visibleBoxes() const
    {
        int count = 0;
        for (int i = 1; i <= wordlark::MaxAnswerBoxes; ++i)
            count += box(i)->isVisible() ? 1 : 0;
        return count;
    }
    QString remained() const { return control<QLabel>(main, "LabelRemained")->text(); }
    QString mistakes() const { return control<QLabel>(main, "LabelMis")->text(); }
    QString question() const { return control<QTextEdit>(main, "TntRichEdit0")->toPlainText(); }
    QStringList boxTexts() const
    {
        QStringList texts;
        for (int i = 1; i <= runningTrainer()->question().count(); ++i)
            texts.append(box(i)->toPlainText());
        return texts;
    }
    void trigger(const char *action) const
    {
        main->findChild<QAction *>(QString::fromLatin1(action))->trigger();
    }
    QMediaPlayer *player() const { return main->findChild<QMediaPlayer *>(QStringLiteral("mp3player")); }

    ProgramFolder folder;
    TMainForm *main = nullptr;
    TLessonOptions *options = nullptr;

private:
    void start()
    {
        m_program = std::make_unique<RunningProgram>();
        waitForFirstQuestion();
        QTRY_VERIFY_WITH_TIMEOUT(findWindow(QStringLiteral("MainForm")) &&
                                     findWindow(QStringLiteral("MainForm"))->isVisible(),
                                 10000);
        main = findWindow<TMainForm>(QStringLiteral("MainForm"));
        options = findWindow<TLessonOptions>(QStringLiteral("LessonOptions"));
    }

    // The quiz screen comes up with its first question (or the hint that there is none); the event loop
    // runs until then rather than in fixed slices, and a deadline keeps a load that never ends from hanging.
    static void waitForFirstQuestion()
    {
        wordlark::Trainer *trainer = runningTrainer();
        QEventLoop loop;
        QObject::connect(trainer, &wordlark::Trainer::questionAsked, &loop, &QEventLoop::quit);
        QObject::connect(trainer, &wordlark::Trainer::nothingToAsk, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
    }

    std::unique_ptr<RunningProgram> m_program;
};

inline void acceptDialog(QWidget *modal)
{
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->accept();
}

} // namespace testutil
