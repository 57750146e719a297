#include "Platform/Xdg/XdgLoginItems.hpp"
#include "Services/LoginItemService.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavelor {
namespace {

using platform::LoginItemStatus;
using xdg::XdgLoginItems;

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

class XdgLogin : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Open to the unprivileged user of the read-only test.
        ::chmod(QFile::encodeName(root.path()).constData(), 0755);
        // Every character the entry must escape: blanks, both quotes, a
        // backslash, a field code and a dollar.
        ASSERT_TRUE(QDir().mkpath(root.path() + "/a b\"c%fd'e\\g$h"));
        writeFile(executable, "#!/bin/sh\n");
        ::chmod(QFile::encodeName(executable).constData(), 0755);
    }
    XdgLoginItems items() const { return XdgLoginItems(autostart, executable); }
    /// The line of the entry that starts with `key=`.
    QByteArray line(const QByteArray& key) const
    {
        for (const QByteArray& each : readFile(entry).split('\n'))
            if (each.startsWith(key + '='))
                return each;
        return {};
    }

    QTemporaryDir root;
    QString executable = root.path() + "/a b\"c%fd'e\\g$h/tav elor";
    QString autostart = root.path() + "/config/autostart";
    QString entry = autostart + "/tavelor.desktop";
};

TEST_F(XdgLogin, EnablingWritesAnEntryThatNamesTheExecutableAndDisablingRemovesIt)
{
    XdgLoginItems login = items();
    EXPECT_EQ(login.status(), LoginItemStatus::NotRegistered);
    ASSERT_TRUE(LoginItemService::setEnabled(login, true));
    ASSERT_TRUE(LoginItemService::setEnabled(login, true));
    EXPECT_EQ(login.status(), LoginItemStatus::Enabled);
    EXPECT_EQ(QDir(autostart).entryList(QDir::Files | QDir::Hidden),
              QStringList{"tavelor.desktop"});
    const QByteArray folder = QFile::encodeName(root.path());
    // Quoted for the command line (\" \\ \$ %%), then each backslash doubled as a string value.
    EXPECT_EQ(line("Exec"), "Exec=\"" + folder + "/a b\\\\\"c%%fd'e\\\\\\\\g\\\\$h/tav elor\"");
    // TryExec is a path, not a command line: string escapes only.
    EXPECT_EQ(line("TryExec"), "TryExec=" + folder + "/a b\"c%fd'e\\\\g$h/tav elor");
    EXPECT_EQ(line("Type"), "Type=Application");
    EXPECT_TRUE(readFile(entry).startsWith("[Desktop Entry]\n"));
    // Only arguments with reserved characters are quoted.
    EXPECT_EQ(XdgLoginItems::execArgument("/usr/bin/tavelor"), "/usr/bin/tavelor");
    EXPECT_EQ(XdgLoginItems::execArgument("/opt/100%/tavelor"), "/opt/100%%/tavelor");
    EXPECT_EQ(XdgLoginItems::execArgument("/opt/a`b/t"), "\"/opt/a\\\\`b/t\"");
    EXPECT_EQ(XdgLoginItems::execArgument("/opt/a\nb"), "\"/opt/a\\nb\"");

    ASSERT_TRUE(LoginItemService::setEnabled(login, false));
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_EQ(login.status(), LoginItemStatus::NotRegistered);
    EXPECT_TRUE(LoginItemService::setEnabled(login, false)) << "a missing entry is success";
}

TEST_F(XdgLogin, StatusReadsTheEntryAndTheExecutable)
{
    const QByteArray ours = XdgLoginItems::entryText(executable);
    const std::pair<QByteArray, bool> cases[] = {
        {ours, true},
        {ours + "Hidden=true\n", false},
        {ours + "Hidden = true\n", false},
        {QByteArray(ours).replace("Autostart-enabled=true", "Autostart-enabled=false"), false},
        {ours + "[Desktop Action x]\nHidden=true\n", true}, // another group
        {XdgLoginItems::entryText("/usr/bin/other"), false},
        {"[Desktop Entry]\nType=Application\nExec=tavelor\n", false}, // no TryExec
    };
    QDir().mkpath(autostart);
    for (const auto& [contents, enabled] : cases) {
        writeFile(entry, contents);
        EXPECT_EQ(items().status() == LoginItemStatus::Enabled, enabled) << contents.constData();
    }
    // A missing executable is not found and cannot be registered.
    writeFile(entry, ours);
    QFile::remove(executable);
    EXPECT_EQ(items().status(), LoginItemStatus::NotFound);
    QString error;
    EXPECT_FALSE(items().setEnabled(true, error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(XdgLogin, AReadOnlyFolderLogsTheOneLineAndLeavesNothing)
{
    QDir().mkpath(autostart);
    ::chmod(QFile::encodeName(autostart).constData(), 0555);
    // As an unprivileged user, so that root too meets the permissions.
    const QString log = root.path() + "/stderr";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd =
            ::open(QFile::encodeName(log).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::dup2(fd, STDERR_FILENO) < 0 ||
            (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)))
            ::_exit(2);
        XdgLoginItems login = items();
        ::_exit(!LoginItemService::setEnabled(login, true) &&
                        login.status() == LoginItemStatus::NotRegistered
                    ? 0
                    : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(readFile(log),
              "Tavelor: échec du register du démarrage au login : Permission denied\n");
    EXPECT_EQ(QDir(autostart).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{});
}

} // namespace
} // namespace tavelor
