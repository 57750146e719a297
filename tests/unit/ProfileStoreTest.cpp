#include "Services/ProfileStore.hpp"

#include "Models/ProfilesJsonWriter.hpp"
#include "Support/AtomicFile.hpp"
#include "TestProfiles.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <limits>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavelor {
namespace {

using test::readFile;
using test::writeFile;

/// `count` plain profiles of `windows` windows each (awkward values: the profiles fuzzer).
QList<WindowProfile> profiles(int count, int windows)
{
    QList<WindowProfile> out(count);
    for (int p = 0; p < count; ++p) {
        out[p] = {QUuid::createUuidV5(QUuid(), QString::number(p)),
                  QString::number(p),
                  {},
                  p == 0,
                  1,
                  2.5};
        for (int w = 0; w < windows; ++w)
            out[p].snapshots.append({"org.example.App", "App", "Window", {w + 0.5, 2, 640, 480}});
    }
    return out;
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

class ProfileStoreTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_root.isValid()); }

    QStringList entries() const
    {
        return QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QTemporaryDir m_root;
    const QString m_folder = m_root.path() + "/data/Tavelor";
    const QString m_file = m_folder + "/profiles.json";
    const QList<WindowProfile> m_profiles = profiles(4, 3);
    const QByteArray m_bytes = *encodeProfiles(m_profiles);
};

TEST_F(ProfileStoreTest, KeepsFolderAndFilePrivateAndSafeAndLoadsWhatItSaved)
{
    EXPECT_TRUE(ProfileStore(m_folder).load().isEmpty());
    EXPECT_FALSE(QFile::exists(m_file));
    EXPECT_EQ(modeOf(m_folder), 0700u);
    ::chmod(QFile::encodeName(m_folder).constData(), 0755);
    ProfileStore store(m_folder);
    EXPECT_EQ(modeOf(m_folder), 0700u);

    store.save(m_profiles);
    EXPECT_EQ(modeOf(m_file), 0600u);
    EXPECT_EQ(readFile(m_file), m_bytes);
    EXPECT_TRUE(test::identical(ProfileStore(m_folder).load(), m_profiles));

    QList<WindowProfile> bad = m_profiles; // an encoding refused writes nothing
    bad[1].createdAt = std::numeric_limits<double>::infinity();
    store.save(bad);
    EXPECT_EQ(readFile(m_file), m_bytes);

    // A readable file written by another store is replaced without a set-aside.
    ProfileStore(m_folder).save(profiles(2, 1));
    store.save({});
    EXPECT_EQ(readFile(m_file), "[]");
    EXPECT_TRUE(store.load().isEmpty());
    EXPECT_EQ(entries(), QStringList{"profiles.json"}); // no temporary file left behind

    // The folder deleted under a running store is made again, private.
    ASSERT_TRUE(QDir(m_folder).removeRecursively());
    EXPECT_TRUE(store.load().isEmpty());
    store.save(m_profiles);
    EXPECT_EQ(modeOf(m_folder), 0700u);
    EXPECT_TRUE(test::identical(store.load(), m_profiles));

    // A symbolic link at the file is replaced, never written through.
    QFile::remove(m_file);
    const QString victim = m_root.path() + "/victim";
    ASSERT_TRUE(writeFile(victim, "precious"));
    ASSERT_EQ(
        ::symlink(QFile::encodeName(victim).constData(), QFile::encodeName(m_file).constData()), 0);
    store.save(m_profiles);
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_FALSE(QFileInfo(m_file).isSymLink());
    EXPECT_EQ(readFile(m_file), m_bytes);

    // The atomic write itself answers false, not success, into a missing folder or when
    // it cannot make its temporary file (here the temporary name would be too long).
    EXPECT_FALSE(writeFileAtomically(m_folder + "/gone/profiles.json", "[]", 0600));
    EXPECT_FALSE(QFile::exists(m_folder + "/gone"));
    EXPECT_FALSE(writeFileAtomically(m_folder + "/" + QString(240, 'n'), "[]", 0600));
}

TEST_F(ProfileStoreTest, UnreadableFilesAreLeftByLoadAndSetAsideBeforeTheyAreReplaced)
{
    ProfileStore store(m_folder);
    const QByteArray garbage = "not json at all", other = R"([{"id":"x"}])";
    ASSERT_TRUE(writeFile(m_file, garbage));
    EXPECT_TRUE(store.load().isEmpty());
    EXPECT_EQ(entries(), QStringList{"profiles.json"});
    EXPECT_EQ(readFile(m_file), garbage);
    store.save(m_profiles);
    ASSERT_TRUE(writeFile(m_file, other)); // a second, in the same second: never over the first
    store.save(m_profiles);
    EXPECT_EQ(readFile(m_file), m_bytes);
    QByteArrayList aside;
    const QRegularExpression name(R"(^profiles\.json\.unreadable-\d{8}-\d{6})");
    for (const QString& entry : entries())
        if (entry != "profiles.json" && name.match(entry).hasMatch())
            aside << readFile(m_folder + "/" + entry);
    EXPECT_EQ(aside.size(), 2);
    EXPECT_TRUE(aside.contains(garbage) && aside.contains(other));
}

// A process killed at any moment while it saves leaves a file that reads and holds one
// whole saved version, never a mixture or a truncation. Versions differ in size.
TEST_F(ProfileStoreTest, KillDuringSavesLeavesAWholeVersion)
{
    ProfileStore(m_folder).save(profiles(1, 40));
    std::mt19937 random(1234);
    int killedMidWrite = 0;
    for (int round = 0; round < 300; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ProfileStore store(m_folder);
            for (int n = round;; ++n)
                store.save(profiles(n % 7 + 1, 40));
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 15000)(random));
        ::kill(child, SIGKILL);
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
        const QList<WindowProfile> loaded = ProfileStore(m_folder).load();
        ASSERT_FALSE(loaded.isEmpty()) << "round " << round;
        ASSERT_TRUE(test::identical(loaded, profiles(int(loaded.size()), 40))) << "round " << round;
        // Leftover temporary files are what a kill in the middle of a write leaves.
        for (const QString& name : entries())
            killedMidWrite += name != "profiles.json" && QFile::remove(m_folder + "/" + name);
    }
    EXPECT_GT(killedMidWrite, 0); // or the kills never hit a write and proved nothing
}

} // namespace
} // namespace tavelor
