// How KWin's window list becomes applications: grouping, kinds, roles and
// identities, without a KWin.
#include "Platform/KWin/KWinWindowList.hpp"

#include "Platform/Xdg/DesktopEntries.hpp"
#include "unit/QtPrinters.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavelor::kwin {
namespace {

using platform::ApplicationKind;
using platform::WindowRole;

constexpr std::int64_t kOwnPid = 77;

// One window per line, in KWin's order.
const char* const kAnswer = R"([
 {"id":"a","pid":10,"resourceClass":"org.x.Editor","desktopFileName":"org.x.Editor.desktop",
  "caption":"Doc","frame":[1,2,300,200],"normal":true},
 {"id":"b","pid":20,"resourceClass":"panel","caption":"Panel","frame":[0,0,10,10],"normal":true,"special":true},
 {"id":"c","pid":10,"resourceClass":"org.x.Editor","caption":"Find","frame":[5,6,70,80],"dialog":true},
 {"id":"d","pid":30,"resourceClass":"tip","caption":"Tip","utility":true,"skipTaskbar":true},
 {"id":"e","pid":77,"resourceClass":"tavelor","caption":"Own","normal":true},
 {"id":"f","pid":0,"resourceClass":"xterm","resourceName":"xterm","caption":"T1","normal":true},
 {"id":"g","pid":40,"resourceClass":"foo","resourceName":"foo-bin","caption":"Foo","normal":true},
 {"id":"h","pid":0,"resourceClass":"other","caption":"O","normal":true},
 {"id":"i","pid":0,"resourceClass":"xterm","caption":"T2","normal":true,"frame":null},
 {"id":"","pid":50,"caption":"no id","normal":true}
])";

struct Expected {
    const char* title;
    std::size_t application; // index in the listing
    std::optional<QString> appId;
    std::optional<QString> name;
    ApplicationKind kind;
    WindowRole role;
};

TEST(KWinWindowList, GroupsWindowsIntoApplicationsAsOnX11)
{
    QTemporaryDir data;
    QDir().mkpath(data.filePath(QStringLiteral("applications")));
    auto write = [&](const char* file, const QByteArray& contents) {
        QFile out(data.filePath(QStringLiteral("applications/") + QLatin1String(file)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(contents);
    };
    write("org.x.Editor.desktop", "[Desktop Entry]\nName=Editor\n");
    write("com.foo.App.desktop", "[Desktop Entry]\nName=Foo App\nStartupWMClass=foo\n");
    xdg::DesktopEntries entries({data.path()}, QStringLiteral("C"));

    const auto apps = applicationsFromScan(QString::fromUtf8(kAnswer), kOwnPid, entries);
    const Expected expected[] = {
        {"Doc", 0, "org.x.Editor", "Editor", ApplicationKind::Regular, WindowRole::Window},
        {"Find", 0, "org.x.Editor", "Editor", ApplicationKind::Regular, WindowRole::Window},
        {"Panel", 1, "panel", "panel", ApplicationKind::Accessory, WindowRole::Other},
        {"Tip", 2, "tip", "tip", ApplicationKind::Accessory, WindowRole::Window},
        {"Own", 3, "tavelor", "tavelor", ApplicationKind::Accessory, WindowRole::Window},
        {"T1", 4, "xterm", "xterm", ApplicationKind::Regular, WindowRole::Window},
        {"T2", 4, "xterm", "xterm", ApplicationKind::Regular, WindowRole::Window},
        {"Foo", 5, "com.foo.App", "Foo App", ApplicationKind::Regular, WindowRole::Window},
        {"O", 6, "other", "other", ApplicationKind::Regular, WindowRole::Window},
    };
    ASSERT_EQ(apps.size(), 7u);
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.title);
        const platform::LiveApplication& app = apps[e.application];
        const auto window = std::find_if(app.windows->begin(), app.windows->end(),
                                         [&](const auto& w) { return w.title == e.title; });
        ASSERT_NE(window, app.windows->end());
        EXPECT_EQ(app.appId, e.appId);
        EXPECT_EQ(app.name, e.name);
        EXPECT_EQ(app.kind, e.kind);
        EXPECT_EQ(window->role, e.role);
    }
    EXPECT_EQ(apps[0].pid, 10);
    EXPECT_EQ((*apps[0].windows)[1].position, std::pair(5.0, 6.0));
    EXPECT_EQ((*apps[0].windows)[1].size, std::pair(70.0, 80.0));
    // Windows without a process share a stand-in per resource class.
    EXPECT_LT(apps[4].pid, 0);
    EXPECT_LT(apps[6].pid, 0);
    EXPECT_NE(apps[4].pid, apps[6].pid);
    EXPECT_FALSE((*apps[4].windows)[1].position);
    EXPECT_FALSE((*apps[4].windows)[1].size);
}

TEST(KWinWindowList, AnswerThatIsNotAWindowListGivesNothing)
{
    xdg::DesktopEntries entries({}, QStringLiteral("C"));
    for (const char* answer : {"", "garbage", "{}", "[1, \"x\", null]", "42"})
        EXPECT_TRUE(applicationsFromScan(QString::fromUtf8(answer), kOwnPid, entries).empty())
            << answer;
}

} // namespace
} // namespace tavelor::kwin
