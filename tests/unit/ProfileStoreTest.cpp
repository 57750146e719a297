#include "Services/ProfileStore.hpp"

#include "Models/ProfilesJsonWriter.hpp"
#include "Support/AtomicFile.hpp"
#include "TestProfiles.hpp"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavelor {
namespace {

constexpr uid_t kNobody = 65534;

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

class ProfileStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        // Reachable by an unprivileged user too, for the tests that drop root.
        ::chmod(QFile::encodeName(m_root.path()).constData(), 0755);
        m_folder = m_root.path() + "/data/Tavelor";
        m_file = m_folder + "/profiles.json";
    }

    QStringList entries() const
    {
        return QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    // Runs `body` as an unprivileged user when this test runs as root, since
    // root writes through read-only permissions.
    void runUnprivileged(const std::function<void()>& body)
    {
        if (::geteuid() != 0) {
            body();
            return;
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(2);
            body();
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    void chownTree(uid_t owner)
    {
        for (const QString& path : {m_root.path() + "/data", m_folder, m_file})
            ::chown(QFile::encodeName(path).constData(), owner, owner);
    }

    QTemporaryDir m_root;
    QString m_folder;
    QString m_file;
    const QList<WindowProfile> m_profiles = test::makeRandomProfiles(3, 4, 3);
};

TEST_F(ProfileStoreTest, FirstStartMakesAPrivateFolderAndNoFile)
{
    ProfileStore store(m_folder);
    EXPECT_EQ(modeOf(m_folder), 0700u);
    EXPECT_TRUE(store.load().isEmpty());
    EXPECT_FALSE(QFile::exists(m_file));
}

TEST_F(ProfileStoreTest, ExistingFolderIsClosedToOthers)
{
    QDir().mkpath(m_folder);
    ::chmod(QFile::encodeName(m_folder).constData(), 0755);
    ProfileStore store(m_folder);
    EXPECT_EQ(modeOf(m_folder), 0700u);
}

TEST_F(ProfileStoreTest, SavesPrivatelyAndLoadsWhatItSaved)
{
    ProfileStore store(m_folder);
    store.save(m_profiles);
    EXPECT_EQ(modeOf(m_file), 0600u);
    EXPECT_EQ(readFile(m_file), *encodeProfiles(m_profiles));
    EXPECT_TRUE(test::identical(store.load(), m_profiles));
    EXPECT_TRUE(test::identical(ProfileStore(m_folder).load(), m_profiles));

    store.save({});
    EXPECT_EQ(readFile(m_file), "[]");
    EXPECT_TRUE(store.load().isEmpty());
    EXPECT_EQ(entries(), QStringList{"profiles.json"}); // no temporary file left behind
}

TEST_F(ProfileStoreTest, RefusedEncodingWritesNothing)
{
    ProfileStore store(m_folder);
    store.save(m_profiles);
    QList<WindowProfile> bad = m_profiles;
    bad[1].createdAt = std::numeric_limits<double>::infinity();
    store.save(bad);
    EXPECT_EQ(readFile(m_file), *encodeProfiles(m_profiles));
}

TEST_F(ProfileStoreTest, UnreadableFileIsLeftByLoadAndSetAsideBeforeItIsReplaced)
{
    ProfileStore store(m_folder);
    const QByteArray garbage = "not json at all";
    writeFile(m_file, garbage);
    EXPECT_TRUE(store.load().isEmpty());
    EXPECT_EQ(readFile(m_file), garbage);
    EXPECT_EQ(entries(), QStringList{"profiles.json"});

    store.save(m_profiles);
    EXPECT_EQ(readFile(m_file), *encodeProfiles(m_profiles));
    const QStringList aside = QDir(m_folder).entryList({"profiles.json.unreadable-*"}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_TRUE(QRegularExpression("^profiles\\.json\\.unreadable-\\d{8}-\\d{6}$")
                    .match(aside[0])
                    .hasMatch())
        << aside[0].toStdString();
    EXPECT_EQ(readFile(m_folder + "/" + aside[0]), garbage);

    // A second bad file within the same second never goes over the first.
    const QByteArray other = R"([{"id":"x"}])";
    writeFile(m_file, other);
    store.save(m_profiles);
    const QStringList both = QDir(m_folder).entryList({"profiles.json.unreadable-*"}, QDir::Files);
    ASSERT_EQ(both.size(), 2);
    QByteArrayList contents;
    for (const QString& name : both)
        contents << readFile(m_folder + "/" + name);
    EXPECT_TRUE(contents.contains(garbage));
    EXPECT_TRUE(contents.contains(other));
}

TEST_F(ProfileStoreTest, ReadableFileFromElsewhereIsReplacedWithoutASetAside)
{
    ProfileStore store(m_folder);
    store.save(m_profiles);
    ProfileStore(m_folder).save(test::makeRandomProfiles(9, 2, 1));
    store.save(m_profiles);
    EXPECT_EQ(readFile(m_file), *encodeProfiles(m_profiles));
    EXPECT_EQ(entries(), QStringList{"profiles.json"});
}

TEST_F(ProfileStoreTest, FolderDeletedWhileRunningIsMadeAgain)
{
    ProfileStore store(m_folder);
    store.save(m_profiles);
    ASSERT_TRUE(QDir(m_folder).removeRecursively());
    EXPECT_TRUE(store.load().isEmpty());
    store.save(m_profiles);
    EXPECT_EQ(modeOf(m_folder), 0700u);
    EXPECT_TRUE(test::identical(store.load(), m_profiles));

    // The atomic write itself answers false, not success, into a missing folder.
    EXPECT_FALSE(writeFileAtomically(m_folder + "/gone/profiles.json", "[]", 0600));
    EXPECT_FALSE(QFile::exists(m_folder + "/gone"));
}

TEST_F(ProfileStoreTest, SymbolicLinkAtTheFileIsNeverWrittenThrough)
{
    const QString victim = m_root.path() + "/victim";
    writeFile(victim, "precious");
    ProfileStore store(m_folder);
    ASSERT_EQ(
        ::symlink(QFile::encodeName(victim).constData(), QFile::encodeName(m_file).constData()), 0);
    store.save(m_profiles);
    EXPECT_EQ(readFile(victim), "precious");
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(m_file).constData(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(readFile(m_file), *encodeProfiles(m_profiles));
}

TEST_F(ProfileStoreTest, ReadOnlyFolderLeavesTheOldFileByteForByte)
{
    {
        ProfileStore store(m_folder);
        store.save(m_profiles);
    }
    const QByteArray before = readFile(m_file);
    chownTree(::geteuid() == 0 ? kNobody : ::geteuid());
    ::chmod(QFile::encodeName(m_folder).constData(), 0500);
    runUnprivileged([&] {
        ProfileStore store(m_folder);
        store.save(test::makeRandomProfiles(11, 3, 3));
    });
    ::chmod(QFile::encodeName(m_folder).constData(), 0700);
    EXPECT_EQ(readFile(m_file), before);
    EXPECT_EQ(entries(), QStringList{"profiles.json"});
}

TEST_F(ProfileStoreTest, FileSizeLimitLeavesTheOldFileByteForByte)
{
    ProfileStore store(m_folder);
    store.save(m_profiles);
    const QByteArray before = readFile(m_file);

    // Past the limit write() fails with EFBIG instead of the process being killed.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = static_cast<rlim_t>(before.size() / 2);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    store.save(test::makeRandomProfiles(12, 8, 5));
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(readFile(m_file), before);
    EXPECT_EQ(entries(), QStringList{"profiles.json"});
}

} // namespace
} // namespace tavelor
