#include "Support/AtomicFile.hpp"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tavelor {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    /// Closes now and reports the result: a late write error of some file
    /// systems shows only here.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& contents, mode_t mode)
{
    const QFileInfo info(path);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    const QByteArray name = QFile::encodeName(info.fileName());

    FileDescriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        return false;

    // A fresh name opened with O_EXCL | O_NOFOLLOW: nothing planted under the
    // name beforehand (a file or a symbolic link) is ever opened or followed.
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary =
            '.' + name + ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        fd = ::openat(dir.get(), temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    FileDescriptor file(fd);

    // fchmod because the umask may have taken bits off `mode`; fsync before the
    // rename so that a crash never leaves the new name on an empty file.
    const bool written =
        ::fchmod(file.get(), mode) == 0 &&
        writeAll(file.get(), contents.constData(), static_cast<std::size_t>(contents.size())) &&
        ::fsync(file.get()) == 0;
    if (!file.close() || !written ||
        ::renameat(dir.get(), temporary.constData(), dir.get(), name.constData()) != 0) {
        // Callers report errno: the clean-up must not replace the cause.
        const int cause = errno;
        ::unlinkat(dir.get(), temporary.constData(), 0);
        errno = cause;
        return false;
    }
    // Makes the rename itself durable; the new content is in place either way.
    ::fsync(dir.get());
    return true;
}

} // namespace tavelor
