#include "Platform/WindowSource.hpp"
#include "Services/WindowRestorer.hpp"
#include "support/X11TestCase.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace tavelor::x11::testing {
namespace {

QString id(xcb_window_t window)
{
    return QStringLiteral("0x%1").arg(window, 0, 16);
}

class X11ApplyTest : public X11TestCase {
protected:
    WindowRestorer::ApplyResult apply(const WindowProfile& profile)
    {
        return WindowRestorer(backend().windowSource()).apply(profile);
    }

    // Every frame as the window manager shows it.
    bool framesAre(const std::map<xcb_window_t, WindowFrame>& expected)
    {
        return std::all_of(expected.begin(), expected.end(), [&](const auto& w) {
            return wmFrame(connection(), w.first) == w.second;
        });
    }

    // The window manager handles the requests of one connection in the order
    // they were sent: once a move sent after ours has been carried out, so
    // have ours.
    void waitForWindowManager(xcb_window_t sentinel)
    {
        const double x = wmFrame(connection(), sentinel)->x == 900 ? 950 : 900;
        const platform::FrameWrite move{QString::number(sentinel),
                                        platform::FrameWrite::Part::Position, x, 650};
        backend().windowSource().apply({&move, 1});
        ASSERT_TRUE(waitUntil([&] { return wmFrame(connection(), sentinel)->x == x; }));
    }
};

TEST_F(X11ApplyTest, PutsMovedResizedAndMaximisedWindowsBackExactlyAndTouchesNothingElse)
{
    Child xterm(QStringLiteral("xterm"),
                {"-T", "terminal", "-geometry", "70x20+40+60", "-e", "sleep 600"});
    const xcb_window_t terminal = waitForNewClient(connection(), {}, QStringLiteral("XTerm"));
    ASSERT_NE(terminal, XCB_WINDOW_NONE);
    Child xclock(QStringLiteral("xclock"), {"-geometry", "140x140+800+60"});
    const xcb_window_t clock =
        waitForNewClient(connection(), clientList(connection()), QStringLiteral("XClock"));
    ASSERT_NE(clock, XCB_WINDOW_NONE);
    // Two windows of one application, told apart by their titles.
    FixtureClient fixture(
        "--window --class=fixture,Fixture --title=Alpha --geometry=300x200+100+420"
        " --window --class=fixture,Fixture --title=Beta --geometry=260x180+520+420");
    FixtureClient other("--window --class=other,Other --title=Other --geometry=200x100+1000+600");
    FixtureClient sentinel(
        "--window --class=sentinel,Sentinel --title=Sentinel --geometry=100x100+900+650");
    ASSERT_EQ(fixture.windows().size(), 2u);
    const xcb_window_t alpha = fixture.windows()[0];
    const xcb_window_t beta = fixture.windows()[1];
    const xcb_window_t untouched = other.windows().at(0);

    WindowProfile profile;
    std::map<xcb_window_t, WindowFrame> saved;
    for (const WindowScanner::ScanResult& result : scan()) {
        if (result.snapshot.bundleIdentifier == u"Other" ||
            result.snapshot.bundleIdentifier == u"Sentinel")
            continue;
        profile.snapshots.append(result.snapshot);
        saved[windowOf(result)] = result.snapshot.frame;
    }
    ASSERT_EQ(saved.size(), 4u);
    const std::optional<WindowFrame> otherFrame = wmFrame(connection(), untouched);

    // Disturb every saved window through the window manager.
    ASSERT_EQ(0, wmctrl({"-i", "-r", id(terminal), "-e", "0,400,300,500,400"}));
    ASSERT_EQ(0, wmctrl({"-i", "-r", id(clock), "-b", "add,fullscreen"}));
    ASSERT_EQ(0, wmctrl({"-i", "-r", id(alpha), "-b", "add,maximized_vert,maximized_horz"}));
    // Beta takes Alpha's place and size: only the titles tell them apart now.
    const WindowFrame alphaFrame = saved[alpha];
    ASSERT_EQ(0, wmctrl({"-i", "-r", id(beta), "-e",
                         QStringLiteral("0,%1,%2,%3,%4")
                             .arg(alphaFrame.x)
                             .arg(alphaFrame.y)
                             .arg(alphaFrame.width - 2)
                             .arg(alphaFrame.height - 25)}));
    ASSERT_TRUE(waitUntil([&] {
        return wmFrame(connection(), terminal) != saved[terminal] &&
               wmFrame(connection(), clock) != saved[clock] &&
               wmFrame(connection(), alpha) != saved[alpha] &&
               wmFrame(connection(), beta) != saved[beta];
    }));

    const WindowRestorer::ApplyResult result = apply(profile);
    EXPECT_EQ(result.appliedCount, 4);
    EXPECT_EQ(result.missingCount, 0);
    EXPECT_TRUE(waitUntil([&] { return framesAre(saved); }));
    for (const auto& [window, frame] : saved)
        EXPECT_EQ(wmFrame(connection(), window), frame) << id(window).toStdString();

    // Again: nothing moves any further.
    const WindowRestorer::ApplyResult again = apply(profile);
    EXPECT_EQ(again.appliedCount, 4);
    waitForWindowManager(sentinel.windows().at(0));
    for (const auto& [window, frame] : saved)
        EXPECT_EQ(wmFrame(connection(), window), frame) << id(window).toStdString();
    EXPECT_EQ(wmFrame(connection(), untouched), otherFrame);
}

TEST_F(X11ApplyTest, WindowsDestroyedAfterTheScanFailQuietly)
{
    FixtureClient fixture("--window --count=3 --class=gone,Gone --title=gone-%d");
    ErrorCounter errors(connection());
    ::testing::internal::CaptureStderr();

    const std::vector<WindowScanner::ScanResult> results = scan();
    ASSERT_EQ(results.size(), 3u);
    WindowProfile profile;
    for (const auto& r : results)
        profile.snapshots.append(r.snapshot);
    fixture.destroyAll();

    // Writes to the windows of the earlier listing go out; their errors are
    // dropped.
    std::vector<platform::FrameWrite> writes;
    for (const auto& r : results) {
        writes.push_back({r.window, platform::FrameWrite::Part::Position, 10, 10});
        writes.push_back({r.window, platform::FrameWrite::Part::Size, 100, 100});
    }
    backend().windowSource().apply(writes);
    const WindowRestorer::ApplyResult result = apply(profile);
    EXPECT_EQ(result.appliedCount, 0);
    EXPECT_EQ(result.missingCount, 3);

    waitUntil([] { return false; }, std::chrono::milliseconds(100));
    connection().dispatchPendingEvents();
    EXPECT_EQ(errors.count(), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(X11ApplyTest, WindowsComingAndGoingDuringScansAndAppliesAreSkipped)
{
    FixtureClient steady(
        "--window --class=steady,Steady --title=steady --geometry=200x150+300+300");
    FixtureClient churn("--churn --window --count=30 --class=churn,Churn --title=churn-%d");
    ErrorCounter errors(connection());
    ::testing::internal::CaptureStderr();

    WindowProfile profile;
    profile.snapshots = {WindowSnapshot{"Churn", "Churn", "churn-1", {10, 10, 100, 100}},
                         WindowSnapshot{"Churn", "Churn", "churn-2", {20, 20, 100, 100}}};
    int sawChurn = 0;
    for (int i = 0; i < 40; ++i) {
        for (const auto& r : scan()) {
            if (r.snapshot.bundleIdentifier == u"Churn")
                ++sawChurn;
            else
                EXPECT_EQ(r.snapshot.windowTitle, QStringLiteral("steady"));
        }
        const WindowRestorer::ApplyResult result = apply(profile);
        EXPECT_EQ(result.appliedCount + result.missingCount, 2);
    }
    EXPECT_GT(sawChurn, 0);
    connection().dispatchPendingEvents();
    EXPECT_EQ(errors.count(), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

} // namespace
} // namespace tavelor::x11::testing
