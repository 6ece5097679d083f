#include "dictionary/fileio.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wordlark {

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}
namespace {

constexpr qint64 kMiB = qint64(1) << 20;

// Closes the descriptor however the read ends.
class Descriptor final {
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

ReadRefusal refusalOfType(mode_t mode)
{
    if (S_ISREG(mode))
        return ReadRefusal::None;
    return S_ISDIR(mode) ? ReadRefusal::Folder : ReadRefusal::NotRegular;
}

QString reasonOfType(ReadRefusal refusal)
{
    return refusal == ReadRefusal::Folder ? qt_error_string(EISDIR) : QStringLiteral("Not a regular file");
}

// Reads until the end of the file, but never more than `limit` bytes: a file that grows while it is read
// is cut off there and refused by the caller.
bool readAtMost(int fd, qint64 expected, qint64 limit, QByteArray &bytes)
{
    bytes.resize(qMin(expected, limit) + 1);
    qint64 filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > limit)
                break;
            bytes.resize(qMin(qMax(bytes.size() * 2, qint64(4096)), limit + 1));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        filled += got;
    }
    bytes.resize(filled);
    return true;
}

} // namespace

qint64 maxFileSize(FileKind kind)
{
    switch (kind) {
    case FileKind::Dictionary:
        return 512 * kMiB;
    case FileKind::LessonFile:
        return 256 * kMiB;
    case FileKind::SchemeFile:
        return 16 * kMiB;
    case FileKind::HelpText:
        return 16 * kMiB;
    case FileKind::InstalledCopy:
        return 64 * kMiB;
    case FileKind::DeviceFile:
        return 1024 * kMiB;
    }
    return 0;
}

Result<QByteArray> readFileBytes(const QString &path, FileKind kind, ReadRefusal *refusal)
{
    const auto refuse = [refusal](ReadRefusal why, const QString &reason) {
        if (refusal)
            *refusal = why;
        return Failure{reason};
    };
    if (refusal)
        *refusal = ReadRefusal::None;
    const QByteArray name = QFile::encodeName(path);
    // Looked at before it is opened: opening a device can have effects of its own.
    struct stat info {};
    if (name.isEmpty() || ::stat(name.constData(), &info) != 0) {
        const int error = name.isEmpty() ? ENOENT : errno;
        return refuse(error == ENOENT || error == ENOTDIR ? ReadRefusal::Missing : ReadRefusal::Unreadable,
                      qt_error_string(error));
    }
    if (const ReadRefusal type = refusalOfType(info.st_mode); type != ReadRefusal::None)
        return refuse(type, reasonOfType(type));

    // Without blocking, in case a FIFO took the file's place since it was looked at; what was opened is
    // checked again.
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return refuse(ReadRefusal::Unreadable, qt_error_string(errno));
    if (::fstat(fd.get(), &info) != 0)
        return refuse(ReadRefusal::Unreadable, qt_error_string(errno));
    if (const ReadRefusal type = refusalOfType(info.st_mode); type != ReadRefusal::None)
        return refuse(type, reasonOfType(type));

    const qint64 limit = maxFileSize(kind);
    if (qint64(info.st_size) > limit)
        return refuse(ReadRefusal::TooLarge, qt_error_string(EFBIG));
    QByteArray bytes;
    if (!readAtMost(fd.get(), qint64(info.st_size), limit, bytes))
        return refuse(ReadRefusal::Unreadable, qt_error_string(errno));
    if (bytes.size() > limit)
        return refuse(ReadRefusal::TooLarge, qt_error_string(EFBIG));
    return bytes;
}

Result<void> writeFileAtomically(const QString &path, QByteArrayView bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure{file.errorString()};
    // write() may only fill a buffer: a full disk shows at flush(), and commit() could still rename a short
    // file over the old one, so nothing is committed before the flush succeeded.
    errno = 0;
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush()) {
        // Qt reports a failed flush as "Unknown error"; errno still holds the system's reason.
        const int systemError = errno;
        const QString reason = systemError != 0 ? qt_error_string(systemError) : file.errorString();
        file.cancelWriting();
        return Failure{reason};
    }
    if (!file.commit())
        return Failure{file.errorString()};
    return {};
}

} // namespace wordlark
