#include "KWinSession.hpp"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace tavelor::kwin::test {

bool waitUntil(const std::function<bool()>& done, int deadlineMs)
{
    const QDeadlineTimer deadline(deadlineMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return true;
}

std::optional<Found> findWindow(const std::vector<platform::LiveApplication>& apps,
                                const QString& title)
{
    for (const platform::LiveApplication& app : apps) {
        if (!app.windows)
            continue;
        for (const platform::LiveWindow& window : *app.windows) {
            if (window.title == title)
                return Found{&app, &window};
        }
    }
    return std::nullopt;
}

int runProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

int kwinVersion()
{
    return qEnvironmentVariableIntValue("TAVELOR_KWIN_VERSION");
}

} // namespace tavelor::kwin::test

// Script answers and shortcut presses arrive through the event loop.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
