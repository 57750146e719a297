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

constexpr uid_t kNobody = 65534;

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

class XdgLoginItemsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        // Open to the unprivileged user of the read-only test.
        ::chmod(QFile::encodeName(m_root.path()).constData(), 0755);
        // Every character the entry must escape: blanks, both quotes, a
        // backslash, a field code and a dollar.
        const QString folder = m_root.path() + QStringLiteral("/a b\"c%fd'e\\g$h");
        ASSERT_TRUE(QDir().mkpath(folder));
        m_executable = folder + QStringLiteral("/tav elor");
        writeFile(m_executable, "#!/bin/sh\n");
        ::chmod(QFile::encodeName(m_executable).constData(), 0755);
        m_autostart = m_root.path() + QStringLiteral("/config/autostart");
    }

    xdg::XdgLoginItems items() const { return xdg::XdgLoginItems(m_autostart, m_executable); }
    QString entry() const { return m_autostart + QStringLiteral("/tavelor.desktop"); }

    /// The line of the entry that starts with `key=`.
    QByteArray line(const QByteArray& key) const
    {
        for (const QByteArray& each : readFile(entry()).split('\n')) {
            if (each.startsWith(key + '='))
                return each;
        }
        return {};
    }

    /// Runs `body` as an unprivileged user with stderr in a file; answers
    /// what it printed there. The child's exit status is body's answer.
    QByteArray runUnprivileged(const std::function<bool()>& body)
    {
        const QString log = m_root.path() + QStringLiteral("/stderr");
        const pid_t child = ::fork();
        EXPECT_GE(child, 0);
        if (child == 0) {
            const int fd =
                ::open(QFile::encodeName(log).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || ::dup2(fd, STDERR_FILENO) < 0)
                ::_exit(2);
            if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
                ::_exit(2);
            ::_exit(body() ? 0 : 1);
        }
        int status = 0;
        EXPECT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the body failed";
        return readFile(log);
    }

    QTemporaryDir m_root;
    QString m_executable;
    QString m_autostart;
};

TEST_F(XdgLoginItemsTest, EnablingWritesAnEntryThatNamesTheExecutable)
{
    xdg::XdgLoginItems login = items();
    EXPECT_EQ(login.status(), platform::LoginItemStatus::NotRegistered);
    ASSERT_TRUE(LoginItemService::setEnabled(login, true));
    EXPECT_EQ(login.status(), platform::LoginItemStatus::Enabled);

    const QByteArray folder = QFile::encodeName(m_root.path());
    // Quoted for the command line (\" \\ \$ %%), then each backslash doubled
    // as a string value.
    EXPECT_EQ(line("Exec"), "Exec=\"" + folder + "/a b\\\\\"c%%fd'e\\\\\\\\g\\\\$h/tav elor\"");
    // TryExec is a path, not a command line: string escapes only.
    EXPECT_EQ(line("TryExec"), "TryExec=" + folder + "/a b\"c%fd'e\\\\g$h/tav elor");
    EXPECT_EQ(line("Type"), "Type=Application");
    EXPECT_TRUE(readFile(entry()).startsWith("[Desktop Entry]\n"));

    // Enabling again rewrites the same entry.
    ASSERT_TRUE(LoginItemService::setEnabled(login, true));
    EXPECT_EQ(QDir(m_autostart).entryList(QDir::Files | QDir::Hidden),
              QStringList{"tavelor.desktop"});
}

TEST_F(XdgLoginItemsTest, ArgumentsWithoutReservedCharactersStayUnquoted)
{
    EXPECT_EQ(xdg::XdgLoginItems::execArgument("/usr/bin/tavelor"), "/usr/bin/tavelor");
    EXPECT_EQ(xdg::XdgLoginItems::execArgument("/opt/100%/tavelor"), "/opt/100%%/tavelor");
    EXPECT_EQ(xdg::XdgLoginItems::execArgument("/opt/a`b/t"), "\"/opt/a\\\\`b/t\"");
    EXPECT_EQ(xdg::XdgLoginItems::execArgument("/opt/a\nb"), "\"/opt/a\\nb\"");
}

TEST_F(XdgLoginItemsTest, StatusReadsTheEntry)
{
    const QByteArray ours = xdg::XdgLoginItems::entryText(m_executable);
    struct Case {
        const char* what;
        QByteArray contents;
        bool enabled;
    };
    const Case cases[] = {
        {"ours", ours, 1},
        {"hidden", ours + "Hidden=true\n", 0},
        {"hidden, spaced", ours + "Hidden = true\n", 0},
        {"switched off",
         QByteArray(ours).replace("Autostart-enabled=true", "Autostart-enabled=false"), 0},
        {"hidden in another group", ours + "[Desktop Action x]\nHidden=true\n", 1},
        {"another program's", xdg::XdgLoginItems::entryText("/usr/bin/other"), 0},
        {"no TryExec", "[Desktop Entry]\nType=Application\nExec=tavelor\n", 0},
    };
    QDir().mkpath(m_autostart);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(entry(), c.contents);
        EXPECT_EQ(items().status() == platform::LoginItemStatus::Enabled, c.enabled);
    }
}

TEST_F(XdgLoginItemsTest, AMissingExecutableIsNotFoundAndCannotBeRegistered)
{
    QString error;
    ASSERT_TRUE(items().setEnabled(true, error));
    QFile::remove(m_executable);
    EXPECT_EQ(items().status(), platform::LoginItemStatus::NotFound);
    EXPECT_FALSE(items().setEnabled(true, error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(XdgLoginItemsTest, DisablingRemovesTheEntryAndAMissingOneIsSuccess)
{
    xdg::XdgLoginItems login = items();
    ASSERT_TRUE(LoginItemService::setEnabled(login, true));
    ASSERT_TRUE(LoginItemService::setEnabled(login, false));
    EXPECT_FALSE(QFile::exists(entry()));
    EXPECT_EQ(login.status(), platform::LoginItemStatus::NotRegistered);
    EXPECT_TRUE(LoginItemService::setEnabled(login, false));
}

TEST_F(XdgLoginItemsTest, AReadOnlyFolderLogsTheOneLineAndAnswersFalse)
{
    QDir().mkpath(m_autostart);
    const QByteArray folder = QFile::encodeName(m_autostart);
    ::chmod(folder.constData(), 0555);
    const QByteArray registerLog = runUnprivileged([&] {
        xdg::XdgLoginItems login = items();
        return !LoginItemService::setEnabled(login, true) &&
               login.status() == platform::LoginItemStatus::NotRegistered;
    });
    EXPECT_EQ(registerLog,
              "Tavelor: échec du register du démarrage au login : Permission denied\n");
    EXPECT_FALSE(QFile::exists(entry()));
    EXPECT_EQ(QDir(m_autostart).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{});

    ::chmod(folder.constData(), 0755);
    xdg::XdgLoginItems login = items();
    ASSERT_TRUE(LoginItemService::setEnabled(login, true));
    ::chmod(folder.constData(), 0555);
    const QByteArray unregisterLog = runUnprivileged([&] {
        xdg::XdgLoginItems unprivileged = items();
        return !LoginItemService::setEnabled(unprivileged, false);
    });
    EXPECT_EQ(unregisterLog,
              "Tavelor: échec du unregister du démarrage au login : Permission denied\n");
    EXPECT_TRUE(QFile::exists(entry()));
    ::chmod(folder.constData(), 0755);
}

} // namespace
} // namespace tavelor
