#include "Platform/BackendFactory.hpp"
#include "Platform/GlobalShortcuts.hpp"
#include "Platform/WindowAccess.hpp"
#include "Platform/X11/X11Backend.hpp"
#include "Services/WindowRestorer.hpp"
#include "Services/WindowScanner.hpp"
#include "support/TestDesktop.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>

// What tray_e2e.py cannot see from outside: the windows a scan finds and
// leaves out, client-side shadows, and windows put back out of fullscreen and
// maximised states (hostile properties: its ChurnTest).

namespace tavelor::x11::testing {
namespace {

// A fresh backend on the test desktop, which starts each test without client
// windows, and the applications the scans look up.
class X11ScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("TAVELOR_TEST_DESKTOP"))
            << "run inside tests/desktop/test-desktop";
        qputenv("LANG", "fr_FR.UTF-8");
        // Into $XDG_DATA_HOME, which the test desktop makes private.
        const QString dir = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
        QDir().mkpath(dir);
        for (const auto& [id, contents] :
             {std::pair{"Fixture", "Name=Fixture Thing\nName[fr]=Truc\nName[de]=Ding\n"
                                   "StartupWMClass=TavelorFixture\n"},
              std::pair{"Gtk", "Name=Gtk Thing\n"}}) {
            QFile file(dir + QStringLiteral("/org.tavelor.%1.desktop").arg(QLatin1String(id)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray("[Desktop Entry]\nType=Application\n") + contents);
        }
        m_backend = std::make_unique<X11Backend>();
        ASSERT_NE(m_backend->connection(), nullptr);
        // Clients of an earlier test may still be on their way out.
        ASSERT_TRUE(waitUntil([&] { return clientList(connection()).empty(); }));
    }

    X11Connection& connection() { return *m_backend->connection(); }
    platform::WindowSource& source() { return m_backend->windowSource(); }
    // The windows a scan lists, in its order.
    std::vector<std::pair<xcb_window_t, WindowSnapshot>> scan()
    {
        std::vector<std::pair<xcb_window_t, WindowSnapshot>> listed;
        for (WindowScanner::ScanResult& result : WindowScanner(source()).scan())
            listed.emplace_back(result.window.toUInt(), std::move(result.snapshot));
        return listed;
    }

    std::unique_ptr<X11Backend> m_backend;
};

