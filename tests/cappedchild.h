#pragma once

// Runs a piece of a test in a child process whose address space is capped, so that a load that would
// take more memory than it may fails there (std::bad_alloc, an abort) instead of in the test's process,
// and the test sees how the child ended. The test binary is its own child: its main() hands the run to
// runCappedChild() when it was started with kCappedChildFlag.
//
//   parent: const testutil::ChildRun run = testutil::startCappedChild(QStringLiteral("lesson"), 64);
//   child:  main() -> testutil::runCappedChild(argc, argv, tasks) -> the task "lesson", capped once its
//           input is ready

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include <sys/resource.h>

namespace testutil {

inline constexpr char kCappedChildFlag[] = "--capped-child";

// A task prepares its input, calls `cap()` and then does what is measured. What it prints goes to the
// parent; its return value is the child's exit code.
using CappedTask = std::function<int(const QStringList &arguments, const std::function<bool()> &cap)>;
using CappedTasks = std::map<QString, CappedTask>;

// The process's address space now, in bytes (VmSize).
inline qint64 addressSpaceInUse()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSize:", 0) == 0)
            return qint64(std::stoll(line.substr(7))) * 1024;
    }
    return 0;
}

// From now on the process can map at most `moreBytes` beyond what it maps now.
inline bool capAddressSpace(qint64 moreBytes)
{
    const rlim_t cap = rlim_t(addressSpaceInUse() + moreBytes);
    const rlimit limit{cap, cap};
    return setrlimit(RLIMIT_AS, &limit) == 0;
}

// In main(): runs the task the arguments name ("--capped-child NAME MIB [ARG...]"), whose cap() limits the
// address space to MIB mebibytes beyond what the process maps at that moment, and returns its exit code;
// returns -1 when the binary was not started as a child.
inline int runCappedChild(int argc, char *argv[], const CappedTasks &tasks)
{
    if (argc < 4 || qstrcmp(argv[1], kCappedChildFlag) != 0)
        return -1;
    const auto task = tasks.find(QString::fromLocal8Bit(argv[2]));
    if (task == tasks.end()) {
        std::fprintf(stderr, "no capped task %s\n", argv[2]);
        return 2;
    }
    QStringList arguments;
    for (int i = 4; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const qint64 moreBytes = QByteArray(argv[3]).toLongLong() << 20;
    return task->second(arguments, [moreBytes] { return capAddressSpace(moreBytes); });
}

struct ChildRun {
    bool finished = false; // within the deadline
    bool crashed = false;  // killed by a signal: an abort on std::bad_alloc, say
    int exitCode = -1;
    QString output; // standard output and error together
};

// Starts this test binary as a capped child running `task`; waits at most `deadlineMs`, well below
// CTest's timeout, and kills a child that is still running then.
inline ChildRun startCappedChild(const QString &task, int capMiB, const QStringList &arguments = {},
                                 int deadlineMs = 30000)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{QString::fromLatin1(kCappedChildFlag), task, QString::number(capMiB)} +
                    arguments);
    ChildRun run;
    run.finished = child.waitForFinished(deadlineMs);
    if (!run.finished) {
        child.kill();
        child.waitForFinished(5000);
    }
    run.crashed = child.exitStatus() == QProcess::CrashExit;
    run.exitCode = child.exitCode();
    run.output = QString::fromLocal8Bit(child.readAll());
    return run;
}

// What went wrong with a child run, or nothing when it ran to its end and exited with 0.
inline QString childRunFault(const ChildRun &run)
{
    if (!run.finished)
        return QStringLiteral("still running at the deadline: ") + run.output;
    if (run.crashed || run.exitCode != 0)
        return QStringLiteral("ended with %1: ").arg(run.crashed ? -1 : run.exitCode) + run.output;
    return {};
}

} // namespace testutil

// main() of a test whose binary also runs the given capped tasks as a child.
#define WORDLARK_TEST_MAIN_WITH_CAPPED_TASKS(TestObject, ...)                                                \
    int main(int argc, char *argv[])                                                                         \
    {                                                                                                        \
        const int childExit = testutil::runCappedChild(argc, argv, __VA_ARGS__);                             \
        if (childExit >= 0)                                                                                  \
            return childExit;                                                                                \
        QCoreApplication app(argc, argv);                                                                    \
        TestObject test;                                                                                     \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
