#include "Platform/BackendFactory.hpp"
#include "Platform/GlobalShortcuts.hpp"
#include "Platform/WindowAccess.hpp"
#include "Platform/X11/X11Backend.hpp"
#include "Services/WindowRestorer.hpp"
#include "support/X11TestCase.hpp"

#include <QCoreApplication>
#include <QString>

#include <gtest/gtest.h>

#include <map>

namespace tavelor::x11::testing {
namespace {

WindowSnapshot snapshot(std::optional<QString> bundle, std::optional<QString> name,
                        std::optional<QString> title, std::optional<WindowFrame> frame)
{
    return {std::move(bundle), std::move(name), std::move(title), frame.value_or(WindowFrame{})};
}

class X11ScanTest : public X11TestCase {
protected:
    void SetUp() override
    {
        writeDesktopFile(QStringLiteral("org.tavelor.Fixture"),
                         "[Desktop Entry]\nType=Application\nName=Fixture Thing\n"
                         "Name[fr]=Truc\nName[de]=Ding\nStartupWMClass=TavelorFixture\n");
        writeDesktopFile(QStringLiteral("org.tavelor.Gtk"),
                         "[Desktop Entry]\nType=Application\nName=Gtk Thing\n");
        X11TestCase::SetUp();
    }

    std::map<xcb_window_t, WindowScanner::ScanResult> scanByWindow()
    {
        std::map<xcb_window_t, WindowScanner::ScanResult> byWindow;
        for (WindowScanner::ScanResult& result : scan())
            byWindow.emplace(windowOf(result), std::move(result));
        return byWindow;
    }
};

TEST_F(X11ScanTest, ListsTheUsersWindowsWithApplicationTitleAndTheWindowManagersFrame)
{
    Child xterm(QStringLiteral("xterm"),
                {"-T", "first terminal", "-geometry", "60x20+30+40", "-e", "sleep 600"});
    const xcb_window_t terminal = waitForNewClient(connection(), {}, QStringLiteral("XTerm"));
    ASSERT_NE(terminal, XCB_WINDOW_NONE);
    Child xclock(QStringLiteral("xclock"), {"-geometry", "120x120+700+40"});
    const xcb_window_t clock =
        waitForNewClient(connection(), clientList(connection()), QStringLiteral("XClock"));
    ASSERT_NE(clock, XCB_WINDOW_NONE);
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
    ASSERT_EQ(fixture.windows().size(), 3u);
    ASSERT_EQ(gtkish.windows().size(), 1u);

    std::vector<WindowSnapshot> snapshots;
    std::vector<xcb_window_t> windows;
    for (const WindowScanner::ScanResult& result : scan()) {
        snapshots.push_back(result.snapshot);
        windows.push_back(windowOf(result));
    }

    const xcb_window_t alpha = fixture.windows()[0];
    const xcb_window_t beta = fixture.windows()[2];
    const xcb_window_t shadowed = gtkish.windows()[0];
    std::optional<WindowFrame> shadowedFrame = wmFrame(connection(), shadowed);
    ASSERT_TRUE(shadowedFrame);
    shadowedFrame->x += 10;
    shadowedFrame->y += 8;
    shadowedFrame->width -= 22;
    shadowedFrame->height -= 22;
    const std::vector<WindowSnapshot> expected{
        snapshot("debian-xterm", "XTerm", "first terminal", wmFrame(connection(), terminal)),
        snapshot("XClock", "XClock", "xclock", wmFrame(connection(), clock)),
        // In the order they were mapped, whatever is on top.
        snapshot("org.tavelor.Fixture", "Truc", "Alpha", wmFrame(connection(), alpha)),
        snapshot("org.tavelor.Fixture", "Truc", "Beta", wmFrame(connection(), beta)),
        snapshot("org.tavelor.Gtk", "Gtk Thing", "Shadowed", shadowedFrame),
    };
    EXPECT_EQ(snapshots, expected);
    EXPECT_EQ(windows, (std::vector<xcb_window_t>{terminal, clock, alpha, beta, shadowed}));

    // The workspace lists every client process, Tavelor's own filter aside.
    std::vector<platform::LiveApplication> apps = backend().windowSource().listApplications();
    ASSERT_EQ(apps.size(), 5u);
    EXPECT_EQ(apps[0].pid, xterm.pid());
    EXPECT_EQ(apps[3].pid, tray.pid());
    EXPECT_EQ(apps[3].kind, platform::ApplicationKind::Accessory);
    EXPECT_EQ(apps[3].appId, QStringLiteral("TrayThing"));
    EXPECT_EQ(apps[2].kind, platform::ApplicationKind::Regular);
}

TEST_F(X11ScanTest, HostilePropertiesGiveSensibleOrAbsentValues)
{
    FixtureClient hostile(
        "--window --class=hostile,Hostile --title-hex=ff41c3 --pid=1"
        " --window --class=hostile,Hostile --title-bytes=1048576"
        " --window --class=hostile,Hostile --wm-name-hex=636166e9"
        " --window --class=hostile,Hostile --wm-name-type=COMPOUND_TEXT"
        " --wm-name-hex=1b2547636166c3a91b25401b2d41e9"
        " --window --class=hostile,Hostile --title=wrong-format --title-format=16"
        " --window --class=hostile,Hostile --wm-name-type=CARDINAL --wm-name-hex=01020304"
        " --window --class=hostile,Hostile --title= --type-as-cardinal"
        // Shadows larger than the window.
        " --window --class=hostile,Hostile --title=shadows --gtk-frame-extents=5000,5000,5000,5000"
        " --window --class=hostile,Hostile --title=pid-as-text --pid-format=8");
    // No WM_CLASS and no _NET_WM_PID: the server still knows the process.
    FixtureClient anonymous("--window --no-pid --title=anonymous");
    const std::vector<xcb_window_t>& w = hostile.windows();
    ASSERT_EQ(w.size(), 9u);
    ASSERT_EQ(anonymous.windows().size(), 1u);

    const auto byWindow = scanByWindow();
    ASSERT_EQ(byWindow.size(), 10u);
    auto title = [&](xcb_window_t window) { return byWindow.at(window).snapshot.windowTitle; };
    EXPECT_EQ(title(w[0]), QStringLiteral("\uFFFDA\uFFFD"));
    ASSERT_TRUE(title(w[1]));
    EXPECT_EQ(title(w[1])->size(), 64 * 1024);
    EXPECT_EQ(*title(w[1]), QString(64 * 1024, u'a'));
    EXPECT_EQ(title(w[2]), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(title(w[3]), QStringLiteral("caf\u00e9\u00e9"));
    EXPECT_EQ(title(w[4]), std::nullopt);
    EXPECT_EQ(title(w[5]), std::nullopt);
    EXPECT_EQ(title(w[6]), QString()); // present and empty; a malformed type is no type
    for (xcb_window_t window : w) {
        EXPECT_EQ(byWindow.at(window).snapshot.bundleIdentifier, QStringLiteral("Hostile"));
        EXPECT_EQ(byWindow.at(window).snapshot.frame, wmFrame(connection(), window));
    }
    const WindowSnapshot& anon = byWindow.at(anonymous.windows()[0]).snapshot;
    EXPECT_EQ(anon.bundleIdentifier, std::nullopt);
    EXPECT_EQ(anon.appName, QStringLiteral("tavelor_fixture")); // /proc/PID/comm, cut at 15

    // Grouped by the server's pid, whatever _NET_WM_PID claims.
    std::vector<platform::LiveApplication> apps = backend().windowSource().listApplications();
    ASSERT_EQ(apps.size(), 2u);
    EXPECT_EQ(apps[0].pid, hostile.pid());
    EXPECT_EQ(apps[1].pid, anonymous.pid());
}

TEST_F(X11ScanTest, ExtentsNoWindowManagerWouldSetLeaveTheClientArea)
{
    FixtureClient fixture(
        "--window --title=absurd --geometry=300x200+200+200 --frame-extents=4000000000,7,99999,1");
    ASSERT_EQ(fixture.windows().size(), 1u);
    const xcb_window_t window = fixture.windows()[0];
    const auto results = scan();
    ASSERT_EQ(results.size(), 1u);
    // The client set the extents itself, after openbox; openbox may have put
    // its own back since.
    const WindowFrame frame = results[0].snapshot.frame;
    EXPECT_TRUE(frame == clientArea(connection(), window) || frame == wmFrame(connection(), window))
        << ::testing::PrintToString(frame);
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
    const auto apps = backend().windowSource().listApplications();
    ASSERT_EQ(apps.size(), 1u);
    EXPECT_EQ(apps[0].pid, QCoreApplication::applicationPid());
    EXPECT_EQ(apps[0].kind, platform::ApplicationKind::Accessory);
    EXPECT_EQ(apps[0].appId, QStringLiteral("Tavelor"));
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