TEST_F(X11ScanTest, ListsTheUsersWindowsWithApplicationTitleAndTheVisibleFrame)
{
    // A dock of a regular application is still not a window the user
    // arranges; leaving the taskbar does not leave the scan once the
    // application is regular.
    FixtureClient fixture(
        "--window --class=fixture,TavelorFixture --title=Alpha --geometry=300x200+100+400"
        " --window --class=fixture,TavelorFixture --title=Dock --type=DOCK --geometry=200x30+0+0"
        " --window --class=fixture,TavelorFixture --skip-taskbar --title=Beta"
        " --geometry=250x150+500+400");
    // Nothing but a skip-taskbar window and a dock: an accessory application.
    FixtureClient tray("--window --class=tray,TrayThing --skip-taskbar --title=Tray"
                       " --window --class=tray,TrayThing --type=DOCK --title=Panel");
    FixtureClient gtkish(
        "--window --class=gtkish,Gtkish --gtk-app-id=org.tavelor.Gtk"
        " --title=Shadowed --gtk-frame-extents=10,12,8,14 --geometry=320x240+300+200");
    ASSERT_EQ(fixture.windows().size() + gtkish.windows().size(), 4u);
    const xcb_window_t alpha = fixture.windows()[0];
    const xcb_window_t beta = fixture.windows()[2];
    const xcb_window_t shadowed = gtkish.windows()[0];
    std::optional<WindowFrame> inside = wmFrame(connection(), shadowed);
    ASSERT_TRUE(inside);
    *inside = {inside->x + 10, inside->y + 8, inside->width - 22, inside->height - 22};
    // In the order they were mapped, whatever is on top.
    const std::vector<std::pair<xcb_window_t, WindowSnapshot>> expected{
        {alpha, {"org.tavelor.Fixture", "Truc", "Alpha", *wmFrame(connection(), alpha)}},
        {beta, {"org.tavelor.Fixture", "Truc", "Beta", *wmFrame(connection(), beta)}},
        {shadowed, {"org.tavelor.Gtk", "Gtk Thing", "Shadowed", *inside}},
    };
    EXPECT_EQ(scan(), expected);
    // The workspace lists every client process, Tavelor's own filter aside.
    const std::vector<platform::LiveApplication> apps = source().listApplications();
    ASSERT_EQ(apps.size(), 3u);
    EXPECT_EQ(apps[0].pid, fixture.pid());
    EXPECT_EQ(apps[1].pid, tray.pid());
    EXPECT_EQ(apps[1].kind, platform::ApplicationKind::Accessory);
    EXPECT_EQ(apps[1].appId, QStringLiteral("TrayThing"));

    // Put back out of fullscreen and maximised states, the shadowed window
    // elsewhere: its visible frame lands where asked.
    WindowProfile profile;
    profile.snapshots = {expected[0].second, expected[2].second};
    profile.snapshots[1].frame.x += 40;
    profile.snapshots[1].frame.y += 30;
    for (const auto& [window, state] : {std::pair{alpha, "add,fullscreen"},
                                        std::pair{shadowed, "add,maximized_vert,maximized_horz"}})
        ASSERT_EQ(QProcess::execute("wmctrl", {"-i", "-r", QString::number(window), "-b", state}),
                  0);
    auto frames = [&] {
        std::vector<WindowFrame> out;
        for (const auto& [window, snapshot] : scan())
            out.push_back(snapshot.frame);
        return std::vector{out.at(0), out.at(2)};
    };
    ASSERT_TRUE(waitUntil([&] {
        return frames()[0] != profile.snapshots[0].frame && frames()[1] != expected[2].second.frame;
    }));
    EXPECT_EQ(WindowRestorer(source()).apply(profile).appliedCount, 2);
    const std::vector wanted{profile.snapshots[0].frame, profile.snapshots[1].frame};
    waitUntil([&] { return frames() == wanted; });
    EXPECT_EQ(frames(), wanted);
}

TEST_F(X11ScanTest, TavelorsOwnWindowsAreNeverListed)
{
    // A window of this process, on a connection of its own as the toolkit's
    // would be.
    xcb_connection_t* own = xcb_connect(nullptr, nullptr);
    ASSERT_FALSE(xcb_connection_has_error(own));
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(own)).data;
    const xcb_window_t window = xcb_generate_id(own);
    xcb_create_window(own, XCB_COPY_FROM_PARENT, window, screen->root, 10, 10, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_change_property(own, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        16, "tavelor\0Tavelor\0");
    xcb_map_window(own, window);
    xcb_flush(own);
    EXPECT_TRUE(waitUntil([&] { return clientList(connection()).size() == 1; }));
    EXPECT_TRUE(scan().empty());
    const auto apps = source().listApplications();
    ASSERT_EQ(apps.size(), 1u);
    EXPECT_EQ(apps[0].pid, QCoreApplication::applicationPid());
    EXPECT_EQ(apps[0].kind, platform::ApplicationKind::Accessory);
    xcb_disconnect(own);
}

TEST(X11NoDisplayTest, TheFactorysBackendWithoutDisplayIsAnEmptyDesktop)
{
    const auto backend = platform::createBackend(platform::Session{"x11", {}, {}, ":32000"});
    EXPECT_EQ(backend->name(), QStringLiteral("x11"));
    EXPECT_TRUE(backend->windowSource().listApplications().empty());
    EXPECT_FALSE(backend->windowAccess().canWorkWithWindows(true));
    EXPECT_EQ(backend->globalShortcuts().grab({49, cmdKey}),
              platform::GlobalShortcuts::GrabResult::Unavailable);
    WindowProfile profile;
    profile.snapshots = {WindowSnapshot{"a", "A", "t", {1, 2, 3, 4}}};
    const auto result = WindowRestorer(backend->windowSource()).apply(profile);
    EXPECT_EQ(result.appliedCount, 0);
    EXPECT_EQ(result.missingCount, 1);
}

} // namespace
} // namespace tavelor::x11::testing
