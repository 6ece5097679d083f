#pragma once

// What the bad-input tables put where a reader expects its file.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testutil {

enum class Entry { File, Missing, Folder, Fifo, LinkToDevice, Unreadable, Huge };

// Larger than any file the program takes in; sparse, so it costs no disk.
inline constexpr qint64 kHugeFileSize = qint64(20) << 30;

// Puts the entry at `path`: a file with `bytes`, nothing, a folder, a FIFO no one writes to, a link to a
// device that never ends, a file with `bytes` no one may read (see WithoutReadOverride) or a 20 GB file.
// False when it could not be made.
inline bool makeEntry(Entry entry, const QString &path, const QByteArray &bytes)
{
    switch (entry) {
    case Entry::File: {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    case Entry::Missing:
        return true;
    case Entry::Folder:
        return QDir().mkdir(path);
    case Entry::Fifo:
        return mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    case Entry::LinkToDevice:
        return QFile::link(QStringLiteral("/dev/zero"), path);
    case Entry::Unreadable:
        return makeEntry(Entry::File, path, bytes) && QFile::setPermissions(path, {});
    case Entry::Huge: {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.resize(kHugeFileSize);
    }
    }
    return false;
}

// Tests run as root, which reads every file whatever its mode. While this lives, the calling thread lacks
// the two capabilities that allow that, so a file of mode 000 is as unreadable as for anyone else; files
// the test made itself stay readable, as their owner may read them.
class WithoutReadOverride final {
public:
    WithoutReadOverride()
    {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_lowered = syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~WithoutReadOverride()
    {
        if (m_lowered)
            syscall(SYS_capset, &m_header, m_saved);
    }
    WithoutReadOverride(const WithoutReadOverride &) = delete;
    WithoutReadOverride &operator=(const WithoutReadOverride &) = delete;

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_lowered = false;
};

// A reader that opens a FIFO waits for a writer for ever. If the FIFO is still waited on when the deadline
// passes, this opens it for writing once and closes it again, so the reader sees an empty file and the
// test fails instead of hanging.
class FifoDeadline final {
public:
    explicit FifoDeadline(const QString &path, std::chrono::milliseconds deadline = std::chrono::seconds(10))
        : m_path(QFile::encodeName(path))
        , m_thread([this, deadline] { run(deadline); })
    {
    }
    ~FifoDeadline()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    FifoDeadline(const FifoDeadline &) = delete;
    FifoDeadline &operator=(const FifoDeadline &) = delete;

    // Whether a reader was found waiting at the deadline.
    bool fired() const { return m_fired; }

private:
    void run(std::chrono::milliseconds deadline)
    {
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, deadline, [this] { return m_done; }))
            return;
        // Succeeds only while someone has the FIFO open for reading.
        const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            m_fired = true;
            ::close(fd);
        }
    }

    QByteArray m_path;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::atomic<bool> m_fired = false;
    std::thread m_thread;
};

// Everything in the folder, hidden and special entries included: a read must leave it as it was.
inline QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
}

// Makes every file write of this process past `bytes` fail with EFBIG, as a full disk makes them fail,
// for as long as it lives. The signal that would end the process is ignored meanwhile.
class FileSizeLimit final {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_previous;
        lowered.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool active() const { return m_active; }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = SIG_DFL;
    bool m_active = false;
};

} // namespace testutil
