#include "Services/ProfileStore.hpp"
#include "TestProfiles.hpp"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace tavelor {
namespace {

// Version n of the list: n + 1 profiles, so every version is told apart by its size.
QList<WindowProfile> version(int n)
{
    return test::makeRandomProfiles(static_cast<std::uint64_t>(n % 7), n % 7 + 1, 40);
}

// A process killed at any moment while it saves leaves a file that reads, and
// holds one of the versions that were saved, never a mixture or a truncation.
TEST(ProfileStoreCrash, KillDuringSavesLeavesAWholeVersion)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString folder = root.path() + "/Tavelor";
    ProfileStore(folder).save(version(0));

    std::mt19937 random(1234);
    int killedMidWrite = 0;
    for (int round = 0; round < 300; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ProfileStore store(folder);
            for (int n = round;; ++n)
                store.save(version(n));
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 15000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        const QList<WindowProfile> loaded = ProfileStore(folder).load();
        ASSERT_FALSE(loaded.isEmpty()) << "round " << round;
        const int n = static_cast<int>(loaded.size()) - 1;
        ASSERT_TRUE(test::identical(loaded, version(n))) << "round " << round;
        // Leftover temporary files are what a kill in the middle of a write leaves.
        const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
        killedMidWrite += static_cast<int>(names.size()) - 1;
        for (const QString& name : names) {
            if (name != "profiles.json")
                QFile::remove(folder + "/" + name);
        }
    }
    // The kills must have hit writes in progress, or the test proved nothing.
    EXPECT_GT(killedMidWrite, 0);
    std::cout << "kills in the middle of a write: " << killedMidWrite << " of 300\n";
}

} // namespace
} // namespace tavelor
