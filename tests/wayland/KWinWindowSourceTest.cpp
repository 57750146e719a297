// The KWin window source against the session's real KWin and its three
// clients (tests/wayland/kwin-session --clients): native Qt and GTK windows and
// an XWayland xterm.
#include "Platform/KWin/KWinWindowSource.hpp"

#include "KWinSession.hpp"
#include "Platform/KWin/KWinScriptRunner.hpp"
#include "Platform/KWin/KWinWindowAccess.hpp"
#include "Platform/Xdg/DesktopEntries.hpp"
#include "unit/QtPrinters.hpp"

#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

namespace tavelor::kwin::test {
namespace {

using platform::FrameWrite;
using platform::LiveApplication;

struct Client {
    const char* title;
    const char* appId;
    const char* appIdOnKWin6; // KWin 6 finds desktop files for X11 windows itself
    bool keepsSize;           // terminals round sizes to character cells
};
const Client kClients[] = {
    {"Qt Native", "org.tavelor.QtNative", "org.tavelor.QtNative", false},
    {"GTK Native", "org.tavelor.GtkNative", "org.tavelor.GtkNative", false},
    {"XWayland Term", "xterm", "debian-xterm", true},
};

class KWinWindowSourceTest : public ::testing::Test {
protected:
    std::vector<LiveApplication> listWhenAllThere()
    {
        std::vector<LiveApplication> apps;
        waitUntil([&] {
            apps = source.listApplications();
            return std::all_of(std::begin(kClients), std::end(kClients),
                               [&](const Client& c) { return findWindow(apps, c.title); });
        });
        return apps;
    }

    std::vector<FrameWrite> moveTo(const QString& id, double x, double y, double w, double h)
    {
        return {{id, FrameWrite::Part::Position, x, y},
                {id, FrameWrite::Part::Size, w, h},
                {id, FrameWrite::Part::Position, x, y}};
    }

