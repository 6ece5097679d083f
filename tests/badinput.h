#pragma once

// What the bad-input tables put where a reader expects its file.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

namespace testutil {

enum class Entry { File, Missing, Folder, Fifo, LinkToDevice };

// Puts the entry at `path`: a file with `bytes`, nothing, a folder, a FIFO no one writes to, or a link to a
// device that never ends. False when it could not be made.
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
    }
    return false;
}

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
