#include "Platform/X11/X11WindowAccess.hpp"

#include "Platform/X11/X11Connection.hpp"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace tavelor::x11 {
namespace {

// Waits for a change made by another process (the window manager starting or
// going away); fails after a generous bound rather than hanging.
template <typename Condition> bool eventually(Condition condition)
{
    for (QDeadlineTimer deadline(10000); !condition(); QThread::msleep(20)) {
        if (deadline.hasExpired())
            return false;
    }
    return true;
}

TEST(X11WindowAccess, FollowsTheWindowManagerWithoutARestart)
{
    const QByteArray wmPid = qgetenv("TAVELOR_TEST_WM_PID");
    ASSERT_FALSE(wmPid.isEmpty()) << "needs the test desktop's window manager";
    std::unique_ptr<X11Connection> connection = X11Connection::open();
    ASSERT_NE(connection, nullptr);
    X11WindowAccess access(connection.get());
    EXPECT_TRUE(access.canWorkWithWindows(false));

    // An exiting openbox leaves its root properties behind, naming a window
    // that no longer exists: that is no window manager.
    ASSERT_EQ(::kill(static_cast<pid_t>(wmPid.toLongLong()), SIGTERM), 0);
    EXPECT_TRUE(eventually([&] { return !access.canWorkWithWindows(false); }));
    EXPECT_FALSE(access.canWorkWithWindows(true));

    QProcess openbox;
    openbox.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    ASSERT_TRUE(openbox.waitForStarted());
    EXPECT_TRUE(eventually([&] { return access.canWorkWithWindows(false); }));
    openbox.terminate();
    openbox.waitForFinished();
}

} // namespace
} // namespace tavelor::x11
