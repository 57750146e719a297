#include "Services/ProfileStore.hpp"

#include "Models/ProfilesJsonReader.hpp"
#include "Models/ProfilesJsonWriter.hpp"
#include "Support/AtomicFile.hpp"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavelor {

namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

// The whole file, with room after it for the reader's padding. Nothing when the
// file cannot be opened or read; `st` then says nothing.
std::optional<QByteArray> readWhole(const QByteArray& path, struct stat& st)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        QByteArray buffer;
        buffer.reserve(static_cast<qsizetype>(st.st_size) +
                       static_cast<qsizetype>(kProfilesReaderPadding) + 1);
        char chunk[65536];
        bool failed = false;
        for (;;) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                failed = true;
                break;
            }
            if (n == 0)
                break;
            buffer.append(chunk, n);
        }
        if (!failed)
            bytes = std::move(buffer);
    }
    ::close(fd);
    return bytes;
}

std::optional<QList<WindowProfile>> decode(QByteArray& bytes)
{
    const qsizetype size = bytes.size();
    // The padding the reader may look at: zeros past the end, not part of the text.
    bytes.resize(size + static_cast<qsizetype>(kProfilesReaderPadding), '\0');
    return decodeProfilesPadded(
        std::string_view(bytes.constData(), static_cast<std::size_t>(size)));
}

bool moveAsideWithoutReplacing(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: link() refuses an existing name too.
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    return ::unlink(from.constData()) == 0;
}

} // namespace

ProfileStore::ProfileStore()
    : ProfileStore([] {
          const QString data =
              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
          return data.isEmpty() ? QString() : data + QStringLiteral("/Tavelor");
      }())
{}

ProfileStore::ProfileStore(const QString& folder) : m_folder(folder)
{
    if (m_folder.isEmpty())
        return; // No per-user data folder at all: every load is empty, saves do nothing.
    m_filePath = m_folder + QStringLiteral("/profiles.json");
    makeFolder();
}

bool ProfileStore::makeFolder() const
{
    const QByteArray folder = QFile::encodeName(m_folder);
    const QFileInfo info(m_folder);
    QDir().mkpath(info.absolutePath());
    if (::mkdir(folder.constData(), kFolderMode) == 0)
        return true;
    struct stat st {};
    if (errno != EEXIST || ::stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    // Window titles can be private: an existing folder of ours is closed to
    // others. The owner's own bits stay as the user set them.
    if (st.st_uid == ::geteuid() && (st.st_mode & 077) != 0)
        ::chmod(folder.constData(), st.st_mode & 0700);
    return true;
}

QList<WindowProfile> ProfileStore::load()
{
    if (m_filePath.isEmpty())
        return {};
    struct stat st {};
    std::optional<QByteArray> bytes = readWhole(QFile::encodeName(m_filePath), st);
    if (!bytes)
        return {};
    std::optional<QList<WindowProfile>> profiles = decode(*bytes);
    if (!profiles)
        return {};
    remember({st.st_dev, st.st_ino, st.st_size,
              st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec});
    return *std::move(profiles);
}

void ProfileStore::save(const QList<WindowProfile>& profiles)
{
    if (m_filePath.isEmpty())
        return;
    const std::optional<QByteArray> document = encodeProfiles(profiles);
    if (!document)
        return;
    if (!makeFolder() || !setAsideIfUnreadable())
        return;
    if (!writeFileAtomically(m_filePath, *document, kFileMode))
        return;
    struct stat st {};
    if (::stat(QFile::encodeName(m_filePath).constData(), &st) == 0)
        remember({st.st_dev, st.st_ino, st.st_size,
                  st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec});
}

bool ProfileStore::setAsideIfUnreadable()
{
    const QByteArray path = QFile::encodeName(m_filePath);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return errno == ENOENT; // No file: nothing to lose.
    const FileIdentity identity{st.st_dev, st.st_ino, st.st_size,
                                st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec};
    if (m_knownGood && *m_knownGood == identity)
        return true;
    // Not the file this store last read or wrote: replace it only if it holds a
    // readable document (another copy of Tavelor may have written it).
    if (std::optional<QByteArray> bytes = readWhole(path, st); bytes && decode(*bytes))
        return true;

    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = m_filePath + QStringLiteral(".unreadable-") + stamp;
    for (int n = 1; n < 100; ++n) {
        const QString target = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        if (moveAsideWithoutReplacing(path, QFile::encodeName(target)))
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

void ProfileStore::remember(const FileIdentity& identity)
{
    m_knownGood = identity;
}

} // namespace tavelor