    KWinScriptRunner runner{KWinWindowSource::kBound};
    xdg::DesktopEntries entries;
    KWinWindowSource source{runner, entries};
};

TEST_F(KWinWindowSourceTest, ListsNativeAndXWaylandWindowsAsOnX11)
{
    const std::vector<LiveApplication> apps = listWhenAllThere();
    for (const Client& client : kClients) {
        SCOPED_TRACE(client.title);
        const std::optional<Found> found = findWindow(apps, client.title);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->application->appId,
                  QString::fromLatin1(kwinVersion() == 6 ? client.appIdOnKWin6 : client.appId));
        EXPECT_TRUE(found->application->name && !found->application->name->isEmpty());
        EXPECT_EQ(found->application->kind, platform::ApplicationKind::Regular);
        EXPECT_GT(found->application->pid, 0);
        EXPECT_EQ(found->window->role, platform::WindowRole::Window);
        ASSERT_TRUE(found->window->size);
        EXPECT_GT(found->window->size->first, 0);
        EXPECT_GT(found->window->size->second, 0);
    }
    // A second look pairs windows the same way: same applications, same order.
    auto ids = [](const std::vector<LiveApplication>& list) {
        QStringList all;
        for (const LiveApplication& app : list)
            for (const platform::LiveWindow& window : *app.windows)
                all << window.id;
        return all;
    };
    EXPECT_EQ(ids(source.listApplications()), ids(apps));
}

TEST_F(KWinWindowSourceTest, OneApplyMovesEveryWindowWhereKWinReportsIt)
{
    const std::vector<LiveApplication> apps = listWhenAllThere();
    std::vector<FrameWrite> writes;
    std::vector<std::tuple<QString, double, double, double, double>> wanted;
    double x = 40;
    for (const Client& client : kClients) {
        ASSERT_TRUE(findWindow(apps, client.title)) << client.title;
        const Found found = *findWindow(apps, client.title);
        const double width = client.keepsSize ? found.window->size->first : 300 + x;
        const double height = client.keepsSize ? found.window->size->second : 200 + x / 2;
        const double y = 60 + x / 4;
        for (const FrameWrite& write : moveTo(found.window->id, x, y, width, height))
            writes.push_back(write);
        wanted.emplace_back(QString::fromLatin1(client.title), x, y, width, height);
        x += 410;
    }
    source.apply(writes);
    EXPECT_EQ(source.lastApplyCount(), 3);

    std::vector<LiveApplication> now;
    const bool settled = waitUntil([&] {
        now = source.listApplications();
        return std::all_of(wanted.begin(), wanted.end(), [&](const auto& target) {
            const auto found = findWindow(now, std::get<0>(target));
            return found &&
                   found->window->position == std::pair(std::get<1>(target), std::get<2>(target)) &&
                   found->window->size == std::pair(std::get<3>(target), std::get<4>(target));
        });
    });
    for (const auto& [title, wx, wy, ww, wh] : wanted) {
        const auto found = findWindow(now, title);
        ASSERT_TRUE(found) << title.toStdString();
        EXPECT_EQ(found->window->position, std::pair(wx, wy)) << title.toStdString();
        EXPECT_EQ(found->window->size, std::pair(ww, wh)) << title.toStdString();
    }
    EXPECT_TRUE(settled);
}

TEST_F(KWinWindowSourceTest, WindowClosedBetweenScanAndApplyIsSkipped)
{
    QProcess closing;
    closing.start(QStringLiteral("xterm"), {QStringLiteral("-T"), QStringLiteral("Closing Term")});
    std::vector<LiveApplication> apps;
    ASSERT_TRUE(waitUntil([&] {
        apps = source.listApplications();
        return findWindow(apps, QStringLiteral("Closing Term")).has_value();
    }));
    ASSERT_TRUE(findWindow(apps, QStringLiteral("Qt Native")));
    const QString closingId = findWindow(apps, QStringLiteral("Closing Term"))->window->id;
    const QString keptId = findWindow(apps, QStringLiteral("Qt Native"))->window->id;
    closing.kill();
    closing.waitForFinished();
    ASSERT_TRUE(waitUntil(
        [&] { return !findWindow(source.listApplications(), QStringLiteral("Closing Term")); }));

    std::vector<FrameWrite> writes = moveTo(closingId, 10, 10, 300, 300);
    for (const FrameWrite& write : moveTo(keptId, 500, 400, 320, 240))
        writes.push_back(write);
    source.apply(writes);
    EXPECT_EQ(source.lastApplyCount(), 1);
    EXPECT_TRUE(waitUntil([&] {
        const auto found = findWindow(source.listApplications(), QStringLiteral("Qt Native"));
        return found && found->window->position == std::pair(500.0, 400.0);
    }));
}

// Last in the suite: KWin is stopped, then ended, under the source.
TEST_F(KWinWindowSourceTest, KWinThatDoesNotAnswerGivesAnEmptyScanAndNoAccess)
{
    const pid_t kwin = static_cast<pid_t>(qEnvironmentVariableIntValue("TAVELOR_KWIN_PID"));
    ASSERT_GT(kwin, 0);
    KWinWindowAccess access(runner);
    ASSERT_TRUE(access.canWorkWithWindows(false));
    ASSERT_FALSE(listWhenAllThere().empty());

    ::kill(kwin, SIGSTOP); // a script that never answers
    EXPECT_TRUE(source.listApplications().empty());
    source.apply(moveTo(QStringLiteral("{00000000-0000-0000-0000-000000000000}"), 0, 0, 10, 10));
    EXPECT_FALSE(source.lastApplyCount());
    EXPECT_FALSE(access.canWorkWithWindows(false));
    ::kill(kwin, SIGCONT);
    EXPECT_TRUE(waitUntil([&] { return !source.listApplications().empty(); }));

    ::kill(kwin, SIGTERM); // KWin gone from the bus
    EXPECT_TRUE(waitUntil([&] { return !access.canWorkWithWindows(false); }));
    EXPECT_TRUE(source.listApplications().empty());
}

} // namespace
} // namespace tavelor::kwin::test
