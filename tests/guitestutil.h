#pragma once

// Helpers for tests that run the whole program in-process, headless.

#include "app/program.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace testutil {

// A fresh working folder laid out as beside the program (Dictionary, Help, Saves, Data, optionally
// audio); the test runs inside it.
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
        for (const char *file : {"Help/Readme.txt", "Help/Dict_readme.txt"})
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

template <typename T = QWidget> T *findWindow(const QString &name)
{
    for (QWidget *widget : QApplication::allWidgets()) {
        if (widget->isWindow() && widget->objectName() == name)
            if (T *typed = qobject_cast<T *>(widget))
                return typed;
    }
    return nullptr;
}

// Runs the whole program as main() does, and tears it down again when the test ends.
class RunningProgram final {
public:
    RunningProgram() { createProgramWindows(); }
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

    std::function<void(QWidget *)> m_answer;
    int m_deadlineMs;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QPointer<QWidget> m_seen;
    bool m_answered = false;
    bool m_failed = false;
    QString m_title;
};

inline void acceptDialog(QWidget *modal)
{
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->accept();
}

} // namespace testutil
